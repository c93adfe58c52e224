#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "db/cCalcPos.h"
#include "display/UWtext.h"
#include "display/cTrnNote.h"
#include "support/TranslationFixtures.h"
#include "display/RenderFixture.h"
#include "texts/UWordGP.h"
#include "texts/Unotes.h"

namespace kov {
namespace {

// A translation of Genesis 1:1-5 and one chapter-notes collection, columns on a 400 x 300 image.
struct Columns {
  test::RenderFixture fx;
  QTemporaryDir dir;
  QString prg;
  TCalcpos calc;
  TWordGP reader{1};
  Tnotes notes1{1}, notes2{2};
  Twtext layout{*fx.r};
  QImage image{400, 300, QImage::Format_RGB32};
  QPainter painter;
  Columns() {
    prg = dir.path() + QStringLiteral("/");
    std::vector<TWgpVerse> verses;
    for (int v = 1; v <= 5; ++v)
      verses.push_back(testing::wordsVerse("GEN", 1, v, {"Verse", std::to_string(v), "of", "Genesis", "one."}));
    testing::writeTranslation(prg + QStringLiteral("KJV.t/"), QStringLiteral("KJV"), verses);
    calc.setDir(prg + QStringLiteral("KJV.t/"));
    calc.setName(QStringLiteral("KJV"));
    EXPECT_EQ(calc.Init(), 0);
    reader.setDir(prg + QStringLiteral("KJV.t/"));
    reader.setName(QStringLiteral("KJV"));
    reader.setCalcpos(&calc);
    EXPECT_TRUE(reader.init());
    image.fill(Qt::white);
    painter.begin(&image);
  }
  std::unique_ptr<TtrnNote> column(int n, char kind, int left, int right) {
    auto c = std::make_unique<TtrnNote>(n, layout, *fx.r);
    c->kind = kind;
    c->name = kind == 'T' ? QStringLiteral("KJV") : QStringLiteral("Study");
    c->reader = &reader;
    c->notes = n == 1 ? &notes1 : &notes2;
    c->prgDir = prg;
    c->canvas = &painter;
    c->areaLeft = left;
    c->textLeft = left + 20;
    c->textRight = c->areaRight = right;
    c->top = 0;
    c->bottom = 300;
    c->lineGap = 16;
    c->current.Bks = "GEN";
    c->current.chapter = 1;
    c->current.verse = 1;
    return c;
  }
};

TEST(TrnNoteColumns, SameTranslationTwiceShowsTheSameVerseOnEachRow) {
  Columns t;
  auto a = t.column(1, 'T', 0, 190);
  auto b = t.column(2, 'T', 200, 390);
  drawColumnsInRows({a.get(), b.get()}, 6, 300);
  ASSERT_EQ(a->cellCount(), 5);
  ASSERT_EQ(b->cellCount(), 5);
  for (int n = 1; n <= 5; ++n) {
    EXPECT_EQ(a->cells()[std::size_t(n)].text, b->cells()[std::size_t(n)].text) << n;
    EXPECT_EQ(a->cells()[std::size_t(n)].top, b->cells()[std::size_t(n)].top) << n;
    EXPECT_EQ(a->cells()[std::size_t(n)].ref.verse, n);
  }
  EXPECT_EQ(a->cells()[2].text, "Verse 2 of Genesis one.");
  EXPECT_TRUE(a->endOfText);

  // A click between two rows, within half the row gap, selects the nearer verse above.
  const TCellVsItem& first = a->cells()[1];
  EXPECT_EQ(a->VerseAt(first.left + 5, first.bottom + 2, 6, 0), 1);
  EXPECT_EQ(a->VerseAt(first.left - 30, first.top + 2, 6, 0), -1);
  EXPECT_EQ(a->VerseAt(first.left - 30, first.top + 2, 6, 40), 1);
  // KOV_TRN_SAMPLE=file.png keeps the picture to look at.
  if (qEnvironmentVariableIsSet("KOV_TRN_SAMPLE")) t.image.save(qEnvironmentVariable("KOV_TRN_SAMPLE"));
}

TEST(TrnNoteColumns, MissingBookAndEmptyNoteColumn) {
  Columns t;
  auto a = t.column(1, 'T', 0, 190);
  a->current.Bks = "REV";
  EXPECT_FALSE(a->BookExists());
  auto n = t.column(2, 'N', 200, 390);  // no "Study.N" folder: one empty cell at the top
  EXPECT_TRUE(n->BookExists());
  drawColumnsInRows({a.get(), n.get()}, 6, 300);
  EXPECT_EQ(a->cellCount(), 1);  // at least one after a walk
  EXPECT_TRUE(a->cells()[1].text.empty());
  ASSERT_EQ(n->cellCount(), 1);
  EXPECT_EQ(n->cells()[1].text, " ");
  EXPECT_EQ(n->cells()[1].top, 0);
}

}  // namespace
}  // namespace kov
