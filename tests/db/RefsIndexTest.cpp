#include <gtest/gtest.h>

#include "db/cIndexPos.h"

using namespace kov;

namespace {

// GEN 1:1-2, 2:1-3; EXO 1:1, 3:1-2 (no chapter 2); LEV 2:1. Verse entry i has text
// offset 100 * i.
class RefsIndex : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::string> verseKeys = {"1", "2", "1", "2", "3", "1", "1", "2", "1", ""};
    std::vector<std::int32_t> offsets;
    for (int i = 0; i < 10; ++i) offsets.push_back(100 * i);
    std::string error;
    ASSERT_TRUE(idx.setLevels(T2IDX::make({"GEN", "EXO", "LEV", ""}, {0, 2, 4, 5}),
                              T2IDX::make({"1", "2", "1", "3", "2", ""}, {0, 2, 5, 6, 8, 9}),
                              T2IDX::make(verseKeys, offsets), &error))
        << error;
  }
  Tindexpos idx;
};

tbcvs keys(const char* b, const char* c, const char* v) { return {b, c, v}; }

}  // namespace

TEST_F(RefsIndex, FindGivesVerseChapterStartOrNothing) {
  struct Case {
    tbcvs wanted;
    std::int32_t offset;
    tbcvs current;  // keys under the cursor afterwards
  };
  const Case cases[] = {
      {keys("GEN", "2", "3"), 400, keys("GEN", "2", "3")},
      {keys("EXO", "3", "2"), 700, keys("EXO", "3", "2")},
      {keys("GEN", "2", "9"), 200, keys("GEN", "2", "1")},  // missing verse: chapter start
      // Verse 3 is missing in GEN 1; it must not be taken from GEN 2.
      {keys("GEN", "1", "3"), 0, keys("GEN", "1", "1")},
      {keys("XYZ", "1", "1"), -1, {}},
      {keys("gen", "1", "1"), -1, {}},  // keys compare exactly
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wanted.book + " " + c.wanted.chapter + ":" + c.wanted.verse);
    Tindexpos fresh = idx;
    EXPECT_EQ(fresh.find(c.wanted), c.offset);
    EXPECT_EQ(fresh.offset(), c.offset);
    if (c.offset >= 0) {
      EXPECT_EQ(fresh.currentKeys(), c.current);
    }
  }
}

// EXO has no chapter 2; LEV does. The lookup stays inside EXO's chapters.
TEST_F(RefsIndex, MissingChapterDoesNotMatchALaterBook) {
  EXPECT_EQ(idx.find(keys("EXO", "2", "1")), -1);
  EXPECT_EQ(idx.find(keys("LEV", "2", "1")), 800);
}

TEST_F(RefsIndex, StepCarriesChapterAndBook) {
  idx.find(keys("GEN", "1", "2"));
  EXPECT_TRUE(idx.stepSaved(1));
  EXPECT_EQ(idx.currentKeys(), keys("GEN", "2", "1"));
  EXPECT_TRUE(idx.stepSaved(3));
  EXPECT_EQ(idx.currentKeys(), keys("EXO", "1", "1"));
  EXPECT_EQ(idx.offset(), 500);
  EXPECT_TRUE(idx.stepSaved(-1));
  EXPECT_EQ(idx.currentKeys(), keys("GEN", "2", "3"));
  EXPECT_TRUE(idx.stepSaved(4));
  EXPECT_EQ(idx.currentKeys(), keys("LEV", "2", "1"));
  EXPECT_FALSE(idx.stepSaved(1));  // onto the closing entry
  EXPECT_EQ(idx.savedCursor().verse, 9);
  EXPECT_FALSE(idx.stepSaved(5));  // and no further
  EXPECT_EQ(idx.savedCursor().verse, 9);
  EXPECT_TRUE(idx.stepSaved(-9));
  EXPECT_EQ(idx.currentKeys(), keys("GEN", "1", "1"));
  EXPECT_FALSE(idx.stepSaved(-1));  // nothing before the first verse
  EXPECT_EQ(idx.currentKeys(), keys("GEN", "1", "1"));
}

TEST_F(RefsIndex, LocatePutsAChaptersFirstVerseInThatChapter) {
  const std::pair<int, tbcvs> cases[] = {
      {0, keys("GEN", "1", "1")}, {2, keys("GEN", "2", "1")}, {4, keys("GEN", "2", "3")},
      {5, keys("EXO", "1", "1")}, {6, keys("EXO", "3", "1")}, {8, keys("LEV", "2", "1")},
  };
  for (const auto& [entry, expected] : cases) {
    idx.locate(entry);
    EXPECT_EQ(idx.currentKeys(), expected) << entry;
    EXPECT_EQ(idx.offset(), 100 * entry);
  }
  idx.locate(-3);  // clamped, never out of the table
  EXPECT_EQ(idx.savedCursor().verse, 0);
  idx.locate(500);
  EXPECT_EQ(idx.savedCursor().verse, 9);
}

TEST(RefsIndexLevels, HostileLevelsAreRejected) {
  auto books = [] { return T2IDX::make({"GEN", ""}, {0, 1}); };
  auto chapters = [] { return T2IDX::make({"1", ""}, {0, 1}); };
  auto verses = [] { return T2IDX::make({"1", ""}, {0, 10}); };
  struct Case {
    const char* what;
    T2IDX b, c, v;
  };
  std::vector<Case> cases;
  {
    Case k{"no closing entry", books(), chapters(), {}};
    cases.push_back(k);
  }
  {
    Case k{"book link past the chapters", books(), chapters(), verses()};
    k.b.entries[1].link = 7;
    cases.push_back(k);
  }
  {
    Case k{"chapter link past the verses", books(), chapters(), verses()};
    k.c.entries[0].link = 5;
    cases.push_back(k);
  }
  {
    Case k{"key index out of range", books(), chapters(), verses()};
    k.v.entries[0].key = 99;
    cases.push_back(k);
  }
  {
    Case k{"key start past the keys", books(), chapters(), verses()};
    k.b.starts[1] = 1000;
    cases.push_back(k);
  }
  {
    Case k{"descending links", books(), chapters(), verses()};
    k.v.entries[1].link = -1;
    cases.push_back(k);
  }
  for (Case& k : cases) {
    Tindexpos idx;
    std::string error;
    EXPECT_FALSE(idx.setLevels(k.b, k.c, k.v, &error)) << k.what;
    EXPECT_FALSE(error.empty()) << k.what;
    EXPECT_TRUE(idx.empty());
    EXPECT_EQ(idx.find({"GEN", "1", "1"}), -1);
    EXPECT_FALSE(idx.stepSaved(1));
  }
  Tindexpos ok;
  ASSERT_TRUE(ok.setLevels(books(), chapters(), verses()));
  EXPECT_EQ(ok.find({"GEN", "1", "1"}), 0);
}
