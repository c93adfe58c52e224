#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include "db/cCalcPos.h"
#include "support/RefsFixtures.h"

using namespace kov;
using namespace kov::testing;

namespace {

void writeRaw(const QString& path, const QByteArray& data) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(data);
}

// A valid 2-book ".bk" text, CRLF line ends as written on the original platform.
const char* kTwoBooks =
    "*Sample text\r\n*VQere\r\n*VKetiv\r\nSample description\r\nSmp\r\nSMP\r\n2\r\nO\r\n"
    "Genesis\r\nGen\r\nGEN\r\n50\r\nO\r\nLuke\r\nLk\r\nLUC\r\n24\r\nN\r\n";

}  // namespace

TEST(RefsCalcposLoad, ReadsHeaderVariantsBooksAndChapters) {
  QTemporaryDir dir;
  writeRaw(dir.filePath("T.bk"), kTwoBooks);
  writeGdiFile(dir.filePath("T.gdi"), {{1, 1, 31, 0}, {1, 2, 25, 400}, {2, 1, 80, 900}});
  TCalcpos c;
  c.setDir(dir.path() + "/");
  c.setName("T");
  std::vector<CalcposError> errors;
  EXPECT_EQ(c.Init(&errors), 0);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(c.headerLines(), QStringList({"*Sample text", "*VQere", "*VKetiv"}));
  EXPECT_EQ(c.variantNames(), QStringList({"Qere", "Ketiv"}));
  EXPECT_EQ(c.description(), "Sample description");
  ASSERT_EQ(c.bookCount(), 2);
  EXPECT_EQ(c.book(1), (Tbk_rec{"Genesis", "Gen", "GEN", 50, 'O'}));
  EXPECT_EQ(c.book(2).Bks, "LUK");  // stored under the current code
  EXPECT_EQ(c.chapterCount(), 3);
  EXPECT_EQ(c.chapterRecord(3).position, TCalcpos::SentinelPosition);
}

TEST(RefsCalcposLoad, WritersRoundTripAndFilesAreFoundWithoutCase) {
  QTemporaryDir dir;
  const TbookTable books = makeBooks(miniBible());
  writeCalcFiles(dir.path(), "mini", books, makeChapters(miniBible()));
  QFile::rename(dir.filePath("mini.bk"), dir.filePath("MINI.BK"));
  TCalcpos c;
  c.setDir(dir.path());
  c.setName("mini");
  ASSERT_EQ(c.Init(), 0);
  TbookTable back;
  back.header = c.book(0);
  for (int i = 1; i <= c.bookCount(); ++i) back.books.push_back(c.book(i));
  back.header.chapters = 0;
  EXPECT_EQ(back.books, books.books);
  EXPECT_EQ(back.header.Bkn, books.header.Bkn);
  std::vector<Tch_rec> recs;
  for (int i = 0; i < c.chapterCount(); ++i) recs.push_back(c.chapterRecord(i));
  EXPECT_EQ(recs, makeChapters(miniBible()));
}

TEST(RefsCalcposLoad, MissingFilesAreCountedAndNamed) {
  QTemporaryDir dir;
  TCalcpos c;
  c.setDir(dir.path() + "/");
  c.setName("None");
  std::vector<CalcposError> errors;
  EXPECT_EQ(c.Init(&errors), 2);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].kind, CalcposError::NotFound);
  EXPECT_EQ(errors[0].text, dir.path() + "/None.gdi - not found!");
  EXPECT_EQ(errors[1].text, dir.path() + "/None.bk - not found!");

  // One missing file does not stop the other from loading.
  writeRaw(dir.filePath("None.bk"), kTwoBooks);
  errors.clear();
  EXPECT_EQ(c.Init(&errors), 1);
  EXPECT_EQ(c.bookCount(), 2);

  TCalcpos unnamed;
  EXPECT_EQ(unnamed.Init(&errors), 0);
}

TEST(RefsCalcposLoad, HostileBkFilesGiveClearErrors) {
  struct Case {
    const char* what;
    QByteArray data;
    const char* message;  // part of the error text
    int booksKept;
  };
  QByteArray tooMany = "Desc\nD\nDSC\n71\nO\n";
  for (int i = 0; i < 71; ++i) tooMany += "Book\nBk\nBKX\n1\nO\n";
  const Case cases[] = {
      {"empty file", "", "header record", 0},
      {"truncated header", "Desc\nD\nDSC\n", "header record", 0},
      {"book count not a number", "Desc\nD\nDSC\nabc\nO\n", "line 4: number of books", 0},
      {"more than 70 books", tooMany, "71 books, at most 70", 0},
      {"truncated book", "Desc\nD\nDSC\n2\nO\nGenesis\nGen\nGEN\n50\nO\nExodus\nExo\n",
       "book record", 1},
      {"garbage chapters", "Desc\nD\nDSC\n1\nO\nGenesis\nGen\nGEN\n5x\nO\n",
       "line 9: number of chapters", 0},
      {"chapters over 255", "Desc\nD\nDSC\n1\nO\nGenesis\nGen\nGEN\n300\nO\n",
       "number of chapters", 0},
      {"empty line inside a book", "Desc\nD\nDSC\n1\nO\nGenesis\n\nGen\nGEN\n50\nO\n",
       "line 9: number of chapters", 0},
      {"empty line between books", "Desc\nD\nDSC\n2\nO\nGenesis\nGen\nGEN\n50\nO\n\nExodus\nExo\nEXO\n40\nO\n",
       "line 11: book 2 has no name", 1},
  };
  for (const Case& tc : cases) {
    SCOPED_TRACE(tc.what);
    QTemporaryDir dir;
    writeRaw(dir.filePath("T.bk"), tc.data);
    writeGdiFile(dir.filePath("T.gdi"), {{1, 1, 3, 0}});
    TCalcpos c;
    c.setDir(dir.path() + "/");
    c.setName("T");
    std::vector<CalcposError> errors;
    EXPECT_EQ(c.Init(&errors), 1);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].kind, CalcposError::Unreadable);
    EXPECT_TRUE(errors[0].text.startsWith(dir.path() + "/T.bk - ")) << errors[0].text.toStdString();
    EXPECT_TRUE(errors[0].text.contains(tc.message)) << errors[0].text.toStdString();
    EXPECT_EQ(c.bookCount(), tc.booksKept);
    EXPECT_EQ(c.chapterCount(), 1);  // the ".gdi" still loaded
    c.setBks("GEN");                 // and selecting stays safe
    c.setPosition(5);
  }
}

TEST(RefsCalcposLoad, BlankLinesBeforeHeaderAndExtraStarLinesAreTolerated) {
  TbookTable t;
  QString error;
  ASSERT_TRUE(parseBk("\r\n*1\n*2\n*3\n*V4\n*V5\n*V6\n\nDesc\nD\nDSC\n0\nO\n", t, &error))
      << error.toStdString();
  EXPECT_EQ(t.headerLines.size(), 5);
  // Header lines stop at 5, variant names count on their own.
  EXPECT_EQ(t.variantNames, QStringList({"4", "5", "6"}));
  EXPECT_EQ(t.header.Bkn, "Desc");
}

TEST(RefsCalcposLoad, HostileGdiFilesGiveClearErrors) {
  auto rec = [](int book, int chapter, int verses, std::int32_t pos) {
    return formatGdi({{std::uint8_t(book), std::uint8_t(chapter), std::uint8_t(verses), pos}});
  };
  QByteArray tooMany;
  for (int i = 0; i < 1501; ++i) tooMany += rec(1, 1, 1, i);
  struct Case {
    const char* what;
    QByteArray data;
    const char* message;
  };
  const Case cases[] = {
      {"truncated record", rec(1, 1, 3, 0) + rec(1, 2, 3, 30).left(5), "7-byte records"},
      {"more than 1500 records", tooMany, "1501 chapter records"},
      {"book number 0", rec(0, 1, 3, 0), "book number 0"},
      {"book number 200", rec(200, 1, 3, 0), "book number 200"},
      {"negative position", rec(1, 1, 3, -5), "position -5"},
      {"descending positions", rec(1, 1, 3, 100) + rec(1, 2, 3, 50), "record 1"},
  };
  for (const Case& tc : cases) {
    SCOPED_TRACE(tc.what);
    QTemporaryDir dir;
    writeRaw(dir.filePath("T.gdi"), tc.data);
    writeRaw(dir.filePath("T.bk"), kTwoBooks);
    TCalcpos c;
    c.setDir(dir.path() + "/");
    c.setName("T");
    std::vector<CalcposError> errors;
    EXPECT_EQ(c.Init(&errors), 1);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].kind, CalcposError::Unreadable);
    EXPECT_TRUE(errors[0].text.contains(tc.message)) << errors[0].text.toStdString();
    EXPECT_EQ(c.chapterCount(), 0);
    c.setPosition(10);
    EXPECT_FALSE(c.found());
    c.setChapter(1);
    EXPECT_EQ(c.BkCr(), -1);
  }
}

TEST(RefsCalcposSelect, NewCalculatorState) {
  TCalcpos c;
  EXPECT_EQ(c.Dir(), "");
  EXPECT_EQ(c.Name(), "");
  EXPECT_EQ(c.Bks(), "MAT");
  EXPECT_EQ(c.Bnr(), 0);
  EXPECT_EQ(c.Chapter(), 0);
  EXPECT_EQ(c.VerseCount(), 0);
  EXPECT_EQ(c.Position(), 0);
  EXPECT_EQ(c.Error, 0);
  EXPECT_EQ(c.chapterCount(), 0);
  EXPECT_TRUE(c.variantNames().isEmpty());
}

TEST(RefsCalcposSelect, BookByCodeSetsFoundAndNtFlag) {
  TCalcpos c;
  fillMini(c);
  c.setBks("mat");
  EXPECT_TRUE(c.found());
  EXPECT_TRUE(c.ntFlag());
  EXPECT_EQ(c.Bnr(), 3);
  EXPECT_EQ(c.Bks(), "MAT");
  EXPECT_EQ(c.Bka(), "Mat");
  EXPECT_EQ(c.Bkn(), "MAT name");

  c.setBks("EXO");
  EXPECT_TRUE(c.found());
  EXPECT_FALSE(c.ntFlag());  // the scan stopped before MAT
  c.setBks("LUK");
  EXPECT_TRUE(c.ntFlag());

  c.setBks("LUC");  // older spelling of Luke's code
  EXPECT_TRUE(c.found());
  EXPECT_EQ(c.Bnr(), 5);

  c.setBks("XYZ");
  EXPECT_FALSE(c.found());
  EXPECT_EQ(c.Bnr(), 1);
  EXPECT_EQ(c.Bkn(), "GEN name");
  EXPECT_TRUE(c.ntFlag());  // the whole table was scanned
}

TEST(RefsCalcposSelect, BookByNumber) {
  TCalcpos c;
  fillMini(c);
  c.setBnr(2);
  EXPECT_TRUE(c.found());
  EXPECT_EQ(c.Bks(), "EXO");
  for (int bad : {0, 6, 70, 71, -1}) {
    c.setBnr(bad);
    EXPECT_FALSE(c.found()) << bad;
    EXPECT_EQ(c.Bnr(), bad);
    EXPECT_EQ(c.Bks(), "EXO");  // nothing selected
  }
}

TEST(RefsCalcposSelect, ChapterSelection) {
  TCalcpos c;
  fillMini(c);
  c.setBks("GEN");
  c.setChapter(2);
  EXPECT_EQ(c.BkCr(), 1);
  EXPECT_EQ(c.Position(), 50);
  EXPECT_EQ(c.VerseChapter(), 4);
  EXPECT_EQ(c.VerseCount(), 9);  // 5 + 4

  c.setChapter(9);  // GEN has no chapter 9: values of the last record
  EXPECT_EQ(c.BkCr(), -1);
  EXPECT_EQ(c.Position(), 680);
  EXPECT_EQ(c.VerseChapter(), 8);

  c.setBkCr(5);
  EXPECT_EQ(c.Bks(), "MAT");
  EXPECT_EQ(c.Chapter(), 2);
  EXPECT_EQ(c.Position(), 390);
  EXPECT_EQ(c.VerseCount(), 5 + 4 + 3 + 2 + 25 + 23);
  c.setBkCr(8);  // past the last record
  EXPECT_EQ(c.BkCr(), -1);
  EXPECT_EQ(c.Bks(), "MAT");
}

TEST(RefsCalcposSelect, PositionAtChapterStartAndOneLess) {
  TCalcpos c;
  fillMini(c);
  c.setPosition(390);  // MAT 2 starts here
  EXPECT_EQ(c.Bks(), "MAT");
  EXPECT_EQ(c.Chapter(), 2);
  EXPECT_EQ(c.BkCr(), 5);
  EXPECT_TRUE(c.found());
  c.setPosition(389);
  EXPECT_EQ(c.Chapter(), 1);
  EXPECT_EQ(c.VerseChapter(), 25);
  c.setPosition(-7);  // before the first record
  EXPECT_EQ(c.BkCr(), 0);
  c.setPosition(99999999);  // past the sentinel: still the last chapter
  EXPECT_EQ(c.Bks(), "LUK");
  EXPECT_EQ(c.BkCr(), 7);
}

// The position search must agree with a plain scan for every table size, in particular
// when the last record's index is a power of two.
TEST(RefsCalcposSelect, PositionSearchMatchesLinearScanForAllSizes) {
  for (int n = 1; n <= 40; ++n) {
    std::vector<Tch_rec> recs;
    for (int i = 0; i < n; ++i) recs.push_back({1, std::uint8_t(i + 1), 1, i * 10});
    TCalcpos c;
    TbookTable t;
    t.books.push_back({"Book", "Bk", "BKX", std::uint8_t(n), 'O'});
    ASSERT_TRUE(c.setTables(t, recs));
    for (int pos = -1; pos <= n * 10 + 1; ++pos) {
      c.setPosition(pos);
      const int expected = std::clamp(pos < 0 ? 0 : pos / 10, 0, n - 1);
      ASSERT_EQ(c.BkCr(), expected) << "records " << n << " position " << pos;
    }
  }
}

TEST(RefsCalcposSelect, FirstStepIsHalfThePowerOfTwoCoveringTheLastIndex) {
  const std::pair<int, int> cases[] = {{1, 0}, {2, 0}, {3, 1}, {5, 2}, {6, 4}, {9, 4}, {10, 8}};
  for (auto [records, step] : cases) {
    TCalcpos c;
    std::vector<Tch_rec> recs;
    for (int i = 0; i < records; ++i) recs.push_back({1, 1, 1, i});
    ASSERT_TRUE(c.setTables({}, recs));
    EXPECT_EQ(c.firstStep(), step) << records;
  }
}

TEST(RefsCalcposSelect, SetTablesRejectsTablesOutsideTheLimits) {
  TCalcpos c;
  fillMini(c);
  TbookTable many;
  many.books.resize(71);
  QString error;
  EXPECT_FALSE(c.setTables(many, {}, &error));
  EXPECT_TRUE(error.contains("71 books"));
  std::vector<Tch_rec> recs(1501, Tch_rec{1, 1, 1, 0});
  EXPECT_FALSE(c.setTables({}, recs, &error));
  EXPECT_FALSE(c.setTables({}, {{99, 1, 1, 0}}, &error));
  EXPECT_EQ(c.bookCount(), 5);  // unchanged
  EXPECT_EQ(c.chapterCount(), 8);
}
