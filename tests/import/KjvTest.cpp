#include <gtest/gtest.h>

#include "kov-import/Kjv.h"

namespace kov::import {
namespace {

TEST(ImportKjv, OsisVerseText) {
  struct Case {
    const char* osis;
    std::string text;
  };
  const Case cases[] = {
      {R"(In the <w lemma="strong:H7225">beginning</w> <w lemma="strong:H0430">God</w>.)", "In the beginning God."},
      {R"(darkness <transChange type="added">was</transChange> upon)", "darkness \x19was\x19 upon"},
      {R"(<transChange type="added">Our </transChange>friends)", "\x19Our\x19 friends"},
      {R"(<title canonical="true" type="psalm">A <w>Psalm</w> of David.</title> <lg sID="g"/><divineName><w>LORD</w></divineName>, how)",
       "A Psalm of David. LORD, how"},
      {R"(word<note type="study">a note <w>inside</w></note> after  it.  <div eID="x"/>)", "word after it."},
      {"caf\xC3\xA9 \xE2\x80\x9Cq\xE2\x80\x9D \xE2\x98\x83", "caf\xE9 \"q\" ?"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(osisVerseText(QString::fromUtf8(c.osis)), c.text) << c.osis;
}

TEST(ImportKjv, WholeModule) {
  std::vector<TranslationBook> books;
  SourceError err;
  if (!readSwordModule(QStringLiteral("engKJV2006eb"), books, &err)) GTEST_SKIP() << err.text().toStdString();
  ASSERT_EQ(books.size(), 66u);
  std::size_t verses = 0;
  for (const auto& b : books) verses += b.verses.size();
  EXPECT_EQ(verses, 31102u);
  EXPECT_EQ(books[0].code, QStringLiteral("GEN"));
  EXPECT_EQ(books[0].verses[0].text, "In the beginning God created the heaven and the earth.");
  EXPECT_EQ(books[41].code, QStringLiteral("LUK"));
  const auto& ps3 = books[18].verses;
  const auto it = std::find_if(ps3.begin(), ps3.end(), [](const TranslationVerse& v) { return v.chapter == 3 && v.verse == 1; });
  ASSERT_NE(it, ps3.end());
  EXPECT_EQ(it->text.rfind("A Psalm of David, when he fled from Absalom his son. LORD, how", 0), 0u) << it->text;
}

}  // namespace
}  // namespace kov::import
