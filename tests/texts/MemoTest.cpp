#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "texts/UmemoNote.h"

using namespace kov;

namespace {

// Collects what the memo shows; gives back the lines it was given to save.
struct FakeDoc : TMemoDocument {
  std::vector<TMemoRun> runs;
  QString plain;
  QStringList toSave;
  void appendRun(const TMemoRun& r) override {
    runs.push_back(r);
    plain += r.text;
  }
  void appendLineBreak() override { plain += '\n'; }
  QStringList memoLines() const override { return toSave; }
};

QByteArray readBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST(MemoFiles, NamingOfStrongAndDictionaryCollections) {
  TmemoNote m;
  m.setStrongCollection("/prg/", "Strong", 'G');
  EXPECT_EQ(m.markerFor(123), "0000123");
  EXPECT_EQ(m.fileFor(123), "/prg/Strong.s/G00/G00100.txt");
  EXPECT_EQ(m.fileFor(5624), "/prg/Strong.s/G03/G05600.txt");
  EXPECT_EQ(m.markerKey("0000123"), 123);
  EXPECT_EQ(m.markerKey("00123"), -1) << "a marker is exactly as long as the width";
  EXPECT_EQ(m.markerKey("000012x"), -1);

  m.setDictionaryCollection("/prg/olb/", "Dict", 'D');
  EXPECT_EQ(m.markerFor(3001), "03001");
  EXPECT_EQ(m.fileFor(3001), "/prg/olb/Dict03/D03000") << "no extension, no dot";
  EXPECT_EQ(m.markerKey("03001"), 3001);
}

TEST(MemoMarkup, StrongReferencesBoldItalicAndGreen) {
  using R = TMemoRun;
  struct Case {
    QString line;
    std::vector<TMemoRun> runs;
  };
  const std::vector<Case> cases = {
      {"see G25 and H1.", {R{"see ", 0, 0, 0}, R{"G25", 1, 0, 0}, R{" and ", 0, 0, 0},
                           R{"H1", 1, 0, 0}, R{".", 0, 0, 0}}},
      {"GOD G", {R{"GOD G", 0, 0, 0}}},
      {"a \\@bold\\@ b", {R{"a ", 0, 0, 0}, R{"bold", 0, 1, 0}, R{" b", 0, 0, 0}}},
      {"x (\\it\\) y", {R{"x (", 0, 0, 0}, R{"it", 0, 0, 1}, R{") y", 0, 0, 0}}},
      {"\\\\green\\\\ G7", {R{"green", 1, 0, 0}, R{" ", 0, 0, 0}, R{"G7", 1, 0, 0}}},
      {"odd \\ and \\", {R{"odd \\ and \\", 0, 0, 0}}},
  };
  for (const Case& c : cases) EXPECT_EQ(memoLineToRuns(c.line), c.runs) << c.line.toStdString();

  // Bold opened on one line carries on to the next.
  TMemoMarkupState st;
  memoLineToRuns("\\@start", st);
  EXPECT_TRUE(memoLineToRuns("more", st).front().bold);
}

TEST(MemoStore, ShowAndSaveKeepOtherNotes) {
  QTemporaryDir tmp;
  TmemoNote m;
  FakeDoc doc;
  m.setEditor(&doc);
  m.setStrongCollection(tmp.path(), "Strong", 'H');
  EXPECT_FALSE(m.ShowMemo(123));
  EXPECT_FALSE(m.fileExisted());
  EXPECT_TRUE(QFileInfo(tmp.path() + "/Strong.s/H00").isDir()) << "7-digit folders are made";

  doc.toSave = {"first note", "H124 related"};
  ASSERT_TRUE(m.SaveMemo(123)) << m.error().toStdString();
  doc.toSave = {"one two five"};
  ASSERT_TRUE(m.SaveMemo(125));
  doc.toSave = {"one", "0000124"};
  ASSERT_TRUE(m.SaveMemo(121));
  doc.toSave = {"replaced"};
  ASSERT_TRUE(m.SaveMemo(123));
  EXPECT_EQ(readBytes(tmp.path() + "/Strong.s/H00/H00100.txt"),
            "0000121\r\none\r\n 0000124\r\n0000123\r\nreplaced\r\n0000125\r\none two five\r\n");

  ASSERT_TRUE(m.ShowMemo(125));
  EXPECT_EQ(doc.plain, "one two five\n");
  doc.plain.clear();
  EXPECT_FALSE(m.ShowMemo(124));
  EXPECT_EQ(doc.plain, "");
  EXPECT_FALSE(m.IsOpen());
}

TEST(MemoStore, FailedSaveLeavesTheFile) {
  QTemporaryDir tmp;
  TmemoNote m;
  FakeDoc doc;
  m.setEditor(&doc);
  m.setDictionaryCollection(tmp.path(), "Dict", 'D');
  doc.toSave = {"kept"};
  ASSERT_TRUE(m.SaveMemo(10));
  // Taking the file's place with a folder makes the next save fail.
  const QString file = m.fileFor(10);
  ASSERT_TRUE(QFile::rename(file, file + ".bak"));
  QDir().mkpath(file);
  doc.toSave = {"lost?"};
  EXPECT_FALSE(m.SaveMemo(10));
  EXPECT_FALSE(m.error().isEmpty());
  EXPECT_EQ(readBytes(file + ".bak"), "00010\r\nkept\r\n");
}
