#include <gtest/gtest.h>

#include <QFontMetricsF>

#include <cmath>

#include "CellsFixture.h"

namespace kov {
namespace {

using test::CellsFixture;
using test::sublinear;
using test::IntLinSpec;

const QString kMono = QStringLiteral("DejaVu Sans Mono");

LineOptions baseOptions() {
  LineOptions o;
  o.setFlag(LineOptions::ShowCompleteFields, true);
  o.setFlag(LineOptions::Toggles, true);
  o.setFlag(LineOptions::TxtCmsShow, true);
  o.setFlag(LineOptions::VariantSigns, true);
  for (int v = 0; v < 5; ++v) o.setFlag(LineOptions::VariantBool1 + v, true);
  return o;
}

TCellView plainView() {
  TCellView v;
  v.verseLabels = false;
  v.headingRows = false;
  return v;
}

// Word form 0 is the gap word: a book of its own ahead of the passage holds it.
std::string withGap(const std::string& text) { return "#ZZZ 1: _ " + text; }

IntLinSpec glossSpec(const std::string& text, test::Rings rings = {}, std::string selections = {}) {
  IntLinSpec s;
  s.text = withGap(text);
  s.sublinears = {sublinear(QStringLiteral("gloss.wl"), std::move(rings), std::move(selections))};
  return s;
}

const std::vector<CellsFixture::Font> kMonoFonts = {{kMono, -20}, {kMono, -14}};

// ---- assembly ---------------------------------------------------------------------------------------

TEST(CellsAssembly, GapWordNonEntryAndFirstEntry) {
  // Word 1 has no selection (255) for the gloss; the gap word is code 0.
  for (bool showNonEntries : {false, true}) {
    LineOptions o = baseOptions();
    o.setFlag(LineOptions::ShowNonEntries, showNonEntries);
    CellsFixture f(glossSpec("#MAT 1: {0} logos", {{"logos", {"word", "speech"}}}, ". -"), o, kMonoFonts);
    f.start(plainView());
    f.rows(0, 4000);
    // Cells: verse, gap word, logos.
    const DisplayCell& gapCell = f.cell(1);
    EXPECT_EQ(gapCell.kind, DisplayCell::Word);
    EXPECT_EQ(gapCell.code, 0);
    EXPECT_EQ(gapCell.width, 500);
    EXPECT_EQ(f.drw->lineItem(0, 1, 0).text, ".     .     ");
    EXPECT_EQ(f.drw->lineItem(0, 1, 1).text, ".     .     ");
    EXPECT_EQ(f.cell(2).selectors[1], 255);
    EXPECT_EQ(f.drw->lineItem(0, 2, 1).text, showNonEntries ? "word" : "") << showNonEntries;
  }
}

TEST(CellsAssembly, MarksVariantsAndConnectedWords) {
  struct Case {
    const char* name;
    std::string text;
    int option;  // option switched off, -1 none
    std::vector<std::string> mainTexts;  // main line of each word cell, in order
  };
  const std::vector<Case> cases = {
      {"comment shown in monospace", "#MAT 1: a {t3} b c", -1, {"a", "<ms>b</ms>", "c"}},
      {"comment hidden", "#MAT 1: a {t3} b c", LineOptions::TxtCmsShow, {"a", "c"}},
      {"hook mark hides when hooks are off", "#MAT 1: a {t0} b c", LineOptions::Toggles, {"a", "c"}},
      {"variant 2 word hidden", "#MAT 1: a {v2} b c", LineOptions::VariantBool1 + 1, {"a", "c"}},
      {"variant 2 word shown", "#MAT 1: a {v2} b c", -1, {"a", "b", "c"}},
      {"colour fill does not hide", "#MAT 1: a {t5} b c", LineOptions::ColorFill, {"a", "b", "c"}},
  };
  for (const Case& c : cases) {
    LineOptions o = baseOptions();
    o.setFlag(LineOptions::ColorFill, true);
    if (c.option >= 0) o.setFlag(c.option, false);
    IntLinSpec desc = glossSpec(c.text);
    desc.variants = {{"K", "Ketiv", ""}, {"Q", "Qere", ""}};
    CellsFixture f(desc, o, kMonoFonts);
    f.start(plainView());
    f.rows(0, 4000);
    std::vector<std::string> got;
    for (int i = 0; i < f.drw->cellCount(0); ++i)
      if (f.cell(i).kind == DisplayCell::Word) got.push_back(f.drw->lineItem(0, i, 0).text);
    EXPECT_EQ(got, c.mainTexts) << c.name;
  }

  // Words connected: the "<=>" word joins the cell before it.
  LineOptions o = baseOptions();
  o.setFlag(LineOptions::ShowWordsConnect, true);
  CellsFixture f(glossSpec("#MAT 1: en arxh", {{"en", {"in"}}, {"arxh", {"<=>beginning"}}}), o, kMonoFonts);
  f.start(plainView());
  f.rows(0, 4000);
  EXPECT_EQ(f.drw->lineItem(0, 1, 1).text, "in | <=>beginning");
  EXPECT_EQ(f.drw->lineItem(0, 1, 0).text, "en arxh");
  EXPECT_EQ(f.cell(2).width, 0);
  EXPECT_EQ(f.cell(2).connectedCount, 1);
  const QFontMetricsF gm(f.render.font(0, 1, 0));
  // The renderer reads "<=>" as a tag of no effect: it takes no room.
  EXPECT_EQ(f.cell(1).width, int(std::ceil(gm.horizontalAdvance(QStringLiteral("in | beginning")) - 1e-6)));
  // A repaint without rebuilding keeps the joined text as it is, not joined twice.
  f.start(plainView());
  f.rows(0, 4000);
  EXPECT_EQ(f.drw->lineItem(0, 1, 1).text, "in | <=>beginning");
}

TEST(CellsAssembly, VerseCellSpacingFollowsTheLabelModes) {
  struct Case {
    bool nvnl, labels, narrow;
    int sb, el, er, sa, gb, ga;  // in gaps; el = -9 means the label width
  };
  const Case cases[] = {
      {false, true, false, 2, -9, 0, 1, 1, 0}, {false, false, true, 1, 1, 1, 0, 0, 0},
      {false, false, false, 0, 1, 1, 0, 1, 0}, {true, true, false, 0, -9, 0, 1, 0, 0},
      {true, false, true, 0, 1, 1, 1, 0, 0},   {true, false, false, 0, -1, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    LineOptions o = baseOptions();
    o.setFlag(LineOptions::Nvnl, c.nvnl);
    CellsFixture f(glossSpec("#MAT 1: a 12: b"), o, kMonoFonts);
    TCellView v = plainView();
    v.verseLabels = c.labels;
    v.narrowMarkers = c.narrow;
    f.start(v);
    f.rows(0, 4000);
    const int g = f.drw->gap();
    ASSERT_EQ(g, 5);
    // The second verse cell: its spacing is not touched by the row start.
    int idx = -1;
    for (int i = 1; i < f.drw->cellCount(0); ++i)
      if (f.cell(i).kind == DisplayCell::Verse) idx = i;
    ASSERT_GT(idx, 0);
    const DisplayCell& vc = f.cell(idx);
    const QFontMetricsF lm(f.render.font(0, 23, 0));
    const int label = int(std::ceil(lm.horizontalAdvance("1") + lm.horizontalAdvance(":12") - 1e-6));
    EXPECT_EQ(vc.verse, 12);
    EXPECT_EQ(vc.spaceBefore, c.sb * g);
    EXPECT_EQ(vc.extraLeft, c.el == -9 ? label : c.el * g);
    EXPECT_EQ(vc.extraRight, c.er * g);
    EXPECT_EQ(vc.spaceAfter, c.sa * g);
    EXPECT_EQ(vc.gapBefore, c.gb);
    EXPECT_EQ(vc.gapAfter, c.ga);
    EXPECT_EQ(vc.width, 0);
    EXPECT_EQ(vc.noOverflow, 1);
  }
}

// ---- line layout -------------------------------------------------------------------------------------

TEST(CellsLayout, LinesStackWithSpacingAndVariantLines) {
  LineOptions o = baseOptions();
  IntLinSpec desc = glossSpec("#MAT 1: a");
  desc.variants = {{"K", "Ketiv", ""}, {"Q", "Qere", ""}};
  CellsFixture f(desc, o, kMonoFonts, {3, 4, 2, 0, 0, 10});
  f.db.appliedTable().slot(1).fonts[0]._WL_dyH = 2;
  f.db.appliedTable().slot(1).fonts[0]._WL_dyL = 1;
  f.start(plainView());
  const QFontMetricsF m0(f.render.font(0, 0, 0)), m1(f.render.font(0, 1, 0));
  const int h0 = int(std::lround(m0.height())), a0 = int(std::lround(m0.ascent()));
  const int h1 = int(std::lround(m1.height())), a1 = int(std::lround(m1.ascent()));
  const TLineLayout& L = f.drw->lines();
  ASSERT_EQ(L.lineCount, 2);
  EXPECT_EQ(L.top[0], 4);
  EXPECT_EQ(L.baseline[0], 4 + a0);
  EXPECT_EQ(L.top[1], 4 + h0);
  EXPECT_EQ(L.baseline[1], 4 + h0 + a1 + 2);
  EXPECT_EQ(L.top[2], 4 + h0 + h1 + 3);
  EXPECT_EQ(L.rowHeight, 4 + h0 + h1 + 3 + 2 + 3);

  // Vertical variants: the first line is repeated for each shown variant.
  f.options().setShowVarMode(2);
  f.start(plainView());
  EXPECT_EQ(f.drw->lines().variantLines, 2);
  EXPECT_EQ(f.drw->lines().top[1], 4 + 2 * h0);
  f.options().setFlag(LineOptions::VariantBool1, false);
  f.start(plainView());
  EXPECT_EQ(f.drw->lines().variantLines, 1);
  EXPECT_EQ(f.drw->lines().lastVariant, 1);
}

// ---- row fitting and justification --------------------------------------------------------------------

// Right edge of a cell's box (content plus the space it keeps on the right).
int rightOf(const DisplayCell& c) { return c.x + c.width + c.extraRight; }

TEST(CellsRows, OnePixelOverflowDropsTheLastCellAndJustifyFillsTheRow) {
  const char* text = "#MAT 1: aa bbb cc dddd";
  LineOptions o = baseOptions();
  CellsFixture wide(glossSpec(text), o, kMonoFonts);
  wide.start(plainView());
  auto rows = wide.rows(0, 4000);
  ASSERT_EQ(rows.size(), 1u);
  ASSERT_EQ(rows[0], std::make_pair(0, 4));
  const int need = rightOf(wide.cell(4));  // the row width all five cells take

  for (bool justify : {false, true}) {
    o.setFlag(LineOptions::Justify, justify);
    CellsFixture f(glossSpec(text), o, kMonoFonts);
    f.start(plainView());
    f.drw->DrawRow(100, 100 + need, 0);
    EXPECT_EQ(f.drw->lastCell(), 4) << "exact fit";
    f.start(plainView());
    f.drw->DrawRow(100, 100 + need - 1, 0);
    ASSERT_EQ(f.drw->lastCell(), 3) << "one pixel short";
    EXPECT_EQ(f.drw->nextRowStart(), f.fx->words[4] - (f.fx->words[0] + 1));  // relative to the passage
    if (justify) {
      // Three gaps between the four word-bearing cells: the row ends exactly at the right edge.
      EXPECT_EQ(rightOf(f.cell(3)), 100 + need - 1);
      EXPECT_GT(f.drw->extraPerGap(), 0.0);
    } else {
      EXPECT_EQ(rightOf(f.cell(3)), rightOf(wide.cell(3)) + 100);
    }
    // Cells follow each other without overlapping.
    for (int i = 1; i <= 3; ++i) EXPECT_GE(f.cell(i).x, rightOf(f.cell(i - 1))) << i;
    // The dropped word starts the next row, with no gap before it.
    f.drw->DrawRow(100, 100 + need - 1, 50);
    EXPECT_EQ(f.drw->rowFirstCell(), 4);
    EXPECT_EQ(f.cell(4).x, 100);
    EXPECT_TRUE(f.drw->endOfPassage());
  }
}

TEST(CellsRows, NextVerseNewLineEndsRowsAtVersesWithoutJustifying) {
  LineOptions o = baseOptions();
  o.setFlag(LineOptions::Nvnl, true);
  o.setFlag(LineOptions::Justify, true);
  CellsFixture f(glossSpec("#MAT 1: a b 2: c 3: d e f"), o, kMonoFonts);
  f.start(plainView());
  std::vector<bool> justified, atVerse;
  std::vector<std::pair<int, int>> rows;
  for (int n = 0; n < 5 && !f.drw->endOfPassage(); ++n) {
    f.drw->DrawRow(0, 2000, n * 40);
    rows.emplace_back(f.drw->rowFirstCell(), f.drw->lastCell());
    atVerse.push_back(f.drw->endedAtVerse());
    justified.push_back(f.drw->extraPerGap() > 0);
  }
  ASSERT_EQ(rows.size(), 3u);
  for (const auto& r : rows) EXPECT_EQ(f.cell(r.first).kind, DisplayCell::Verse);
  EXPECT_EQ(f.cell(rows[0].second).code, f.fx->form("b"));
  EXPECT_EQ(f.cell(rows[1].second).code, f.fx->form("c"));
  EXPECT_EQ(atVerse, (std::vector<bool>{true, true, false}));
  EXPECT_EQ(justified, (std::vector<bool>{false, false, true}));
}

TEST(CellsRows, RightToLeftRowsStartAtTheRightEdge) {
  LineOptions o = baseOptions();
  o.setFlag(LineOptions::Right2Left, true);
  IntLinSpec desc = glossSpec("#GEN 1: brayt bra", {{"brayt", {"beginning"}}, {"bra", {"created"}}});
  CellsFixture f(desc, o, {{QStringLiteral("Hebrew KOV"), -30, true}, {kMono, -14}});
  TCellView v = plainView();
  v.canvas = f.canvas(600, 120);
  f.start(v, f.fx->words[1]);
  f.drw->DrawRow(20, 580, 0);
  f.endPainting();
  ASSERT_EQ(f.drw->lastCell(), 1);
  const DisplayCell& first = f.cell(0);
  EXPECT_EQ(first.x + first.width, 580);
  // The Hebrew line starts at the cell's right end and grows leftward.
  const CellLineText& heb = f.drw->lineItem(0, 0, 0);
  EXPECT_EQ(heb.x, 580);
  // The gloss (left to right) ends at the right edge too: its start is the edge less its width.
  EXPECT_EQ(f.drw->lineItem(0, 0, 1).x, 580 - f.drw->lineItem(0, 0, 1).width);
  // The second word lies to the left of the first.
  EXPECT_LT(f.cell(1).x + f.cell(1).width, first.x);
  int inkRight = -1;
  for (int x = 0; x < f.image.width(); ++x)
    for (int y = 0; y < f.image.height(); ++y)
      if (f.image.pixel(x, y) != qRgb(255, 255, 255)) inkRight = x;
  EXPECT_LE(inkRight, 581);
  EXPECT_GE(inkRight, 570);
}

TEST(CellsRows, CentredGlossKeepsItsCentredX) {
  LineOptions o = baseOptions();
  o.setFlag(LineOptions::CenterWord, true);
  CellsFixture f(glossSpec("#MAT 1: egeneto", {{"egeneto", {"it"}}}), o, kMonoFonts);
  f.start(plainView(), f.fx->words[1]);
  f.drw->DrawRow(10, 800, 0);
  const DisplayCell& c = f.cell(0);
  const CellLineText& main = f.drw->lineItem(0, 0, 0);
  const CellLineText& gloss = f.drw->lineItem(0, 0, 1);
  EXPECT_EQ(c.width, main.width);
  EXPECT_EQ(main.x, 10);
  EXPECT_GT(gloss.x, 10);
  EXPECT_EQ(gloss.x, 10 + (main.width - gloss.width) / 2);
}

TEST(CellsRows, WordWiderThanTheRowTakesAGreyRowOfItsOwn) {
  LineOptions o = baseOptions();
  CellsFixture f(glossSpec("#MAT 1: a wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww b"), o, kMonoFonts);
  f.start(plainView());
  const auto rows = f.rows(0, 200);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].first, rows[1].second);
  const DisplayCell& wide = f.cell(rows[1].first);
  EXPECT_EQ(wide.code, f.fx->form("wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww"));
  EXPECT_EQ(wide.width, 200);
  EXPECT_EQ(wide.greyed, 1);
  EXPECT_EQ(wide.effects, 0);
  EXPECT_EQ(f.cell(rows[2].first).greyed, 0);
}

TEST(CellsRows, HeadingVerseStartsAnEmptyRowThenItsOwn) {
  LineOptions o = baseOptions();
  CellsFixture f(glossSpec("#MAT 1: a b #MRK 1: c"), o, kMonoFonts);
  TCellView v = plainView();
  v.headingRows = true;
  f.start(v);
  f.drw->DrawRow(0, 2000, 0);
  EXPECT_EQ(f.drw->rowCellCount(), 0);
  EXPECT_TRUE(f.drw->headingPending());
  f.drw->HeadingDrawn();
  f.drw->DrawRow(0, 2000, 0);
  EXPECT_EQ(f.drw->rowCellCount(), 3);  // verse, a, b: stops before Mark's heading
  EXPECT_TRUE(f.drw->headingPending());
  EXPECT_TRUE(f.drw->noJustify());
  f.drw->HeadingDrawn();
  f.drw->DrawRow(0, 2000, 0);
  EXPECT_EQ(f.drw->rowCellCount(), 2);
  EXPECT_TRUE(f.drw->endOfPassage());
  ASSERT_EQ(f.drw->verseLabels(0).size(), 2u);
  EXPECT_EQ(f.drw->verseLabels(0)[1].bks, "MRK");
}

// ---- drawing -----------------------------------------------------------------------------------------

// Pixels of a horizontal band that are not white.
QList<QRgb> coloursIn(const QImage& img, int x0, int x1, int y0, int y1) {
  QList<QRgb> out;
  for (int y = std::max(0, y0); y < std::min(img.height(), y1); ++y)
    for (int x = std::max(0, x0); x < std::min(img.width(), x1); ++x)
      if (img.pixel(x, y) != qRgb(255, 255, 255) && !out.contains(img.pixel(x, y))) out.push_back(img.pixel(x, y));
  return out;
}

TEST(CellsDrawing, BlankIfSameDrawsAFaintRuleForTheRepeatedGloss) {
  LineOptions o = baseOptions();
  o.setFlag(LineOptions::BlankIfSameDn, true);
  IntLinSpec desc;
  desc.text = withGap("#MAT 1: logos");
  desc.sublinears = {sublinear(QStringLiteral("CGTS.wl"), {{"logos", {"word"}}}),
                     sublinear(QStringLiteral("CGES_id.wl"), {{"logos", {"Word"}}})};
  CellsFixture f(desc, o, {{kMono, -20}, {kMono, -14}, {kMono, -14}});
  TCellView v = plainView();
  v.canvas = f.canvas(300, 100);
  f.start(v, f.fx->words[1]);
  f.drw->DrawRow(10, 290, 0);
  f.endPainting();
  const TLineLayout& L = f.drw->lines();
  const DisplayCell& c = f.cell(0);
  const QRgb faint = QColor(toQColor(blendColor(0xFFFFFF, 0, 0.1))).rgb();
  // The upper gloss is drawn in black; the lower one is only a faint rule below its baseline.
  const auto upper = coloursIn(f.image, c.x, c.x + c.width, L.top[1], L.top[2]);
  EXPECT_TRUE(upper.contains(qRgb(0, 0, 0)));
  const auto lower = coloursIn(f.image, 0, 300, L.top[2], L.top[3]);
  EXPECT_EQ(lower, QList<QRgb>{faint});
  EXPECT_EQ(f.image.pixel(c.x + c.width / 2, L.baseline[2] + 1), faint);
}

TEST(CellsDrawing, VerticalModeTwoGreysAVariantWordAndRulesTheOtherRow) {
  LineOptions o = baseOptions();
  o.setShowVarMode(2);
  for (int v = 2; v < 5; ++v) o.setFlag(LineOptions::VariantBool1 + v, false);
  IntLinSpec desc = glossSpec("#MAT 1: a {v1} mmm b");
  desc.variants = {{"K", "Ketiv", ""}, {"Q", "Qere", ""}};
  CellsFixture f(desc, o, kMonoFonts);
  TCellView v = plainView();
  v.canvas = f.canvas(400, 150);
  f.start(v);
  f.drw->DrawRow(10, 390, 0);
  f.endPainting();
  const TLineLayout& L = f.drw->lines();
  ASSERT_EQ(L.variantLines, 2);
  int idx = -1;
  for (int i = 0; i < f.drw->cellCount(0); ++i)
    if (f.cell(i).code == f.fx->form("mmm") && f.cell(i).kind == DisplayCell::Word) idx = i;
  ASSERT_GE(idx, 0);
  const DisplayCell& c = f.cell(idx);
  EXPECT_EQ(c.allOrNone, 0);
  EXPECT_EQ(c.variantMembers[0], 1);
  const int h = L.variantLineHeight;
  const auto row1 = coloursIn(f.image, c.x, c.x + c.width, L.top[0], L.top[0] + h);
  const auto row2 = coloursIn(f.image, c.x, c.x + c.width, L.top[0] + h, L.top[0] + 2 * h);
  EXPECT_TRUE(row1.contains(qRgb(0x80, 0x80, 0x80)));
  EXPECT_FALSE(row1.contains(qRgb(0, 0, 0)));
  EXPECT_EQ(row2, QList<QRgb>{qRgb(0xC0, 0xC0, 0xC0)});
  // A word of both variants is drawn once, in black, on the last variant's row.
  const DisplayCell& plain = f.cell(idx + 1);
  EXPECT_TRUE(coloursIn(f.image, plain.x, plain.x + plain.width, L.top[0], L.top[0] + h).isEmpty());
  EXPECT_TRUE(coloursIn(f.image, plain.x, plain.x + plain.width, L.top[0] + h, L.top[0] + 2 * h).contains(qRgb(0, 0, 0)));
}

TEST(CellsDrawing, SearchHitsAreBoldAndMarked) {
  struct Hits : ISearchHits {
    std::int32_t at = 0;
    bool isHit(std::int32_t p) const override { return p == at; }
  } hits;
  LineOptions o = baseOptions();
  o.setFlag(LineOptions::STBold, true);
  o.setFlag(LineOptions::STYellowBG, true);
  CellsFixture f(glossSpec("#MAT 1: aa bb"), o, kMonoFonts);
  hits.at = f.fx->words[2];
  TCellView v = plainView();
  v.markHits = true;
  v.hits = &hits;
  v.canvas = f.canvas(400, 100);
  f.start(v);
  f.drw->DrawRow(0, 400, 0);
  f.endPainting();
  ASSERT_EQ(f.drw->hitCells(0), std::vector<int>{2});
  const QFontMetricsF bold(f.render.font(0, 0, TRenderTxt::Bold));
  EXPECT_EQ(f.drw->lineItem(0, 2, 0).width, int(std::ceil(bold.horizontalAdvance("bb") - 1e-6)));
  const DisplayCell& c = f.cell(2);
  EXPECT_TRUE(coloursIn(f.image, c.x, c.x + c.width, 0, 100).contains(toQColor(0x80F8FF).rgb()));
}

// ---- translation rows -----------------------------------------------------------------------------------

struct FakeColumn : IVerseColumn {
  char k = 'T';
  std::vector<std::int32_t> verses;  // keys the column walks through
  std::size_t at = 0;
  int y = 0, lines = 1, lh = 10;
  std::vector<std::pair<std::int32_t, int>> drawn;  // verse key, y it was drawn at
  std::vector<int> indents;
  char kind() const override { return k; }
  std::int32_t verseKey() const override { return at < verses.size() ? verses[at] : 1 << 30; }
  void moveToVerse(std::int32_t key) override {
    while (at < verses.size() && verses[at] < key) ++at;
  }
  int runningY() const override { return y; }
  void setRunningY(int v) override { y = v; }
  int lineHeight() const override { return lh; }
  int drawNextVerse(int indent) override {
    drawn.emplace_back(verseKey(), y);
    indents.push_back(indent);
    y += lines * lh;
    ++at;
    return y;
  }
};

TEST(CellsTranslationRows, ColumnsDrawTheRowVersesInAlignedRounds) {
  LineOptions o = baseOptions();
  CellsFixture f(glossSpec("#MAT 1: a 2: b 3: c 4: d"), o, kMonoFonts);
  TCellView v = plainView();
  v.areaBottom = 1000;
  f.start(v);
  f.drw->DrawRow(0, 2000, 0);
  ASSERT_EQ(f.drw->rowVerses().size(), 4u);
  const auto key = [](int vs) { return verseKeyOf(1, vs); };
  FakeColumn t1, t2, n;
  t1.verses = {key(1), key(2), key(3), key(4), key(5)};
  t1.lines = 3;  // a long translation
  t2.verses = t1.verses;
  n.k = 'N';
  n.verses = {key(0), key(3), key(9)};  // a note column behind the row is moved to it
  IVerseColumn* cols[] = {&t1, &t2, &n};
  f.drw->style.rowGap[0] = 4;
  f.drw->style.verseNumberHeight[0] = -12;
  f.drw->DrawTranslationRows(100, cols, 3);
  // Four rounds: each round starts below the lowest translation of the one before.
  ASSERT_EQ(t1.drawn.size(), 4u);
  ASSERT_EQ(t2.drawn.size(), 4u);
  EXPECT_EQ(t1.drawn[0], std::make_pair(key(1), 100));
  EXPECT_EQ(t2.drawn[1], std::make_pair(key(2), 100 + 30 + 4));
  EXPECT_EQ(t2.drawn[3].second, 100 + 3 * 34);
  EXPECT_EQ(n.drawn, (std::vector<std::pair<std::int32_t, int>>{{key(3), 100}}));
  // Verse numbers of one digit get an indent of 0.75 of their height.
  EXPECT_EQ(t1.indents[0], int(std::lround(12 * 0.75)));

  // A bottom close to the row stops the rounds.
  FakeColumn t3;
  t3.verses = t1.verses;
  IVerseColumn* one[] = {&t3};
  v.areaBottom = 125;
  f.start(v);
  f.drw->DrawRow(0, 2000, 0);
  f.drw->DrawTranslationRows(100, one, 1);
  EXPECT_EQ(t3.drawn.size(), 2u);
}

}  // namespace
}  // namespace kov

