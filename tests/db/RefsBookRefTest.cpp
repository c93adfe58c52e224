#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "db/CBookRef.h"
#include "support/RefsFixtures.h"

using namespace kov;
using namespace kov::testing;

TEST(RefsBookRef, ShippedBooksIniCoversAllBooks) {
  const QString root = sourceRoot();
  ASSERT_FALSE(root.isEmpty()) << "data/books.ini not found; set KOV_SOURCE_DIR";
  TbookRef br;
  ASSERT_TRUE(br.load(root + "/data"));
  const char* codes[] = {"GEN", "EXO", "LEV", "NUM", "DEU", "JOS", "JDG", "RUT", "1SA", "2SA",
                         "1KI", "2KI", "1CH", "2CH", "EZR", "NEH", "EST", "JOB", "PSA", "PRO",
                         "ECC", "SNG", "ISA", "JER", "LAM", "EZK", "DAN", "HOS", "JOL", "AMO",
                         "OBA", "JON", "MIC", "NAM", "HAB", "ZEP", "HAG", "ZEC", "MAL", "MAT",
                         "MRK", "LUK", "JHN", "ACT", "ROM", "1CO", "2CO", "GAL", "EPH", "PHP",
                         "COL", "1TH", "2TH", "1TI", "2TI", "TIT", "PHM", "HEB", "JAS", "1PE",
                         "2PE", "1JN", "2JN", "3JN", "JUD", "REV"};
  for (const char* code : codes) {
    SCOPED_TRACE(code);
    EXPECT_FALSE(br.displayNameOf(code).isEmpty());
    EXPECT_FALSE(br.noteNameOf(code).isEmpty());
    EXPECT_EQ(br.bookCodeOf(code), code);                             // the code itself
    EXPECT_EQ(br.bookCodeOf(br.displayNameOf(code).toLower()), code);  // the full name
  }
}

TEST(RefsBookRef, TypedReferencesWithShippedNames) {
  TbookRef br;
  ASSERT_TRUE(br.load(sourceRoot() + "/data"));
  struct Case {
    const char* typed;
    const char* code;
    int chapter, verse;
  };
  const Case cases[] = {
      {"1 Sam 3:4", "1SA", 3, 4},
      {"1Sam 3:4", "1SA", 3, 4},
      {"1sam3:4", "1SA", 3, 4},
      {"1  SAM 3:4", "1SA", 3, 4},
      {"1 Samuel 3:4", "1SA", 3, 4},
      {"Gen 1:1", "GEN", 1, 1},
      {"gen.1.1", "GEN", 1, 1},
      {"Gen. 1:1", "GEN", 1, 1},
      {"mt 5:3", "MAT", 5, 3},
      {"Matt 5:3", "MAT", 5, 3},
      {"Mk 1:1", "MRK", 1, 1},
      {"Luc 2:1", "LUK", 2, 1},
      {"Jn 3:16", "JHN", 3, 16},
      {"John 3:16", "JHN", 3, 16},
      {"1 John 1:9", "1JN", 1, 9},
      {"Psalm 23", "PSA", 23, 0},
      {"Song of Songs 2:1", "SNG", 2, 1},
      {"Cant 2:1", "SNG", 2, 1},
      {"Rev", "REV", 0, 0},
      {"  rev 22:21  ", "REV", 22, 21},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    const auto got = br.readTyped(c.typed);
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(*got, (TbookRef::TypedRef{c.code, c.chapter, c.verse}));
  }
  EXPECT_FALSE(br.readTyped("Hezekiah 1:1"));
  EXPECT_FALSE(br.readTyped(""));
  EXPECT_FALSE(br.readTyped("3:16"));
}

TEST(RefsBookRef, LookupOrderAndMissingFile) {
  TbookRef br;
  br.loadText(
      "[BKS1]\nGEN=Genesis (notes)\n[BKS2]\nGEN=Genesis\n"
      "[BKA]\nJob=JOB\n[BKN]\nJob=XXX\nGenesis=gen\n");
  EXPECT_EQ(br.bookCodeOf("JOB"), "JOB");  // abbreviations first
  EXPECT_EQ(br.bookCodeOf("GENESIS"), "GEN");
  EXPECT_EQ(br.bookCodeOf("Exodus"), "");
  EXPECT_EQ(br.noteNameOf("gen"), "Genesis (notes)");
  EXPECT_EQ(br.displayNameOf("GEN"), "Genesis");
  EXPECT_EQ(br.displayNameOf("EXO"), "");

  QTemporaryDir dir;
  QString error;
  EXPECT_FALSE(br.load(dir.path(), &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(br.bookCodeOf("Job"), "");
  QFile f(dir.filePath("BOOKS.INI"));  // found whatever its case
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[BKA]\nGn=GEN\n");
  f.close();
  EXPECT_TRUE(br.load(dir.path()));
  EXPECT_EQ(br.bookCodeOf("gn"), "GEN");
}
