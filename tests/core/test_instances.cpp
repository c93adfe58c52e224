#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QUuid>
#include <memory>

#include "core/InstanceSlots.h"
#include "core/Tapp.h"
#include "support/QtApp.h"

namespace kov {
namespace {

TEST(CoreInstances, CopiesTakeFirstFreeSlotAndFourthSharesThird) {
  test::ensureCoreApp();
  const QString prefix = QStringLiteral("kovtest-") + QUuid::createUuid().toString(QUuid::Id128).left(8);
  auto a = std::make_unique<InstanceSlots>(prefix);
  InstanceSlots b(prefix), c(prefix), d(prefix);
  EXPECT_EQ(a->claim(), 1);
  EXPECT_EQ(b.claim(), 2);
  EXPECT_EQ(b.others()[1], a->slotName(1));
  EXPECT_EQ(c.claim(), 3);
  EXPECT_EQ(d.claim(), 3);
  EXPECT_EQ(d.server(), nullptr);
  EXPECT_EQ(d.others()[3], c.slotName(3));
  EXPECT_EQ(Tapp::iniSuffixFor(d.instanceNo()), QStringLiteral(".ini3"));

  // The first copy ends: the next one to start takes its slot again.
  a.reset();
  InstanceSlots e(prefix);
  EXPECT_EQ(e.claim(), 1);
  EXPECT_EQ(Tapp::iniSuffixFor(e.instanceNo()), QStringLiteral(".ini"));
}

}  // namespace
}  // namespace kov
