#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "display/RenderErrors.h"
#include "display/RenderFixture.h"
#include "display/TColumnSets.h"
#include "display/UWtext.h"
#include "support/TranslationFixtures.h"
#include "texts/TSourceList.h"
#include "texts/UWordGP.h"
#include "texts/cTranslations.h"

namespace kov {
namespace {

// Two translations of Genesis 1:1-3, the chapter notes "Study" with a note on verse 1, and the
// verse-block collections "Sn" and "Vb"; the source list is
// 1 AV, 2 Bbe, 3 separator, 4 Study (N), 5 Sn (V, block 25), 6 Vb (V).
struct Sets {
  test::RenderFixture fx;
  Twtext layout{*fx.r};
  QTemporaryDir tmp;
  QString prg = tmp.path() + QStringLiteral("/");
  QString olb = prg + QStringLiteral("olb/");
  TTranslations translations;
  TSourceList list;

  explicit Sets(bool withTranslations = true) {
    if (withTranslations) {
      for (const QString& name : {QStringLiteral("AV"), QStringLiteral("Bbe")}) {
        std::vector<TWgpVerse> verses;
        for (int v = 1; v <= 3; ++v)
          verses.push_back(testing::wordsVerse("GEN", 1, v, {name.toStdString(), "verse", std::to_string(v)}));
        testing::writeTranslation(prg + name + QStringLiteral(".t/"), name, verses);
      }
    }
    translations.open(prg);
    // Made as the new-note command makes it, in small letters: it is found whatever the case.
    write(prg + QStringLiteral("Study.n/GEN/00001.vs"), "00001\r\nA note on one\r\n");
    write(olb + QStringLiteral("Sn00/V00000"), "");
    write(olb + QStringLiteral("Sn00/V00025"), "");
    write(olb + QStringLiteral("Vb00/V00000"), "");
    list.build(translations, scanNoteSources(prg, olb));
  }
  static void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(path.left(path.lastIndexOf(QLatin1Char('/'))));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  std::unique_ptr<TColumnSets> columns() {
    return std::make_unique<TColumnSets>(layout, *fx.r, &translations, prg, olb);
  }
};

TEST(DisplayColumnSets, AssignSetsSourceSlotReaderAndNotes) {
  Sets s;
  ASSERT_EQ(s.list.count(), 6);
  auto cs = s.columns();
  TtrnNote& c = cs->column(2, 4);
  EXPECT_EQ(c.column(), 4);
  EXPECT_EQ(c.notes, &cs->notes(4)) << "column i of every set reads notes through reader i";
  EXPECT_EQ(cs->column(3, 4).notes, c.notes);

  c.skipLines = 3;
  cs->assign(2, 4, 2, s.list);
  EXPECT_EQ(c.kind, 'T');
  EXPECT_EQ(c.entry, 2);
  EXPECT_EQ(c.name, QStringLiteral("Bbe"));
  EXPECT_EQ(c.slot, 2);
  EXPECT_EQ(c.reader, &s.translations.reader(2));
  EXPECT_EQ(c.skipLines, 0);

  // A note entry keeps the translation slot; a verse-block one points the note reader at it.
  cs->assign(2, 4, 5, s.list);
  EXPECT_EQ(c.kind, 'V');
  EXPECT_EQ(c.name, QStringLiteral("Sn"));
  EXPECT_EQ(c.slot, 2);
  EXPECT_EQ(cs->notes(4).kind(), 'V');
  EXPECT_EQ(cs->notes(4).blockSize(), 25);
  EXPECT_EQ(cs->notes(4).DBDir(), s.olb);

  // The readers are shared by the sets: a walk of set 2 points reader 4 back at its collection.
  cs->assign(1, 4, 6, s.list);
  EXPECT_EQ(cs->notes(4).blockSize(), 50);
  cs->prepareWalk(2);
  EXPECT_EQ(cs->notes(4).blockSize(), 25);

  cs->assign(2, 4, 4, s.list);
  EXPECT_EQ(c.kind, 'N');
  cs->assign(2, 4, 3, s.list);
  EXPECT_EQ(c.kind, '-');

  for (int bad : {0, 7, 30, 31}) {
    EXPECT_THROW(cs->assign(2, 4, bad, s.list), TextRangeError) << bad;
    EXPECT_EQ(c.entry, 3) << "a failed assignment leaves the column as it was";
  }
  EXPECT_THROW(cs->column(0, 1), DisplayRangeError);
  EXPECT_THROW(cs->column(4, 1), DisplayRangeError);
  EXPECT_THROW(cs->column(1, 11), DisplayRangeError);
}

TEST(DisplayColumnSets, AssignByStoredNamesAndBack) {
  Sets s;
  auto cs = s.columns();
  TColumnSets::Names stored;
  stored[0] = {"bbe", "STUDY", "Sn", "", "Gone", "AV"};
  stored[1] = {"AV", "AV"};
  cs->assignByNames(stored, s.list);
  struct Row { int set, col; char kind; int entry; };
  for (const Row& r : {Row{1, 1, 'T', 2}, Row{1, 2, 'N', 4}, Row{1, 3, 'V', 5}, Row{1, 4, 'T', 1}, Row{1, 5, 'T', 1},
                       Row{1, 6, 'T', 1}, Row{2, 1, 'T', 1}, Row{2, 2, 'T', 1}, Row{3, 10, 'T', 1}}) {
    EXPECT_EQ(cs->column(r.set, r.col).kind, r.kind) << r.set << "/" << r.col;
    EXPECT_EQ(cs->column(r.set, r.col).entry, r.entry) << r.set << "/" << r.col;
  }
  const TColumnSets::Names back = cs->names();
  EXPECT_EQ(back[0][0], QStringLiteral("Bbe"));
  EXPECT_EQ(back[0][1], QStringLiteral("Study"));
  EXPECT_EQ(back[0][4], QStringLiteral("AV")) << "an unknown name comes back as the source shown";
  cs->assignByNames(back, s.list);
  EXPECT_EQ(cs->names(), back);

  // Without translations entry 1 is the separator: the column stays empty.
  Sets bare(false);
  ASSERT_EQ(bare.list.firstNoteEntry(), 1);
  auto empty = bare.columns();
  empty->assignByNames(stored, bare.list);
  EXPECT_EQ(empty->column(1, 1).kind, '-');
  EXPECT_EQ(empty->column(1, 2).kind, 'N');
  EXPECT_EQ(empty->names()[0][0], QString());
  EXPECT_EQ(empty->names()[0][1], QStringLiteral("Study"));
}

TEST(DisplayColumnSets, AssignedColumnsDrawTheirSources) {
  Sets s;
  auto cs = s.columns();
  // One translation in two columns beside the chapter notes.
  cs->assign(2, 1, 1, s.list);
  cs->assign(2, 2, 1, s.list);
  cs->assign(2, 3, 4, s.list);
  QImage image(600, 300, QImage::Format_RGB32);
  QPainter painter(&image);
  std::vector<TtrnNote*> drawn;
  for (int i = 1; i <= 3; ++i) {
    TtrnNote& c = cs->column(2, i);
    c.canvas = &painter;
    c.areaLeft = (i - 1) * 200;
    c.textLeft = c.areaLeft + 20;
    c.textRight = c.areaRight = c.areaLeft + 190;
    c.bottom = 300;
    c.current.Bks = "GEN";
    c.current.chapter = 1;
    c.current.verse = 1;
    drawn.push_back(&c);
  }
  cs->prepareWalk(2);
  drawColumnsInRows(drawn, 6, 300);
  const TtrnNote& a = cs->column(2, 1);
  const TtrnNote& b = cs->column(2, 2);
  ASSERT_EQ(a.cellCount(), 3);
  ASSERT_EQ(b.cellCount(), 3);
  for (int n = 1; n <= 3; ++n) EXPECT_EQ(b.cells()[std::size_t(n)].text, a.cells()[std::size_t(n)].text) << n;
  EXPECT_EQ(a.cells()[3].text, "AV verse 3");
  const TtrnNote& notes = cs->column(2, 3);
  ASSERT_GE(notes.cellCount(), 1);
  EXPECT_EQ(notes.cells()[1].text, "A note on one");
}

}  // namespace
}  // namespace kov
