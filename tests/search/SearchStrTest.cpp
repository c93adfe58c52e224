#include "search/CSearchStr.h"
#include "search/SearchErrors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kov {
namespace {

struct MatchCase {
  const char* pattern;
  std::string text;
  bool expected;
  bool caseSens = false;
  int mode = 0;
};

std::ostream& operator<<(std::ostream& os, const MatchCase& c) {
  return os << "pattern [" << c.pattern << "] text [" << c.text << "] mode " << c.mode
            << (c.caseSens ? " case" : "");
}

bool matches(const MatchCase& c) {
  TSearchStr m;
  m.CaseSens = c.caseSens;
  m.Mode = c.mode;
  m.Compile(3, c.pattern);
  m.Subject = c.text;
  return m.MatchText(false);
}

class SearchStrMatch : public ::testing::TestWithParam<MatchCase> {};

TEST_P(SearchStrMatch, MatchesAsExpected) {
  EXPECT_EQ(matches(GetParam()), GetParam().expected) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(
    SearchStrStars, SearchStrMatch,
    ::testing::Values(MatchCase{"lov*", "he loved", true}, MatchCase{"lov", "he loved", false},
                      MatchCase{"*ove", "loved", false}, MatchCase{"*ove", "he loves love", true},
                      MatchCase{"*ove*", "loved", true}, MatchCase{"l*d", "loved", true},
                      MatchCase{"l*d", "lord", true}, MatchCase{"l*d", "love dear", false},
                      MatchCase{"l*d", "lo-rd", false}, MatchCase{"l*d", "lo~rd", false},
                      MatchCase{"l*d", "lo\xB7rd", false}, MatchCase{"l*d", "lords", false},
                      MatchCase{"l*d", "lo,rd", true},  // only separators stop a wildcard
                      MatchCase{"l**d", "lord", true}, MatchCase{"l*o*d", "lxoyd", true},
                      MatchCase{"*", "x", true}, MatchCase{"*", "", false},
                      // a star after a quoted blank is a wildcard of the next word
                      MatchCase{"\\\"in *ning\\\"", "in beginning", true},
                      MatchCase{"\\\"in *ning\\\"", "in the beginning", false}));

INSTANTIATE_TEST_SUITE_P(
    SearchStrLettersAndBounds, SearchStrMatch,
    ::testing::Values(MatchCase{"l#ve", "love", true}, MatchCase{"l#ve", "live", true},
                      MatchCase{"l#ve", "l-ve", false}, MatchCase{"l#ve", "l.ve", false},
                      MatchCase{"l#ve", "l ve", false}, MatchCase{"#ove", "love", true},
                      MatchCase{"ove", "love", false}, MatchCase{"ove", "(ove)", true},
                      MatchCase{"ove", "l!ove", false},  // '!' ends a word but starts none
                      MatchCase{"ove", "l/ove", true}, MatchCase{"love", "love!", true},
                      MatchCase{"love", "love's", true}, MatchCase{"love", "loved", false},
                      MatchCase{"love", "a\x14love\x14", true}, MatchCase{"GOD", "God", true},
                      MatchCase{"god", "GOD", true}, MatchCase{"GOD", "God", false, true},
                      MatchCase{"God", "God", true, true},
                      MatchCase{"\xE9", "\xC9", false},  // letters beyond ASCII keep their case
                      MatchCase{"lovely", "love", false}, MatchCase{"x", "", false}));

INSTANTIATE_TEST_SUITE_P(
    SearchStrMarkup, SearchStrMatch,
    ::testing::Values(MatchCase{"holy", "<i>holy</i>", true}, MatchCase{"holy", "ho<b>ly</b>", true},
                      MatchCase{"holy", "the <i>holy</i> one", true},
                      MatchCase{"holy", "un<i>holy</i>", false},
                      MatchCase{"holy", "un<s>holy</s>", true},  // "s" tags leave a boundary
                      MatchCase{"un", "un</s>holy", true},
                      // tags in the pattern see markup as text
                      MatchCase{"<i>holy</i>", "<i>holy</i>", true},
                      MatchCase{"<i>holy</i>", "holy", false}, MatchCase{"<i>holy*", "<i>holy</i>", true}, MatchCase{"i", "<i>x</i>", false},
                      MatchCase{"\\\"a b\\\"", "a&nbsp;b", true}, MatchCase{"ab", "a&amp;b", true},
                      MatchCase{"xe", "x&abcde", true},  // a fifth character ends the entity
                      MatchCase{"holy", "<i>holy", true}, MatchCase{"holy", "hol<y", false}));

INSTANTIATE_TEST_SUITE_P(
    SearchStrEscapesAndAnchors, SearchStrMatch,
    ::testing::Values(MatchCase{"\\=the beginning\\=", "the beginning", true},
                      MatchCase{"\\=the beginning\\=", "in the beginning", false},
                      MatchCase{"\\=the beginning\\=", "the beginning of", false},
                      MatchCase{"\\=love", "love me", true}, MatchCase{"\\=love", "my love", false},
                      MatchCase{"love\\=", "my love", true}, MatchCase{"love\\=", "love me", false},
                      MatchCase{"the\\=", "the the", true},  // a later occurrence may end the text
                      MatchCase{"*ove\\=", "love dove", true},
                      MatchCase{"\\\"the lord\\\"", "the lord", true},
                      MatchCase{"\\\"the lord\\\"", "lord the", false},
                      MatchCase{"\\\"the lord", "the lord", true},  // an unclosed quote runs on
                      MatchCase{"\\3love", "love", true}, MatchCase{"lo\\xve", "love", true},
                      MatchCase{"love\\", "love", true},  // a lone backslash escapes nothing
                      MatchCase{"\\", "x", false}, MatchCase{"", "love", false}));

INSTANTIATE_TEST_SUITE_P(
    SearchStrModes, SearchStrMatch,
    ::testing::Values(MatchCase{"the lord", "lord of the", true, false, 0},
                      MatchCase{"the lord", "lord of the", false, false, 1},
                      MatchCase{"the lord", "the lord", true, false, 1},
                      MatchCase{"the lord", "lord the lord", true, false, 1},
                      MatchCase{"lord lord", "the lord", true, false, 0},
                      MatchCase{"lord lord", "the lord", false, false, 1},
                      MatchCase{"the lord", "the lord", false, false, 2},
                      MatchCase{"lord", "the lord", true, false, 2},
                      MatchCase{"the lord", "the king", false, false, 0}));

TEST(SearchStrCompile, ParsesWordsAndFlags) {
  TSearchStr m;
  m.Compile(0, "\\=the *lo*ve* \\\"a b\\\"\\7 x\\= <i>y");
  const TSQ& q = m.compiled(0);
  ASSERT_EQ(q.WordCount, 5);
  EXPECT_EQ(q.UpperWords[0], "THE");
  EXPECT_EQ(q.LowerWords[0], "the");
  EXPECT_TRUE(q.WordOpts[0].AnchorStart);
  EXPECT_FALSE(q.WordOpts[0].AnchorEnd);
  EXPECT_EQ(q.UpperWords[1], "LO*VE");
  EXPECT_TRUE(q.WordOpts[1].LeadStar);
  EXPECT_TRUE(q.WordOpts[1].TrailStar);
  EXPECT_EQ(q.WordLens[1], 5);
  EXPECT_EQ(q.LiteralCounts[1], 4);
  EXPECT_EQ(q.LowerWords[2], "a b");
  EXPECT_EQ(q.WordOpts[2].Digit, 7);
  EXPECT_EQ(q.WordOpts[0].Digit, -1);
  EXPECT_TRUE(q.WordOpts[3].AnchorEnd);
  EXPECT_FALSE(q.WordOpts[3].AnchorStart);
  EXPECT_EQ(q.LowerWords[4], "<i>y");
  EXPECT_TRUE(q.WordOpts[4].HasTags);
  EXPECT_EQ(q.LiteralCounts[4], 2);
}

TEST(SearchStrCompile, CaseOptionKeepsBothCopiesAsWritten) {
  TSearchStr m;
  m.CaseSens = true;
  m.Compile(1, "GoD");
  EXPECT_EQ(m.compiled(1).UpperWords[0], "GoD");
  EXPECT_EQ(m.compiled(1).LowerWords[0], "GoD");
  EXPECT_TRUE(m.compiled(1).WordOpts[0].CaseSens);
}

TEST(SearchStrCompile, SecondBlankStartsTheNextWord) {
  TSearchStr m;
  m.Compile(0, "a  b");
  const TSQ& q = m.compiled(0);
  ASSERT_EQ(q.WordCount, 2);
  EXPECT_EQ(q.LowerWords[1], " b");
}

TEST(SearchStrCompile, LimitsAreRangeErrorsAndLeaveTheRowEmpty) {
  auto words = [](int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += (i ? " w" : "w");
    return s;
  };
  TSearchStr m;
  EXPECT_NO_THROW(m.Compile(2, words(50)));
  EXPECT_EQ(m.compiled(2).WordCount, 50);
  EXPECT_THROW(m.Compile(2, words(51)), SearchRangeError);
  EXPECT_EQ(m.compiled(2).WordCount, 0);

  EXPECT_NO_THROW(m.Compile(2, std::string(640, 'a')));
  m.Subject = std::string(640, 'a');
  EXPECT_TRUE(m.MatchText(false));
  EXPECT_THROW(m.Compile(2, std::string(641, 'a')), SearchRangeError);
  EXPECT_FALSE(m.MatchText(false));
  // Stars do not count towards the length of a word.
  EXPECT_NO_THROW(m.Compile(2, "*" + std::string(640, 'a') + "*"));

  EXPECT_THROW(m.Compile(20, "a"), SearchRangeError);
  EXPECT_THROW(m.Compile(-1, "a"), SearchRangeError);
}

TEST(SearchStrCompile, RowsAreIndependent) {
  TSearchStr m;
  m.Compile(0, "lord");
  m.Compile(5, "king");
  m.Subject = "the king";
  m.Row = 0;
  EXPECT_FALSE(m.MatchText(false));
  m.Row = 5;
  EXPECT_TRUE(m.MatchText(false));
}

struct SpanCase {
  const char* pattern;
  std::string text;
  bool extend;
  int start, end, extStart, extEnd;
};

TEST(SearchStrItems, PositionsAndExtension) {
  const SpanCase cases[] = {
      {"lov*", "he loved", false, 4, 6, 4, 6},
      {"lov*", "he loved", true, 4, 6, 4, 8},
      {"*ove*", "he loved it", true, 5, 7, 4, 8},
      {"*ove", "(glove)", true, 4, 6, 2, 6},
      {"lov*", "<i>loved</i> x", true, 4, 6, 4, 8},  // positions count the markup
      {"*ove*", "<i>lo</i>ved", true, 5, 11, 4, 12},
      {"lo*", "lov<s>ed", true, 1, 2, 1, 3},  // a boundary tag ends the widening
      {"love", "my love!", true, 4, 7, 4, 7},
  };
  for (const SpanCase& c : cases) {
    TSearchStr m;
    m.Compile(0, c.pattern);
    m.Subject = c.text;
    SCOPED_TRACE(std::string(c.pattern) + " in " + c.text);
    ASSERT_TRUE(m.MatchText(c.extend));
    ASSERT_EQ(m.Matches.Count, 1);
    const TMatchItem& it = m.Matches.Items[0];
    EXPECT_EQ(it.Start, c.start);
    EXPECT_EQ(it.End, c.end);
    EXPECT_EQ(it.ExtStart, c.extStart);
    EXPECT_EQ(it.ExtEnd, c.extEnd);
  }
}

TEST(SearchStrItems, OneItemPerWordAndNoneAfterAFailedRow) {
  TSearchStr m;
  m.Mode = 1;
  m.Compile(0, "in beginning");
  m.Subject = "in the beginning";
  ASSERT_TRUE(m.MatchText(false));
  ASSERT_EQ(m.Matches.Count, 2);
  EXPECT_EQ(m.Matches.Items[0].WordIndex, 0);
  EXPECT_EQ(m.Matches.Items[0].Start, 1);
  EXPECT_TRUE(m.Matches.Items[0].SepAfter);
  EXPECT_EQ(m.Matches.Items[1].WordIndex, 1);
  EXPECT_EQ(m.Matches.Items[1].Start, 8);
  EXPECT_FALSE(m.Matches.Items[1].SepAfter);

  m.Subject = "in the end";
  EXPECT_FALSE(m.MatchText(false));
  EXPECT_EQ(m.Matches.Count, 0);
  EXPECT_TRUE(m.Matches.Items.empty());
}

TEST(SearchStrItems, MatchWordHonoursStartWindow) {
  TSearchStr m;
  m.Compile(0, "lord");
  const std::string text = "lord of lord";
  EXPECT_TRUE(m.MatchWord(text, 0, 2, 9, false));
  EXPECT_EQ(m.Matches.Items.back().Start, 9);
  EXPECT_FALSE(m.MatchWord(text, 0, 2, 8, false));
  EXPECT_FALSE(m.MatchWord(text, 1, 1, 12, false));  // no such word
}

TEST(SearchStrItems, TranslationWordsLoseTheirSwitchBytes) {
  TSearchStr m;
  m.Compile(0, "love");
  std::string scratch;
  EXPECT_FALSE(m.MatchText("\x02lo\x19ve\x19", false));
  EXPECT_TRUE(m.MatchText(dropSwitchBytes("\x02lo\x19ve\x19", scratch), false));
  const std::string plain = "love";
  EXPECT_EQ(dropSwitchBytes(plain, scratch).data(), plain.data());  // untouched, not copied
}

TEST(SearchStrItems, AlternatingMarkupAndPlainTextsReuseBuffers) {
  // The visible-text buffers are shared between calls; a plain text after a marked-up one
  // must not see the old characters.
  TSearchStr m;
  m.Compile(0, "holy");
  m.Subject = "<i>the holy one of</i>";
  EXPECT_TRUE(m.MatchText(false));
  m.Subject = "ho";
  EXPECT_FALSE(m.MatchText(false));
  m.Subject = "<b>ho</b>";
  EXPECT_FALSE(m.MatchText(false));
}

}  // namespace
}  // namespace kov
