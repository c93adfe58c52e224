#include <gtest/gtest.h>

#include <QTextLayout>

#include "RenderFixture.h"
#include "display/cRenderTxt.h"

namespace kov {
namespace {

using test::RenderFixture;

class RenderTxtTest : public ::testing::Test, public RenderFixture {};

constexpr int kSlotArial = 0, kSlotHebrew = 1, kSlotGreek = 2, kSlotMono = 3;

TEST_F(RenderTxtTest, BoldAndPlainRunsAdvanceByBothWidths) {
  r->SelectFont(0, kSlotArial, 0);
  const double adv = measure("<b>a</b>b");
  EXPECT_NEAR(adv, metrics(kSlotArial, TRenderTxt::Bold).horizontalAdvance("a") +
                       metrics(kSlotArial).horizontalAdvance("b"), 0.01);

  // A bold run is wider and darker than the same run plain.
  const double plain = draw("mmmm");
  const int plainInk = ink(0, 600);
  const double bold = draw("<b>mmmm</b>");
  EXPECT_GT(bold, plain);
  EXPECT_GT(ink(0, 600), plainInk * 1.15);
}

TEST_F(RenderTxtTest, ColourTagsAndLightVariant) {
  r->SelectFont(0, kSlotArial, 0);
  draw("<c2><l>I</l></c2>I<c1>I</c1>", 10, 100);
  const double w = metrics(kSlotArial).horizontalAdvance("I");
  auto near = [](QRgb c, int rr, int gg, int bb) {
    return std::abs(qRed(c) - rr) < 12 && std::abs(qGreen(c) - gg) < 12 && std::abs(qBlue(c) - bb) < 12;
  };
  const QRgb lightPurple = darkest(10, int(10 + w));
  const QRgb base = darkest(int(10 + w + 1), int(10 + 2 * w));
  const QRgb blue = darkest(int(10 + 2 * w + 1), int(10 + 3 * w));
  EXPECT_TRUE(near(lightPurple, 0xD5, 0x80, 0xD5)) << std::hex << lightPurple;  // half way to white
  EXPECT_TRUE(near(base, 0, 0, 0)) << std::hex << base;
  EXPECT_TRUE(near(blue, 0, 0, 0xFF)) << std::hex << blue;
}

TEST_F(RenderTxtTest, LongFieldIsCutWithDotsWithinLimit) {
  r->SelectFont(0, kSlotMono, 0);
  const QString field(400, u'a');
  const QFontMetricsF fm = metrics(kSlotMono);
  struct Case {
    double sx, sy;
  };
  for (const Case c : {Case{1, 1}, Case{1.5, 1}}) {
    r->scaleX = c.sx;
    r->scaleY = c.sy;
    const double limit = std::round(250 * c.sx * c.sy);
    EXPECT_DOUBLE_EQ(draw(field, 0, 50), limit);
    EXPECT_LE(inkRight(), limit);
    // What was drawn is the characters that fit before the dots, then the dots.
    const QImage cut = image;
    const int n = int((limit - fm.horizontalAdvance("...")) / fm.horizontalAdvance("a") + 1e-9);
    r->completeFields = true;
    draw(QString(n, u'a') + "...", 0, 50);
    r->completeFields = false;
    EXPECT_EQ(image, cut);
  }
  r->scaleX = r->scaleY = 1;
  // Once cut, later runs neither draw nor advance.
  EXPECT_DOUBLE_EQ(measure(field + "<b>b</b>"), 250);
  r->completeFields = true;
  EXPECT_NEAR(measure(field), 400 * fm.horizontalAdvance("a"), 0.5);
}

TEST_F(RenderTxtTest, LinkBarsJoinOnlyWithinOneSpan) {
  r->SelectFont(0, kSlotArial, 0);
  auto redRuns = [&](int row) {
    int runs = 0;
    bool in = false;
    for (int x = 0; x < image.width(); ++x) {
      const bool red = image.pixel(x, row) == qRgb(255, 0, 0);
      if (red && !in) ++runs;
      in = red;
    }
    return runs;
  };
  draw("<h1>ab</h1> <h1>cd</h1>", 10, 100);
  EXPECT_EQ(redRuns(102), 2);
  EXPECT_EQ(redRuns(104), 0);  // the bar is one pixel high at scale 1
  draw("<h1>ab<b>cd</b></h1>", 10, 100);
  EXPECT_EQ(redRuns(102), 1);
  // The link colour replaces the base colour inside the span only.
  draw("<h1>I</h1>I", 10, 100);
  const double w = metrics(kSlotArial).horizontalAdvance("I");
  EXPECT_EQ(qRed(darkest(10, int(10 + w))), 255);
  EXPECT_EQ(qRed(darkest(int(11 + w), int(10 + 2 * w))), 0);
}

TEST_F(RenderTxtTest, HighlightBandHasSearchTagColour) {
  r->SelectFont(0, kSlotArial, 0);
  r->clSrchTag = 0x80F8FF;  // $BBGGRR
  draw("a <hl>xyz</hl>", 10, 100);
  ASSERT_EQ(r->highlightXs.size(), 1u);
  const double x0 = r->highlightXs[0];
  EXPECT_NEAR(x0, 10 + metrics(kSlotArial).horizontalAdvance("a "), 0.01);
  const QRgb band = qRgb(0xFF, 0xF8, 0x80);
  int inBand = 0, outside = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) == band) (y < 100 && y > 60 && x >= x0 - 1) ? ++inBand : ++outside;
  EXPECT_GT(inBand, 100);
  EXPECT_EQ(outside, 0);
}

TEST_F(RenderTxtTest, CharacterMapAndUnicodeConversions) {
  CharMap map{};
  map['a'][1] = 0x03B1;
  map['b'][1] = 0;  // shown as itself
  r->charMap = &map;
  EXPECT_EQ(r->ToUnicode("abc"), QString::fromUtf16(u"\u03B1bc"));
  // Codes below 256 stay; a mapped code goes back; an unknown one repeats the byte before it.
  EXPECT_EQ(r->FromUnicode(QString::fromUtf16(u"\u03B1x\u05D0")), std::string("axx"));

  r->SelectFont(0, kSlotArial, 0);
  r->useCharMap = true;
  const double mapped = measure(QString::fromUtf16(u"ab\u05D0"));
  const QFontMetricsF fm = metrics(kSlotArial);
  EXPECT_NEAR(mapped, fm.horizontalAdvance(QString::fromUtf16(u"\u03B1b#")), 0.01);
  r->useCharMap = false;
  EXPECT_NEAR(measure("ab"), fm.horizontalAdvance("ab"), 0.01);
}

TEST_F(RenderTxtTest, HitTestFindsCharactersAndHonoursLineGap) {
  r->SelectFont(0, kSlotArial, 0);
  const QFontMetricsF fm = metrics(kSlotArial);
  const double asc = fm.ascent(), desc = fm.descent(), gap = 10, y = 100;
  r->hitTest = true;
  r->lineGap = gap;
  struct Case {
    const char* text;
    double x, y;
    int expected;
  };
  const double inL = 10 + fm.horizontalAdvance("he") + 1;  // inside the first 'l'
  const Case cases[] = {
      {"hello", inL, y - 5, 2},
      {"<b>he</b>llo", 10 + QFontMetricsF(r->font(0, kSlotArial, 1)).horizontalAdvance("he") + 1, y - 5, 9},
      {"hello", 5, y - 5, -1},                       // left of the field
      {"hello", 400, y - 5, 0},                      // right of the run: its first character
      {"hello", inL, y + desc + gap / 2 - 1, 2},     // in the gap, closer to this line
      {"hello", inL, y + desc + gap / 2 + 1, -1},    // closer to the next line
      {"hello", inL, y - asc - gap / 2 + 1, 2},
      {"hello", inL, y - asc - gap / 2 - 1, -1},
  };
  for (const Case& c : cases) {
    r->hitPoint = QPointF(c.x, c.y);
    draw(c.text, 10, y);
    EXPECT_EQ(r->hitPos, c.expected) << c.text << " at " << c.x << "," << c.y;
  }
}

// The pointed word of the language check: bet dagesh sheva, resh tsere, alef, shin shin-dot
// hiriq, yod, tav.
const QString kBereshit = QString::fromUtf16(u"\u05D1\u05BC\u05B0\u05E8\u05B5\u05D0\u05E9\u05C1\u05B4\u05D9\u05EA");

TEST_F(RenderTxtTest, PointedHebrewShapesOneClusterPerLetter) {
  r->SelectFont(0, kSlotArial, 0);
  r->rightToLeft = true;
  // The letter-code slot draws Unicode text through Ezra SIL.
  r->SelectFont(0, kSlotHebrew, 0);
  // Unicode text passes the built-in letter-code map unchanged.
  const double pointed = measure(kBereshit);
  const double bare = measure(QString::fromUtf16(u"\u05D1\u05E8\u05D0\u05E9\u05D9\u05EA"));
  EXPECT_NEAR(pointed, bare, 1.0);  // points take no room

  QTextLayout layout(kBereshit, r->font(0, kSlotHebrew, 0));
  std::vector<int> stops;
  for (int p = 0; p < kBereshit.size(); p = layout.nextCursorPosition(p)) stops.push_back(p);
  EXPECT_EQ(stops, (std::vector<int>{0, 3, 5, 6, 9, 10}));

  // Sweeping the hit point from right to left meets the clusters in reading order.
  const double x = 300, y = 100;
  r->hitTest = true;
  r->lineGap = 0;
  std::vector<int> hits;
  for (double hx = x - 0.5; hx > x - pointed; hx -= 0.5) {
    r->hitPoint = QPointF(hx, y - 10);
    draw(kBereshit, x, y);
    if (hits.empty() || hits.back() != r->hitPos) hits.push_back(r->hitPos);
  }
  EXPECT_EQ(hits, (std::vector<int>{0, 3, 5, 6, 9, 10}));
  r->hitTest = false;

  // The field grows leftward from its x, and the points are drawn.
  draw(kBereshit, x, y);
  EXPECT_LT(inkRight(), x + 1);
  EXPECT_NEAR(inkLeft(), x - pointed, 4);
  const int pointedInk = ink(0, 600);
  draw(QString::fromUtf16(u"\u05D1\u05E8\u05D0\u05E9\u05D9\u05EA"), x, y);
  EXPECT_GT(pointedInk, ink(0, 600) * 1.05);
}

TEST_F(RenderTxtTest, RightToLeftRunsFollowEachOtherLeftward) {
  r->SelectFont(0, kSlotHebrew, 0);
  r->rightToLeft = true;
  const double x = 400;
  const double adv = draw("brawit <b>bra</b>", x, 100);
  EXPECT_GT(adv, 0);
  EXPECT_LT(inkRight(), x + 1);
  EXPECT_NEAR(inkLeft(), x - adv, 4);
}

TEST_F(RenderTxtTest, LetterCodeFontsDrawGreekAndHebrew) {
  // Lists without a character table whose font is a letter-code font use the built-in maps.
  r->SelectFont(0, kSlotHebrew, 0);
  EXPECT_EQ(r->slotLetterCode(0, kSlotHebrew), LetterCode::Hebrew);
  EXPECT_NEAR(measure("brawit"), r->TextExtentW(QString::fromUtf16(u"\u05D1\u05E8\u05D0\u05E9\u05D9\u05EA")).width(), 0.01);
  EXPECT_EQ(letterCodeToUnicode("KMNPY", LetterCode::Hebrew), QString::fromUtf16(u"\u05DA\u05DD\u05DF\u05E3\u05E5"));
  EXPECT_EQ(letterCodeToUnicode("hwxy", LetterCode::Hebrew), QString::fromUtf16(u"\u05D8\u05E9\u05D7\u05E6"));

  r->SelectFont(0, kSlotGreek, 0);
  EXPECT_EQ(r->slotLetterCode(0, kSlotGreek), LetterCode::Greek);
  EXPECT_EQ(letterCodeToUnicode("abgdezhqiklmnxoprstufcywV", LetterCode::Greek),
            QString::fromUtf16(u"αβγδεζηθικλμνξοπρστυφχψως"));
  // The original-language slot (0 of sets 0 and 1) takes the script options: final sigma for
  // modern Greek forms, none otherwise and none in other slots.
  PresentationFonts pf;
  pf.sublinears = {{"koine KOV", -40}, {"koine KOV", -40}};
  r->BuildFontSet(1, pf, 1.0);
  r->scriptOptions.modernGreek = true;
  const double finalSigma = r->TextExtentW(QString::fromUtf16(u"λογος")).width();
  const double sigma = r->TextExtentW(QString::fromUtf16(u"λογοσ")).width();
  ASSERT_NE(finalSigma, sigma);
  r->SelectFont(1, 0, 0);
  EXPECT_NEAR(measure("logos"), finalSigma, 0.01);
  r->SelectFont(1, 1, 0);
  EXPECT_NEAR(measure("logos"), sigma, 0.01);
  r->scriptOptions = {};
  r->SelectFont(1, 0, 0);
  EXPECT_NEAR(measure("logos"), sigma, 0.01);
  EXPECT_EQ(letterCodeOfFace("Symbol"), LetterCode::Greek);
  EXPECT_EQ(letterCodeOfFace("Arial"), LetterCode::None);
}

TEST_F(RenderTxtTest, MonospaceSpanAndSuperscript) {
  r->SelectFont(0, kSlotArial, 0);
  EXPECT_NEAR(measure("<ms>iii</ms>i"), QFontMetricsF(r->font(0, 25, 0)).horizontalAdvance("iii") +
                                            metrics(kSlotArial).horizontalAdvance("i"), 0.01);
  EXPECT_EQ(r->currentSlot(), kSlotArial);
  // An unclosed span does not outlive its field.
  measure("<ms>x");
  r->ResetMarkup();
  EXPECT_EQ(r->currentSlot(), kSlotArial);

  // Superscript uses the small style and is raised by a quarter of the line height.
  draw("<s>x</s>", 10, 100);
  const int topSmall = [&] {
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, y) != qRgb(255, 255, 255)) return y;
    return -1;
  }();
  EXPECT_NEAR(measure("<s>x</s>"), metrics(kSlotArial, TRenderTxt::Small).horizontalAdvance("x"), 0.01);
  const QFontMetricsF small = metrics(kSlotArial, TRenderTxt::Small);
  EXPECT_NEAR(topSmall, 100 - metrics(kSlotArial).height() / 4 - small.xHeight(), 3);
}

TEST_F(RenderTxtTest, FontSetsAreBuiltInAdvance) {
  PresentationFonts pf;
  pf.sublinears = {{"Arial", -20}};
  r->BuildFontSet(1, pf, 1.5);
  EXPECT_EQ(r->font(1, 0, 0).pixelSize(), 30);
  EXPECT_EQ(r->font(1, 0, TRenderTxt::Small).pixelSize(), 25);
  EXPECT_TRUE(r->font(1, 0, TRenderTxt::Bold | TRenderTxt::Italic).bold());
  EXPECT_TRUE(r->font(1, 0, TRenderTxt::Underline).underline());
  EXPECT_EQ(r->font(1, 24, 0).pixelSize(), 12);  // never zoomed
  EXPECT_EQ(r->font(1, 22, 0).pixelSize(), 33);
  EXPECT_EQ(r->font(1, 0, 0).family(), QString("Liberation Sans"));
  r->BuildAdhocFont("", 30, 5);  // a positive height is the whole cell
  EXPECT_NEAR(QFontMetricsF(r->font(2, 5, 0)).height(), 30, 1.5);
  EXPECT_THROW(r->SelectFont(3, 0, 0), DisplayRangeError);
  EXPECT_THROW(r->SelectFont(0, 27, 0), DisplayRangeError);
  EXPECT_THROW(r->SelectFont(0, 0, 16), DisplayRangeError);
  EXPECT_EQ(TRenderTxt::StripTags("a<b>b</b> <=>c"), QString("ab c"));
}

TEST_F(RenderTxtTest, ShapedRunsAreReusedBetweenMeasureAndDraw) {
  r->SelectFont(0, kSlotArial, 0);
  r->clearLayoutCache();
  measure("<b>a</b>b");
  const std::size_t n = r->layoutCacheSize();
  draw("<b>a</b>b");
  EXPECT_EQ(r->layoutCacheSize(), n);
}

}  // namespace
}  // namespace kov
