#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextDocument>

#include <cmath>

#include "RenderFixture.h"
#include "display/UWtext.h"

namespace kov {
namespace {

using test::RenderFixture;

// Verse texts laid out in the fixed-pitch translation slot, so every width is a known number.
class WtextTest : public ::testing::Test, public RenderFixture {
 protected:
  WtextTest() : t(*r) {
    t.fontSlot = 20;
    t.left = 10;
    t.top = 10;
    t.right = 300;
    t.bottom = 190;
    t.activeLeft = 0;
    t.activeRight = 600;
    const QFontMetricsF fm = metrics(20);
    cw = fm.horizontalAdvance("a");
    sw = static_cast<int>(std::lround(fm.horizontalAdvance(" ")));
    asc = static_cast<int>(std::lround(fm.ascent()));
    desc = static_cast<int>(std::lround(fm.descent()));
  }
  int wd(int chars) const { return static_cast<int>(std::lround(cw * chars)); }
  void layout(const std::string& s) {
    QPainter p(&image);
    t.canvas = &p;
    t.source = s;
    t.Layout();
    t.canvas = nullptr;
  }

  Twtext t;
  double cw = 0;
  int sw = 0, asc = 0, desc = 0;
};

TEST_F(WtextTest, BuildsWordsFromControlBytes) {
  layout(std::string("a  b\x02" "c\x02\r\x19" "d\x19\x00\n\x8D" "e", 15));
  // Every control byte closes a word, so an empty one stands between 13 and 25.
  ASSERT_EQ(t.wordCount, 8);
  struct Expect {
    int start, length, style;  // start 0: an empty word, whose start is not used
    bool space, brk;
  };
  const Expect e[] = {{1, 1, 0, true, false}, {0, 0, 0, true, false}, {4, 1, 0, false, false},
                      {6, 1, 1, false, false}, {0, 0, 0, false, true}, {0, 0, 0, false, false},
                      {10, 1, 2, false, false}, {15, 1, 0, false, false}};
  for (int i = 0; i < 8; ++i) {
    const TWtextWord& w = t.words[static_cast<std::size_t>(i + 1)];
    if (e[i].start) {
      EXPECT_EQ(w.start, e[i].start) << i;
    }
    EXPECT_EQ(w.length, e[i].length) << i;
    EXPECT_EQ(w.style, e[i].style) << i;
    EXPECT_EQ(w.spaceFollows, e[i].space) << i;
    EXPECT_EQ(w.breakFollows, e[i].brk) << i;
    EXPECT_EQ(w.width, wd(e[i].length)) << i;
  }
  // An empty source draws nothing and keeps the previous results.
  image.fill(Qt::white);
  const QImage before = image;
  layout("");
  EXPECT_EQ(t.wordCount, 8);
  EXPECT_EQ(image, before);
}

TEST_F(WtextTest, JustifiesFullLinesWithRealGapSum) {
  // "a", an empty word and "b" fit on the first line, the long word does not: two gaps share
  // the rest of the line. The hit marks report where "b" was drawn.
  const std::string text = "a  @b@ " + std::string(40, 'c');
  t.right = t.left + wd(1) + wd(1) + 3 * sw + 5;
  layout(text);
  ASSERT_EQ(t.hitCount(), 1);
  EXPECT_EQ(t.hitXs[0], t.right - wd(1));
  EXPECT_EQ(t.words[2].width, 0);

  t.justify = false;
  layout(text);
  EXPECT_EQ(t.hitXs[0], t.left + wd(1) + 2 * sw);
}

TEST_F(WtextTest, ForcedBreakAndLastLineAreNotJustified) {
  int table[256] = {};
  t.lineTable = table;
  layout("a @b@\rc @d@");
  ASSERT_EQ(t.hitCount(), 2);
  EXPECT_EQ(t.hitXs[0], t.left + wd(1) + sw);
  EXPECT_EQ(t.hitXs[1], t.left + wd(1) + sw);
  EXPECT_EQ(table[0], 1);
  EXPECT_EQ(table[1], 5);  // a, b, the word closed by '@', the one closed by 13, then c
  t.lineTable = nullptr;
}

TEST_F(WtextTest, SuperscriptColourInsideAndOutsideHitRun) {
  struct Case {
    bool keeps;
    StoredColor outside;
  };
  for (const Case c : {Case{false, 0x808080}, Case{true, 0x000000}}) {
    t.superscriptKeepsColor = c.keeps;
    layout("x \x14s\x14 @y \x14t\x14@ z");
    auto colourOf = [&](char ch) {
      for (int i = 1; i <= t.wordCount; ++i)
        if (t.words[static_cast<std::size_t>(i)].length == 1 &&
            t.source[static_cast<std::size_t>(t.words[static_cast<std::size_t>(i)].start - 1)] == ch)
          return t.words[static_cast<std::size_t>(i)];
      return TWtextWord{};
    };
    EXPECT_EQ(colourOf('s').color, c.outside);
    EXPECT_EQ(colourOf('s').raise, (asc + desc) / 4);
    EXPECT_EQ(colourOf('s').style, 4);
    EXPECT_EQ(colourOf('t').color, 0x0000FFu);
    EXPECT_EQ(colourOf('y').color, 0x0000FFu);
    EXPECT_TRUE(colourOf('y').hitStart);
    EXPECT_EQ(colourOf('z').color, 0u);
  }
}

TEST_F(WtextTest, FirstLineToDrawAndContinuation) {
  // Four words, one per line.
  const std::string text = "aaaa bbbb cccc dddd";
  t.right = t.left + wd(4) + sw + 2;
  int table[256] = {};
  t.lineTable = table;
  t.bottom = 190;
  layout(text);
  EXPECT_EQ(t.continuation, 0);
  EXPECT_EQ(t.bottom, 10 + asc + 3 * t.lineGap + desc);
  EXPECT_EQ(table[2], 3);

  image.fill(Qt::white);
  t.firstLineToDraw = 2;
  t.bottom = 190;
  layout(text);
  // Lines 0 and 1 are broken but take no height: line 2 sits on the first baseline.
  EXPECT_EQ(t.bottom, 10 + asc + t.lineGap + desc);
  const int inkTop = [&] {
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, y) != qRgb(255, 255, 255)) return y;
    return -1;
  }();
  EXPECT_GE(inkTop, 10);
  EXPECT_LT(inkTop, 10 + asc);
  t.firstLineToDraw = 0;

  // A rectangle one line high hands back the first word of line 2.
  t.bottom = 10 + asc + desc + 1;
  layout(text);
  EXPECT_EQ(t.continuation, 2);
  // A second rectangle goes on from there.
  t.firstWord = t.continuation;
  t.bottom = 190;
  layout(text);
  EXPECT_EQ(t.continuation, 0);
  EXPECT_EQ(table[0], 2);
  t.lineTable = nullptr;
}

TEST_F(WtextTest, MeasureOnlyDrawsNothingAndFadedWordsOutsideActiveRange) {
  const QImage blank = image;
  t.measureOnly = true;
  layout("mmm mmm");
  EXPECT_EQ(image, blank);
  EXPECT_EQ(t.wordCount, 2);
  t.measureOnly = false;

  t.activeLeft = t.left + wd(3) + 1;  // the first word starts left of the active range
  layout("mmm mmm");
  const QRgb faded = darkest(t.left, t.left + wd(3));
  const QRgb active = darkest(t.left + wd(3) + sw, t.left + 2 * wd(3) + sw);
  EXPECT_GE(qRed(faded), 200);  // black blended 0.2 of the way from white
  EXPECT_LT(qRed(active), 60);
}

TEST_F(WtextTest, OverflowingTablesAreRangeErrors) {
  std::string many;
  for (int i = 0; i < 4097; ++i) many += "a ";
  t.measureOnly = true;
  EXPECT_THROW(layout(many), DisplayRangeError);
  EXPECT_THROW(layout(std::string(256, 'a')), DisplayRangeError);
  EXPECT_NO_THROW(layout(std::string(255, 'a')));
}

TEST_F(WtextTest, ConvertersToHtmlAndCellMarkup) {
  const std::string text("\x02" "b\x02 \x19i\x19 \x14s\x14 @h@\r\x00\n\x8Dz", 21);
  EXPECT_EQ(Twtext::ToHtml(text), "<b>b</b> <i>i</i> <sup>s</sup> h<br>z");
  EXPECT_EQ(Twtext::ToCellMarkup(text), "<b>b</b> <i>i</i> <s>s</s> @h@\rz");
}

TEST_F(WtextTest, RichTextOutputKeepsStylesColoursAndBreaks) {
  QTextDocument doc;
  QFont f("DejaVu Sans");
  f.setPointSize(14);
  doc.setDefaultFont(f);
  t.source = "a \x02" "b\x02\rc \x14s\x14 @h@";
  t.ToRichEdit(doc);
  EXPECT_FALSE(t.richTextMode);
  EXPECT_EQ(doc.toPlainText(), QString("a b\nc s h"));
  auto formatAt = [&](int pos) {
    QTextCursor c(&doc);
    c.setPosition(pos + 1);
    return c.charFormat();
  };
  EXPECT_EQ(formatAt(2).fontWeight(), QFont::Bold);
  EXPECT_EQ(formatAt(0).fontWeight(), QFont::Normal);
  EXPECT_LT(formatAt(6).fontPointSize(), 14);
  EXPECT_GT(formatAt(6).baselineOffset(), 0);
  EXPECT_EQ(formatAt(8).foreground().color(), QColor(255, 0, 0));
}

}  // namespace
}  // namespace kov
