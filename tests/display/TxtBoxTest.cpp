#include <gtest/gtest.h>

#include "RenderFixture.h"
#include "display/cTxtBox.h"

namespace kov {
namespace {

using test::RenderFixture;

// The box pours words of three fixed-pitch characters, two to a line.
class TxtBoxTest : public ::testing::Test, public RenderFixture {
 protected:
  TxtBoxTest() : box(*r) {
    r->SelectFont(0, 3, 0);  // DejaVu Sans Mono
    cw = metrics(3).horizontalAdvance("a");
    lineH = metrics(3).ascent() + metrics(3).descent();
    box.text = "aaa bbb ccc ddd e";
    box.rect = QRectF(10, 10, 2 * 3 * cw + 8 + 20, 3 * lineH);
  }
  void hit(double x, double y) {
    box.hitTest = true;
    box.hitPoint = QPointF(x, y);
    box.Draw();
    box.hitTest = false;
  }
  Ttxtbox box;
  double cw = 0, lineH = 0;
};

TEST_F(TxtBoxTest, WrapsJustifiesAndStops) {
  const double midLine1 = 10 + lineH / 2, right = box.rect.right();
  // Justified, "bbb" ends at the right edge: a point just inside it hits its last letter.
  hit(right - 1, midLine1);
  EXPECT_EQ(box.hitPos, 6);
  EXPECT_EQ(box.lineCount, 3);
  EXPECT_EQ(box.stopPos, -1);
  // Unjustified, the point lies past "bbb" and hits the word's first letter.
  box.justify = false;
  hit(right - 1, midLine1);
  EXPECT_EQ(box.hitPos, 4);
  // The second line holds "ccc ddd"; the last line "e" is never stretched.
  box.justify = true;
  hit(10 + 1, midLine1 + lineH);
  EXPECT_EQ(box.hitPos, 8);
  hit(10 + 1, midLine1 + 2 * lineH);
  EXPECT_EQ(box.hitPos, 16);

  // A box two lines high stops at the third line's first word.
  box.rect.setHeight(2 * lineH + 1);
  QPainter p(&image);
  box.canvas = &p;
  box.Draw();
  EXPECT_EQ(box.stopPos, 16);
  EXPECT_EQ(box.lineCount, 2);
}

TEST_F(TxtBoxTest, TagsCarryFromWordToWord) {
  box.text = "<c1>aaa bbb</c1> ccc";
  box.rect = QRectF(10, 10, 400, 100);
  {
    QPainter p(&image);
    box.canvas = &p;
    box.Draw();
  }
  const int bbbLeft = static_cast<int>(10 + 3 * cw + 8), cccLeft = static_cast<int>(10 + 6 * cw + 16);
  const QRgb blue = darkest(bbbLeft + 1, cccLeft - 4);
  const QRgb black = darkest(cccLeft + 1, cccLeft + static_cast<int>(3 * cw));
  EXPECT_GT(qBlue(blue), 200);
  EXPECT_LT(qRed(blue), 60);
  EXPECT_LT(qBlue(black), 60);
}

}  // namespace
}  // namespace kov
