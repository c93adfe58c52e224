#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/TranslationFixtures.h"
#include "texts/cTranslations.h"

namespace kov {
namespace {

TEST(Translations, FindsAtMostTenAndOpensEach) {
  QTemporaryDir prg;
  const QString base = prg.path() + QStringLiteral("/");
  // Eleven folders: only the first ten in listing order count.
  for (int i = 0; i < 11; ++i) QDir().mkpath(base + QStringLiteral("T%1.t").arg(i, 2, 10, QLatin1Char('0')));
  QDir().mkpath(base + QStringLiteral("notes.N"));
  const QStringList found = TTranslations::find(base);
  ASSERT_EQ(found.size(), 10);
  EXPECT_EQ(found.first(), QStringLiteral("T00"));
  EXPECT_EQ(found.last(), QStringLiteral("T09"));

  QTemporaryDir two;
  const QString b2 = two.path() + QStringLiteral("/");
  testing::writeTranslation(b2 + QStringLiteral("AV.t/"), QStringLiteral("AV"),
                            {testing::wordsVerse("GEN", 1, 1, {"In", "the", "beginning"})});
  QDir().mkpath(b2 + QStringLiteral("Empty.t"));  // no files at all
  TTranslations t;
  const QStringList log = t.open(b2);
  ASSERT_EQ(t.count(), 2);
  EXPECT_TRUE(t.initialized(1));
  EXPECT_FALSE(t.initialized(2));
  EXPECT_TRUE(log.contains(QStringLiteral("AV initialized.")));
  EXPECT_TRUE(log.contains(QStringLiteral("init calcpos error: 2")));
  EXPECT_EQ(t.reader(1).CurRef.Bks, "GEN");  // the reader starts at the first book
  EXPECT_EQ(t.reader(1).Dir(), b2 + QStringLiteral("AV.t/"));
  EXPECT_TRUE(TTranslations::find(prg.path() + QStringLiteral("/nothing")).isEmpty());
}

}  // namespace
}  // namespace kov
