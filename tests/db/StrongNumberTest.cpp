#include "db/StrongNumber.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace kov {
namespace {

TEST(StrongNumber, Label) {
  EXPECT_EQ(strongLabel(430, true), "H430");
  EXPECT_EQ(strongLabel(3056, false), "G3056");
}

TEST(StrongNumber, Step) {
  struct Case {
    const char* text;
    int delta;
    int result;
    const char* after;
  };
  const Case cases[] = {
      {"G3056", 1, 3057, "G3057"},
      {"G9999", 1, 9999, "G9999"},
      {"H1", -5, 0, "H0"},
      {"see G12.", 1, 13, "G13"},
      {"H0042", 1, 43, "H43"},
      {"G3056 H25", -1, 3055, "G3055"},
      {"g12", 1, 0, "g12"},            // a lower-case letter is no prefix
      {"G", 1, 0, "G"},                // no digits
      {"12", 1, 0, "12"},              // no letter
      {"GH12", 1, 0, "GH12"},          // the rest is not a number
      {"Genesis", 1, 0, "Genesis"},
      {"G99999999999", 1, 0, "G99999999999"},  // does not fit 32 bits
      {"", 1, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::string text = c.text;
    EXPECT_EQ(stepStrongNumber(text, c.delta), c.result);
    EXPECT_EQ(text, c.after);
  }
}

std::vector<std::pair<int, char>> readAll(const std::string& text) {
  std::vector<std::pair<int, char>> out;
  int cursor = 1;
  char letter = '?';
  for (int guard = 0; guard < 100; ++guard) {
    const int n = nextStrongNumber(text, cursor, letter);
    if (n < 0) return out;
    out.emplace_back(n, letter);
  }
  ADD_FAILURE() << "no end reported";
  return out;
}

TEST(StrongNumber, NextReadsEveryNumber) {
  using V = std::vector<std::pair<int, char>>;
  EXPECT_EQ(readAll("G3056/H1254 x"), (V{{3056, 'G'}, {1254, 'H'}}));
  EXPECT_EQ(readAll("\r\nh12 abc 7/"), (V{{12, 'H'}, {7, 'G'}}));
  EXPECT_EQ(readAll("xH12y"), (V{{12, 'H'}}));
  EXPECT_EQ(readAll("G99999999999 G5"), (V{{5, 'G'}}));
  EXPECT_EQ(readAll(""), V{});
  EXPECT_EQ(readAll(" / "), V{});
}

TEST(StrongNumber, NextCursorPastEndGivesMinusOne) {
  const std::string text = "G1 G2";
  int cursor = 1;
  char letter = '?';
  EXPECT_EQ(nextStrongNumber(text, cursor, letter), 1);
  EXPECT_EQ(cursor, 3);  // on the blank after the token
  cursor = 6;
  EXPECT_EQ(nextStrongNumber(text, cursor, letter), -1);
  cursor = 0;  // before the start reads from the start
  EXPECT_EQ(nextStrongNumber(text, cursor, letter), 1);
}

}  // namespace
}  // namespace kov
