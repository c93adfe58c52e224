#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "db/References.h"
#include "db/cCalcPos.h"
#include "support/RefsFixtures.h"
#include "texts/NoteText.h"
#include "texts/Unotes.h"

using namespace kov;
using namespace kov::testing;

namespace {

VerseRef ref(const std::string& book, int chapter, int verse) {
  VerseRef r;
  r.Bks = book;
  r.chapter = static_cast<std::uint8_t>(chapter);
  r.verse = static_cast<std::int16_t>(verse);
  return r;
}

void writeBytes(const QString& path, const QByteArray& data) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(data);
}

QByteArray readBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct ChapterNotes {
  QTemporaryDir tmp;
  QString dir = tmp.path() + "/My.N/";
  Tnotes notes;
  ChapterNotes() { notes.setChapterCollection(dir); }
  QString read(const std::string& book, int chapter, int verse) {
    notes.setRef(ref(book, chapter, verse));
    notes.setOpen(true);
    notes.ReadNote();
    return notes.noteText();
  }
  bool save(const std::string& book, int chapter, int verse, const QString& text) {
    notes.setRef(ref(book, chapter, verse));
    return notes.SaveNote(text);
  }
};

}  // namespace

TEST(NotesChapter, SaveKeepsMarkerOrderAndReplacesOnce) {
  ChapterNotes n;
  const QString file = n.dir + "GEN/00002.vs";
  writeBytes(file, "00001\r\none\r\n00005\r\nfive a\r\nfive b\r\n");
  ASSERT_TRUE(n.save("GEN", 2, 3, "three")) << n.notes.error().toStdString();
  EXPECT_EQ(readBytes(file), "00001\r\none\r\n00003\r\nthree\r\n00005\r\nfive a\r\nfive b\r\n");

  ASSERT_TRUE(n.save("GEN", 2, 3, "new\r\nthree"));
  ASSERT_TRUE(n.save("GEN", 2, 5, "5"));
  ASSERT_TRUE(n.save("GEN", 2, 9, "nine"));
  EXPECT_EQ(readBytes(file), "00001\r\none\r\n00003\r\nnew\r\nthree\r\n00005\r\n5\r\n00009\r\nnine\r\n");
  const QStringList log = QString::fromUtf8(readBytes(n.dir + "log.txt")).split("\r\n", Qt::SkipEmptyParts);
  EXPECT_EQ(log.size(), 5);  // the two-line note spans two
  EXPECT_FALSE(QFileInfo::exists(n.dir + "GEN/00002.tmp"));
}

TEST(NotesChapter, FirstSaveMakesFolderFileAndOneLogLineLukeUnderLuc) {
  ChapterNotes n;
  ASSERT_TRUE(n.save("LUK", 5, 12, "a note"));
  EXPECT_EQ(readBytes(n.dir + "LUC/00005.vs"), "00012\r\na note\r\n");
  EXPECT_FALSE(QFileInfo::exists(n.dir + "LUK"));
  const QString log = QString::fromUtf8(readBytes(n.dir + "log.txt"));
  EXPECT_TRUE(QRegularExpression("^LUK\t5\t12\t\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\ta note\r\n$")
                  .match(log)
                  .hasMatch())
      << log.toStdString();
  EXPECT_EQ(n.read("LUK", 5, 12), "a note");
}

TEST(NotesChapter, ReadingWalksForwardOnce) {
  ChapterNotes n;
  writeBytes(n.dir + "MAT/00001.vs",
             "intro line\r\n00002\r\ntwo\r\n00a12 not a marker\r\n00004\r\n00007\r\nseven\r\n"
             "12345 text too\r\n");
  struct Step {
    int verse;
    bool found;
    const char* text;
  };
  const Step steps[] = {{1, false, ""},  {2, true, "two\r00a12 not a marker"},
                        {3, false, ""},  {4, true, "\r"},
                        {7, true, "seven\r12345 text too"}, {8, false, ""}};
  for (const Step& s : steps) {
    EXPECT_EQ(n.read("MAT", 1, s.verse), s.text) << s.verse;
    EXPECT_EQ(n.notes.found(), s.found) << s.verse;
    if (s.verse == 3) {
      EXPECT_EQ(n.notes.currentVerse(), 4) << "the next noted verse";
      EXPECT_EQ(n.notes.difVs, 1);
    }
  }
  // Another chapter closes the file; one without a file gives nothing but a book folder.
  EXPECT_EQ(n.read("MAT", 2, 1), "");
  EXPECT_FALSE(n.notes.Open());
  EXPECT_EQ(n.read("REV", 1, 1), "");
  EXPECT_TRUE(QFileInfo(n.dir + "REV").isDir());
}

TEST(NotesChapter, EncodingUtf8WithLatin1Fallback) {
  ChapterNotes n;
  writeBytes(n.dir + "JHN/00001.vs", "00001\r\ncaf\xE9\r\n");
  EXPECT_EQ(n.read("JHN", 1, 1), QString::fromUtf8("café"));
  const QString greek = QString::fromUtf8("λόγος \x02" "bold\x02");
  ASSERT_TRUE(n.save("JHN", 1, 2, greek));
  EXPECT_TRUE(readBytes(n.dir + "JHN/00001.vs").contains(greek.toUtf8()));
  EXPECT_EQ(n.read("JHN", 1, 2), greek);
  EXPECT_EQ(n.read("JHN", 1, 1), QString::fromUtf8("café")) << "the old Latin-1 note is kept";
}

TEST(NotesChapter, FailedSaveReportsAndLosesNothing) {
  ChapterNotes n;
  // The chapter file's name is taken by a folder: nothing can be written there.
  QDir().mkpath(n.dir + "GEN/00003.vs");
  EXPECT_FALSE(n.save("GEN", 3, 1, "x"));
  EXPECT_FALSE(n.notes.error().isEmpty());
  EXPECT_TRUE(QFileInfo(n.dir + "GEN/00003.vs").isDir());

  // A log that cannot be written: the note is kept, the caller is told.
  QDir().mkpath(n.dir + "log.txt");
  EXPECT_FALSE(n.save("GEN", 4, 1, "kept"));
  EXPECT_TRUE(n.notes.error().contains("saved"));
  EXPECT_EQ(n.read("GEN", 4, 1), "kept");

  // Note lines that would read as markers do not split the note.
  QDir(n.dir + "log.txt").removeRecursively();
  ASSERT_TRUE(n.save("GEN", 5, 1, "see\r\n00002 next"));
  EXPECT_EQ(n.read("GEN", 5, 1), "see\r 00002 next");
  n.read("GEN", 5, 2);
  EXPECT_FALSE(n.notes.found());
}

TEST(NotesBlock, SerialFoldersFilesAndEscapes) {
  // Slot 1's calculator gives the serial numbers: MAT 25+23 verses, then MRK, LUK.
  TCalcpos calc;
  fillMini(calc);
  TReferences refs;
  refs.setCalculator(1, &calc);
  EXPECT_EQ(refs.serialVerse(ref("MAT", 1, 1)), 1);
  EXPECT_EQ(refs.serialVerse(ref("GEN", 1, 1)), 7958);

  QTemporaryDir tmp;
  const QString notesDir = tmp.path() + "/olb/";
  Tnotes n;
  n.setBlockCollection(notesDir, "Sn", 'V', 50, &refs);
  n.setRef(ref("MAT", 2, 3));  // serial 28
  EXPECT_EQ(n.notePath(), notesDir + "Sn00/V00000");
  n.setRef(ref("GEN", 1, 1));  // serial 7958: (7958 div 3000) * 3 = 6
  EXPECT_EQ(n.notePath(), notesDir + "Sn06/V07950");

  writeBytes(notesDir + "Sn06/V07950",
             "07958\r\n\\#Title\r\nplain {it} \\\\b\\\\ end\r\n07960\r\nother\r\n");
  n.setOpen(true);
  ASSERT_TRUE(n.ReadNote());
  EXPECT_EQ(n.noteText(), QString("\x02Title\x02\rplain \x19it\x19 \x02" "b\x02 end"));
  EXPECT_FALSE(n.SaveNote("x")) << "verse-block notes are read only";

  const TNoteCollectionInfo info = probeNoteCollection(notesDir + "Sn06");
  EXPECT_EQ(info.kind, 'V');
  EXPECT_EQ(info.blockSize, 50);
  writeBytes(notesDir + "Sn00/V00000", "");
  writeBytes(notesDir + "Sn00/V00025", "");
  EXPECT_EQ(probeNoteCollection(notesDir + "Sn00").blockSize, 25);
}

TEST(NotesText, StoredCodesToRunsAndBack) {
  const QString stored = QString("a\x02" "b\x19" "c\x02\x14" "d\r\ne\x14\x19");
  const std::vector<TNoteRun> runs = noteTextToRuns(stored);
  const std::vector<TNoteRun> expected = {
      {"a", false, false, false},        {"b", true, false, false},
      {"c", true, true, false},          {"d\ne", false, true, true},
  };
  EXPECT_EQ(runs, expected);
  EXPECT_EQ(runsToNoteText(runs), QString("a\x02" "b\x19" "c\x02\x14" "d\r\ne"));
  std::vector<TNoteRun> edited = runs;
  edited.push_back({"u", false, false, false, true});
  EXPECT_EQ(runsToNoteText(edited), QString("a\x02" "b\x19" "c\x02\x14" "d\r\ne\x19\x14" "u"))
      << "underline is not stored";
  EXPECT_EQ(noteTextToRuns("x\ry").front().text, "x\ny") << "ReadNote joins lines with CR";
}
