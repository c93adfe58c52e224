#include <gtest/gtest.h>

#include "db/References.h"
#include "db/cCalcPos.h"
#include "support/RefsFixtures.h"

using namespace kov;
using namespace kov::testing;

namespace {

// Verse markers every 10 cells from a chapter's start; a cell 5 into a verse is its
// part "a".
class FakeStream : public TStreamVerses {
 public:
  explicit FakeStream(const TCalcpos& layout) : layout_(layout) {}
  std::int32_t findVerse(std::int32_t chapterStart, int verse) override {
    return chapterStart + (verse - 1) * 10;
  }
  void verseAt(std::int32_t position, std::int16_t& verse, char& mark) override {
    TCalcpos probe = layout_;
    probe.setPosition(position);
    const std::int32_t start = probe.chapterRecord(probe.BkCr()).position;
    verse = static_cast<std::int16_t>((position - start) / 10 + 1);
    mark = (position - start) % 10 >= 5 ? 'a' : ' ';
  }

 private:
  const TCalcpos& layout_;
};

class FakeTranslations : public TTranslationVerses {
 public:
  std::int32_t goToVerse(int slot, std::int32_t chapterStart, int verse) override {
    lastSlot = slot;
    return chapterStart * 2 + verse;
  }
  std::int16_t verseAt(int slot, std::int32_t position) override {
    lastSlot = slot;
    return static_cast<std::int16_t>(position % 7);
  }
  int lastSlot = 0;
};

VerseRef ref(const char* code, int chapter, int verse) {
  VerseRef r;
  r.Bks = code;
  r.chapter = static_cast<std::uint8_t>(chapter);
  r.verse = static_cast<std::int16_t>(verse);
  return r;
}

class RefsOperations : public ::testing::Test {
 protected:
  void SetUp() override {
    fillMini(db);
    fillMini(slot1);
    // Slot 3's text has its books in another order: numbers differ, codes do not.
    std::vector<BookSpec> other = {{"MAT", {25, 23}}, {"GEN", {5, 4, 3}}};
    ASSERT_TRUE(slot3.setTables(makeBooks(other), makeChapters(other, 1000)));
    refs.setCalculator(0, &db);
    refs.setCalculator(1, &slot1);
    refs.setCalculator(3, &slot3);
    refs.setStreamVerses(&stream);
    refs.setTranslationVerses(&translations);
  }
  TCalcpos db, slot1, slot3;
  FakeStream stream{db};
  FakeTranslations translations;
  TReferences refs;
};

}  // namespace

TEST_F(RefsOperations, RefToPositionAndBack) {
  EXPECT_EQ(refs.refToPosition(0, ref("mat", 2, 3)), 390 + 20);
  const VerseRef back = refs.positionToRef(0, 415);
  EXPECT_EQ(back.Bks, "MAT");
  EXPECT_EQ(back.Bka, "Mat");
  EXPECT_EQ(back.bookNr, 3);
  EXPECT_EQ(back.chapter, 2);
  EXPECT_EQ(back.verse, 3);
  EXPECT_EQ(back.verseMark, 'a');

  // Translations: the reader gets the chapter start of the slot's own calculator.
  EXPECT_EQ(refs.refToPosition(3, ref("GEN", 2, 4)), (1000 + 250 + 230 + 50) * 2 + 4);
  EXPECT_EQ(translations.lastSlot, 3);
  const VerseRef t = refs.positionToRef(3, 1532);
  EXPECT_EQ(t.Bks, "GEN");
  EXPECT_EQ(t.bookNr, 2);
  EXPECT_EQ(t.chapter, 2);
  EXPECT_EQ(t.verse, 1532 % 7);
  EXPECT_EQ(t.verseMark, ' ');
  const VerseRef ch = refs.positionToChapter(3, 1532);
  EXPECT_EQ(ch.chapter, 2);
  EXPECT_EQ(ch.verse, -1);
}

TEST_F(RefsOperations, UnresolvableReferencesGiveNoPosition) {
  EXPECT_EQ(refs.refToPosition(0, ref("XYZ", 1, 1)), -1);  // not Genesis 1
  EXPECT_EQ(refs.refToPosition(0, ref("GEN", 4, 1)), -1);  // not the table's last chapter
  EXPECT_EQ(refs.refToPosition(2, ref("GEN", 1, 1)), -1);  // empty slot
  EXPECT_EQ(refs.refToPosition(11, ref("GEN", 1, 1)), -1);
  EXPECT_TRUE(refs.positionToRef(2, 5).Bks.empty());
  TCalcpos empty;
  refs.setCalculator(4, &empty);
  EXPECT_EQ(refs.positionToRef(4, 5).verse, -1);
}

TEST_F(RefsOperations, FormatRef) {
  EXPECT_EQ(refs.formatRef(0, ref("MAT", 5, 3), true), "MAT name   5:  3");
  EXPECT_EQ(refs.formatRef(0, ref("gen", 12, 150), false), "Gen  12:150");
}

TEST_F(RefsOperations, ComparisonsUseTheCalculatorsBookOrder) {
  struct Case {
    int n;
    VerseRef a, b;
    bool after, afterOrEqual, equal;
  };
  const Case cases[] = {
      {0, ref("MAT", 1, 1), ref("GEN", 3, 3), true, true, false},
      {3, ref("MAT", 1, 1), ref("GEN", 3, 3), false, false, false},  // MAT first in slot 3
      {0, ref("GEN", 2, 1), ref("GEN", 1, 9), true, true, false},
      {0, ref("GEN", 2, 5), ref("GEN", 2, 4), true, true, false},
      {0, ref("GEN", 2, 4), ref("gen", 2, 4), false, true, true},
      {0, ref("XYZ", 1, 1), ref("GEN", 1, 1), false, true, true},  // unknown book = book 1
      {0, ref("EXO", 1, 1), ref("XYZ", 3, 1), true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.a.Bks + " vs " + c.b.Bks + " in slot " + std::to_string(c.n));
    EXPECT_EQ(refs.refAfter(c.n, c.a, c.b), c.after);
    EXPECT_EQ(refs.refAfterOrEqual(c.n, c.a, c.b), c.afterOrEqual);
    EXPECT_EQ(refs.refEqual(c.n, c.a, c.b), c.equal);
  }
  VerseRef marked = ref("GEN", 1, 1);
  marked.verseMark = 'b';
  EXPECT_TRUE(refs.refEqual(0, marked, ref("GEN", 1, 1)));
  EXPECT_TRUE(refs.sameBook(0, ref("luk", 1, 1)));
  EXPECT_FALSE(refs.sameBook(0, ref("JHN", 1, 1)));
}

TEST_F(RefsOperations, SerialVerseNumbers) {
  const std::pair<VerseRef, int> cases[] = {
      {ref("MAT", 1, 1), 1},
      {ref("MAT", 2, 3), 28},
      {ref("MRK", 1, 1), 49},
      {ref("GEN", 1, 1), 7958},
      {ref("GEN", 2, 1), 7963},
      {ref("EXO", 1, 2), 7971},
      {ref("GEN", 9, 4), 7961},  // chapter not in the table: counted from the start
  };
  for (const auto& [r, serial] : cases) EXPECT_EQ(refs.serialVerse(r), serial) << r.Bks;

  TCalcpos noMatthew;
  std::vector<BookSpec> ot = {{"GEN", {5}}};
  ASSERT_TRUE(noMatthew.setTables(makeBooks(ot), makeChapters(ot)));
  refs.setCalculator(1, &noMatthew);
  EXPECT_EQ(refs.serialVerse(ref("GEN", 1, 1)), 0);
}

TEST(RefsTextForms, RefToTextAndExport) {
  EXPECT_EQ(refToText(ref("LUC", 5, 3)), "LUK 5:3");
  EXPECT_EQ(refToText(ref("LUK", 5, 3)), "LUK 5:3");
  EXPECT_EQ(refToText(ref("MAT", 5, 3)), "MAT 5:3");
  EXPECT_EQ(refToText(ref("PSA", 119, 176)), "PSA 119:176");
  VerseRef r = ref("LUC", 2, 1);
  r.Bka = "Lk";
  const VerseRef e = refForExport(r);
  EXPECT_EQ(e.Bks, "LUK");
  EXPECT_EQ(e.Bka, "Lk");
  EXPECT_EQ(refForExport(ref("MAT", 1, 1)).Bks, "MAT");
}

TEST(RefsTextForms, KeysToRef) {
  const std::pair<tbcvs, VerseRef> cases[] = {
      {{"MAT", "5", "3"}, ref("MAT", 5, 3)},
      {{"JHNx", "", ""}, ref("JHN", 1, 1)},
      {{"GEN", "12", "16a"}, ref("GEN", 12, 16)},
  };
  for (const auto& [keys, expected] : cases) EXPECT_EQ(keysToRef(keys), expected) << keys.book;
}

TEST(RefsTextForms, CompactAndDottedForms) {
  struct Case {
    const char* text;
    bool dotted;
    std::optional<VerseRef> expected;
  };
  const Case cases[] = {
      {"MAT5:3", false, ref("MAT", 5, 3)},
      {"mat 5:3", false, ref("MAT", 5, 3)},
      {"MAT", false, ref("MAT", 1, 1)},
      {"MAT:5", false, ref("MAT", 1, 1)},
      {"JHN3:", false, ref("JHN", 3, 1)},
      {"JHN3:16b", false, ref("JHN", 3, 16)},
      {"ge", false, ref("MAT", 1, 1)},
      {"MATx:3", false, std::nullopt},
      {"MAT300:3", false, std::nullopt},
      {"MAT5:99999", false, std::nullopt},
      {"JOH.3:16", true, ref("JOH", 3, 16)},
      {"joh.3", true, ref("JOH", 1, 1)},
      {"JOH 3.16", true, ref("MAT", 1, 1)},
      {"JOH.3:1x", true, std::nullopt},
      {"JOH.x:1", true, std::nullopt},
      {"JOH.:1", true, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto got = c.dotted ? refFromDottedText(c.text) : refFromText(c.text);
    ASSERT_EQ(got.has_value(), c.expected.has_value());
    if (got) {
      EXPECT_EQ(*got, *c.expected);
    }
  }
}
