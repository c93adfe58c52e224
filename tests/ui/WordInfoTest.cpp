#include <gtest/gtest.h>

#include <QTest>

#include "db/Cparsing.h"
#include "db/cIntLin.h"
#include "display/cRenderTxt.h"
#include "support/IntLinFixtures.h"
#include "ui/TFrmInfo2.h"

namespace kov {
namespace {

TEST(UiWordInfo, PlacedUnderTheWordOrAboveItOnTheScreen) {
  const QSize screen(1000, 800);
  const QSize size(200, 100);
  struct Case {
    QPoint offset;
    QRect cell;
    QPoint expected;
  };
  const Case cases[] = {
      {{10, 20}, QRect(100, 50, 40, 30), {110, 100}},    // under the word
      {{10, 20}, QRect(900, 50, 40, 30), {800, 100}},    // kept on the screen at the right
      {{10, 20}, QRect(100, 700, 40, 30), {110, 620}},   // above the word near the bottom
  };
  for (const Case& c : cases) EXPECT_EQ(placeWordInfo(c.offset, c.cell, size, screen).topLeft(), c.expected);
}

TEST(UiWordInfo, ShowsTheDecodedLinesAndHidesOnMouseMove) {
  test::IntLinSpec desc;
  desc.text = "#MAT 1: logos kai";
  desc.sublinears = {test::sublinear(QStringLiteral("P_WHM.wl"), {{"logos", {"vqp3ms"}}, {"kai", {"Pc"}}}, {},
                                     "<WL><id>P_WHM</id></WL>")};
  auto fx = test::buildIntLin(desc);
  TintLin db;
  ASSERT_TRUE(fx->load(db).ok());
  Tparsing parsing;
  TRenderTxt render;
  TFrmInfo2 info(db, parsing, render);
  info.zoom = 1.5;
  info.ShowWordInfo(1, fx->form("logos"), 0, QPoint(0, 0), QRect(10, 10, 30, 20));
  ASSERT_TRUE(info.isVisible());
  std::vector<std::string> expected{""};
  parsing.decode("vqp3ms", expected);
  EXPECT_EQ(info.lines(), expected);
  EXPECT_GT(info.lines().size(), 2u);
  EXPECT_EQ(info.itemHeight(), 18);
  EXPECT_EQ(info.height(), int(expected.size()) * 19 + 5);
  EXPECT_EQ(info.pos(), QPoint(10, 30));
  // KOV_INFO_SAMPLE=file.png keeps a picture of the window to look at.
  if (qEnvironmentVariableIsSet("KOV_INFO_SAMPLE")) info.grab().save(qEnvironmentVariable("KOV_INFO_SAMPLE"));
  QTest::mouseMove(&info, QPoint(5, 5));
  EXPECT_FALSE(info.isVisible());
}

}  // namespace
}  // namespace kov
