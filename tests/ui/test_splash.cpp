#include <gtest/gtest.h>

#include <QTest>

#include "ui/TFrmKOVsplash.h"

namespace kov {
namespace {

TEST(UiSplash, FadeTakesAboutHalfASecondThenHides) {
  struct Case { qint64 ms; int alpha; };
  const Case cases[] = {{0, 255}, {100, 205}, {200, 155}, {481, 15}, {482, -1}, {500, -1}};
  for (const Case& c : cases) EXPECT_EQ(splashFadeAlpha(c.ms), c.alpha) << c.ms;
}

TEST(UiSplash, LayoutLogAndEscape) {
  TFrmKOVsplash s;
  EXPECT_EQ(s.size(), QSize(691, 503));
  EXPECT_EQ(s.windowTitle(), QStringLiteral("About"));
  s.appendLogLine(QStringLiteral("Interlinear"), QColor(204, 204, 204));
  s.appendLog({{QStringLiteral("WLC"), QColor(128, 128, 128)}, {QStringLiteral("\t\u25CF "), QColor(170, 170, 170)}});
  EXPECT_EQ(s.logText(), QStringLiteral("Interlinear\nWLC\t\u25CF "));
  s.show();
  ASSERT_TRUE(s.isVisible());
  QTest::keyClick(&s, Qt::Key_Escape);
  EXPECT_FALSE(s.isVisible());
}

}  // namespace
}  // namespace kov
