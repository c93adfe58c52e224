#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "db/ChunkHeader.h"
#include "db/cTxtData.h"

namespace kov {
namespace {

std::vector<TVerseText> sampleVerses(std::size_t longVerse = 70000) {
  return {
      {{"GEN", "1", "1"}, "In the beginning "},
      {{"GEN", "1", "2"}, std::string(longVerse, 'x')},
      {{"GEN", "2", "1"}, "Thus "},
      {{"EXO", "1", "1"}, "Now "},
  };
}

TEST(TxtData, ReadsVersesInOrderWhateverTheirLength) {
  QTemporaryDir dir;
  QString error;
  ASSERT_TRUE(writeVerseTextFile(dir.path() + QStringLiteral("/KJV.tx"), sampleVerses(), "<T><id>KJV</id></T>", &error))
      << error.toStdString();
  TtxtData t;
  ASSERT_TRUE(t.open(dir.path() + QLatin1Char('/'), QStringLiteral("kjv.TX"), &error)) << error.toStdString();
  EXPECT_EQ(t.xmlHeader(), "<T><id>KJV</id></T>");

  ASSERT_TRUE(t.gotoVerse({"GEN", "1", "2"}));
  EXPECT_EQ(t.readVerse(), std::string(70000, 'x'));  // longer than any fixed window
  EXPECT_EQ(t.verseKeys(), (tbcvs{"GEN", "1", "2"}));
  EXPECT_EQ(t.readVerse(), "Thus ");
  EXPECT_EQ(t.verseKeys(), (tbcvs{"GEN", "2", "1"}));
  EXPECT_EQ(t.currentKeys(), (tbcvs{"EXO", "1", "1"}));
  EXPECT_EQ(t.readVerse(), "Now ");
  EXPECT_EQ(t.readVerse(), "");

  ASSERT_TRUE(t.gotoVerse({"GEN", "2", "9"}));  // a missing verse: the chapter's first
  EXPECT_EQ(t.readVerse(), "Thus ");
  EXPECT_FALSE(t.gotoVerse({"GEN", "3", "1"}));
  EXPECT_FALSE(t.gotoVerse({"LEV", "1", "1"}));
  EXPECT_FALSE(t.open(dir.path() + QLatin1Char('/'), QStringLiteral("none.tx"), &error));
  EXPECT_TRUE(error.endsWith(QStringLiteral(" - not found!")));
}

TEST(TxtData, DamagedFilesAreRefused) {
  const QByteArray good = *buildVerseTextFile(sampleVerses(10));
  TtxtData t;
  ASSERT_TRUE(t.openBytes(good));

  // Every cut-off copy either opens (the cut fell after the index) or says why not.
  for (qsizetype n = 0; n < good.size(); ++n) {
    QString error;
    if (!t.openBytes(good.left(n), &error)) {
      EXPECT_FALSE(error.isEmpty()) << n;
    }
    t.gotoVerse({"GEN", "1", "1"});
    t.readVerse();
  }

  // A closing verse link far past the text block: reads stop at the block's end.
  QByteArray farLink = good;
  const qsizetype lastLink = farLink.size() - 4;
  farLink[lastLink + 3] = 0x7f;
  ASSERT_TRUE(t.openBytes(farLink));
  ASSERT_TRUE(t.gotoVerse({"EXO", "1", "1"}));
  EXPECT_EQ(t.readVerse(), "Now ");

  // Entries that point at keys the level does not have.
  QByteArray badKey = good;
  const qsizetype lastKey = badKey.size() - 8;
  badKey[lastKey + 3] = 0x40;
  QByteArray levelsLie = good;
  levelsLie.replace(levelsLie.indexOf(QByteArray("\xcc\xf7\x64\x00\x03\x00\x00\x00", 8)) + 4, 1, "\x05", 1);
  QByteArray wrongTag = good;
  wrongTag[0] = 0x01;
  for (const QByteArray& bad : {wrongTag, levelsLie}) {
    QString error;
    EXPECT_FALSE(t.openBytes(bad, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(t.gotoVerse({"GEN", "1", "1"}));
    EXPECT_EQ(t.readVerse(), "");
  }
  // The closing entry's key is never read, so a bad one there is harmless.
  EXPECT_TRUE(t.openBytes(badKey));
}

}  // namespace
}  // namespace kov
