#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/TranslationFixtures.h"
#include "texts/NoteSources.h"
#include "texts/TSourceList.h"
#include "texts/UWordGP.h"
#include "texts/cTranslations.h"

namespace kov {
namespace {

void touch(const QString& path) {
  QDir().mkpath(path.left(path.lastIndexOf(QLatin1Char('/'))));
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

std::string describe(const std::vector<TNoteSource>& v) {
  std::string out;
  for (const TNoteSource& s : v) out += s.name.toStdString() + "/" + s.kind + "/" + std::to_string(s.blockSize) + " ";
  return out;
}

TEST(TextsSourceListScan, VerseNoteCollectionsOfProgramAndNotesFolder) {
  QTemporaryDir tmp;
  const QString prg = tmp.path() + QStringLiteral("/");
  const QString olb = prg + QStringLiteral("olb/");
  for (const char* d : {"Study.N", "alpha.n", "Greek.S", "KJV.t"}) QDir().mkpath(prg + d);
  touch(prg + QStringLiteral("Loose.N"));  // a file, not a folder
  const char* files[] = {
      "Sn00/V00000", "Sn00/V00025", "Sn00/aaa.txt",   // stray file sorts first but is no block file
      "Cm00/C00000",                                  // other letter, one file: block 50
      "Ext00/v00000.txt", "Ext00/v00040.txt",         // extensions allowed, letter taken upper case
      "Bad00/V00000", "Bad00/V000xy",                 // second file no number: block 50
      "KJV00/H00000", "Gk00/G00000",                  // Strong notes
      "Tr00/T00000",                                  // passed over
      "A100/V00000",                                  // digit second: a dictionary folder
      "Sn03/V09000",                                  // not a first folder
      "Empty00/readme.txt", "Long00/V000000", "Long00/V00100", // no "?000??" file
  };
  for (const char* f : files) touch(olb + f);

  const std::vector<TNoteSource> expected = {
      {"alpha", 'N', 50}, {"Study", 'N', 50},
      {"Bad", 'V', 50},   {"Cm", 'C', 50},    {"Ext", 'V', 40}, {"Sn", 'V', 25},
  };
  EXPECT_EQ(describe(scanNoteSources(prg, olb)), describe(expected));
  EXPECT_EQ(describe(scanNoteSources(tmp.path(), tmp.path() + "/olb")), describe(expected))
      << "folders without a trailing slash";
  EXPECT_TRUE(scanNoteSources(prg + "missing/", "").empty());
}

struct Sources {
  QTemporaryDir tmp;
  QString prg = tmp.path() + QStringLiteral("/");
  TTranslations translations;
  explicit Sources(const std::vector<QString>& names) {
    for (const QString& n : names)
      testing::writeTranslation(prg + n + QStringLiteral(".t/"), n,
                                {testing::wordsVerse("GEN", 1, 1, {"In", "the", "beginning"})});
    translations.open(prg);
  }
};

TEST(TextsSourceList, TranslationsSeparatorThenChapterAndBlockNotes) {
  Sources s({"AV", "Bbe"});
  ASSERT_EQ(s.translations.count(), 2);
  TSourceList list;
  list.build(s.translations, {{"Study", 'N', 50}, {"Cm", 'C', 50}, {"Sn", 'V', 25}});
  ASSERT_EQ(list.count(), 5);
  struct Row { int n; const char* name; char kind; };
  for (const Row& r : {Row{1, "AV", 'T'}, Row{2, "Bbe", 'T'}, Row{3, "", '-'}, Row{4, "Study", 'N'}, Row{5, "Sn", 'V'}}) {
    EXPECT_EQ(list.entry(r.n).name, QString::fromLatin1(r.name)) << r.n;
    EXPECT_EQ(list.entry(r.n).kind, r.kind) << r.n;
  }
  EXPECT_EQ(list.entry(1).caption, QStringLiteral("AV  ") + s.translations.description(1));
  EXPECT_FALSE(s.translations.description(1).isEmpty());
  EXPECT_EQ(list.entry(5).caption, QStringLiteral("Sn"));
  EXPECT_EQ(list.entry(5).blockSize, 25);
  EXPECT_EQ(list.firstNoteEntry(), 3);
  EXPECT_TRUE(list.isTranslation(2));
  EXPECT_FALSE(list.isTranslation(3));
  EXPECT_FALSE(list.isTranslation(0));

  EXPECT_EQ(list.findByName("bbe"), 2);
  EXPECT_EQ(list.findByName("STUDY"), 4);
  EXPECT_EQ(list.findByName("Cm"), 0) << "only kinds N and V are offered";
  EXPECT_EQ(list.findByName(""), 0) << "the separator has no name to match";

  EXPECT_EQ(list.currentNoteCollection(), QStringLiteral("Study"));
  EXPECT_EQ(list.currentNotesPath("/n"), QStringLiteral("/n/Study"));
  list.setCurrentNoteCollection("Sn");
  list.build(s.translations, {{"Study", 'N', 50}});
  EXPECT_EQ(list.currentNoteCollection(), QStringLiteral("Sn")) << "a chosen collection is kept";

  for (int bad : {0, -1, 6, 31}) EXPECT_THROW(list.entry(bad), TextRangeError) << bad;
}

TEST(TextsSourceList, WithoutTranslationsOrNotes) {
  Sources none({});
  TSourceList list;
  list.build(none.translations, {});
  ASSERT_EQ(list.count(), 1);
  EXPECT_EQ(list.entry(1).kind, '-');
  EXPECT_EQ(list.firstNoteEntry(), 1);
  EXPECT_FALSE(list.isTranslation(1));
  EXPECT_TRUE(list.currentNoteCollection().isEmpty());
  EXPECT_TRUE(list.currentNotesPath("/n/").isEmpty());

  list.build(none.translations, {{"Study", 'N', 50}});
  EXPECT_EQ(list.entry(2).name, QStringLiteral("Study"));
  EXPECT_EQ(list.findByName("study"), 2);
}

TEST(TextsSourceList, NoteEntriesStopAtThirty) {
  Sources s({"AV", "Bbe", "Cev"});
  std::vector<TNoteSource> notes;
  for (int i = 0; i < 40; ++i) notes.push_back({QStringLiteral("N%1").arg(i, 2, 10, QLatin1Char('0')), 'N', 50});
  TSourceList list;
  list.build(s.translations, notes);
  ASSERT_EQ(list.count(), 30);
  EXPECT_EQ(list.firstNoteEntry(), 4);
  EXPECT_EQ(list.entry(30).name, QStringLiteral("N25"));
  EXPECT_EQ(list.findByName("N26"), 0);
  EXPECT_THROW(list.entry(31), TextRangeError);
}

}  // namespace
}  // namespace kov
