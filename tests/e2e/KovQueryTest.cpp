#include <gtest/gtest.h>

#include <QProcess>

#include "support/IntLinFixtures.h"

namespace kov {
namespace {

struct Query {
  int code = -1;
  QString out, err;
};

Query run(const QString& home, const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(KOV_QUERY), QStringList{QStringLiteral("--home"), home} + args);
  Query q;
  if (!p.waitForFinished(30000)) return q;
  q.code = p.exitCode();
  q.out = QString::fromUtf8(p.readAllStandardOutput());
  q.err = QString::fromUtf8(p.readAllStandardError());
  return q;
}

TEST(E2eKovQuery, PrintsHitVersesAndRefusesBadQueries) {
  test::IntLinSpec d;
  d.text = "#GEN 1: logos kai theos 2: theos logos 3: kai";
  d.sublinears = {test::sublinear(QStringLiteral("strong.wl"), {{"logos", {"G3056"}}, {"theos", {"G2316"}}})};
  auto fx = test::buildIntLin(d);
  const QString home = fx->dir.path();

  Query q = run(home, {QStringLiteral("--text"), QStringLiteral("TST"), QStringLiteral("--col"),
                       QStringLiteral("strong=G3056")});
  ASSERT_EQ(q.code, 0) << q.err.toStdString();
  EXPECT_TRUE(q.out.contains(QStringLiteral("GEN 1:1\t[logos] kai theos"))) << q.out.toStdString();
  EXPECT_TRUE(q.out.contains(QStringLiteral("GEN 1:2\ttheos [logos]")));
  EXPECT_FALSE(q.out.contains(QStringLiteral("GEN 1:3")));

  // Two columns in order: only verse 1 has G3056 before G2316.
  q = run(home, {QStringLiteral("--text"), QStringLiteral("TST"), QStringLiteral("--col"), QStringLiteral("strong=G3056"),
                 QStringLiteral("--col"), QStringLiteral("strong=G2316"), QStringLiteral("--mode"), QStringLiteral("order")});
  ASSERT_EQ(q.code, 0) << q.err.toStdString();
  EXPECT_TRUE(q.out.contains(QStringLiteral("GEN 1:1")));
  EXPECT_FALSE(q.out.contains(QStringLiteral("GEN 1:2")));

  // Bad queries: an unknown line, too many columns, a pattern over the word limit.
  EXPECT_EQ(run(home, {QStringLiteral("--col"), QStringLiteral("nosuch=x")}).code, 2);
  QStringList eleven;
  for (int i = 0; i < 11; ++i) eleven << QStringLiteral("--col") << QStringLiteral("strong=G1");
  q = run(home, eleven);
  EXPECT_EQ(q.code, 2);
  EXPECT_TRUE(q.err.contains(QStringLiteral("10 columns")));
  q = run(home, {QStringLiteral("--col"), QStringLiteral("strong=") + QString(641, QLatin1Char('a'))});
  EXPECT_EQ(q.code, 2) << q.err.toStdString();
  EXPECT_FALSE(q.err.isEmpty());
}

}  // namespace
}  // namespace kov
