#include <gtest/gtest.h>

#include <vector>

#include "db/cGndStream.h"

namespace kov {
namespace {

using Cells = std::vector<std::uint16_t>;
constexpr std::uint16_t V(int verse) { return std::uint16_t(65000 + verse); }
constexpr std::uint16_t Var(int v) { return std::uint16_t(64400 + v); }

struct Walked {
  std::vector<int> values;
  std::vector<int> positions;
  std::vector<int> variants;
};

Walked walk(const Cells& cells, const LineOptions& opt, std::vector<std::uint16_t> stepOver = {}) {
  TGndStream w;
  w.setStream(&cells);
  w.first = 1;
  w.last = int(cells.size()) - 1;
  w.stepOver = std::move(stepOver);
  w.start(opt);
  Walked r;
  while (w.next()) {
    r.values.push_back(w.value());
    r.positions.push_back(w.valuePosition());
    r.variants.push_back(w.variant());
  }
  return r;
}

LineOptions options(std::initializer_list<int> on) {
  LineOptions o;
  for (int f : on) o.setFlag(f, true);
  return o;
}

TEST(GndStream, VariantReadingsFollowTheirSwitches) {
  // 0 | verse 1 | 10 | v1 v2 20 | v2 30 | end-of-run 40
  const Cells cells = {0, V(1), 0, 10, Var(1), Var(2), 20, Var(2), 30, 64012, 40};
  const int v1 = LineOptions::VariantBool1, v2 = LineOptions::VariantBool1 + 1;
  struct Case {
    std::vector<int> on;
    std::vector<int> values;
  };
  const Case cases[] = {
      {{v1}, {10, 20, 40}},       // a word marked for 1 and 2 stays while 1 is on; one for 2 alone goes
      {{v2}, {10, 20, 30, 40}},
      {{v1, v2}, {10, 20, 30, 40}},
      {{}, {10, 40}},
  };
  for (const Case& c : cases) {
    LineOptions o;
    for (int f : c.on) o.setFlag(f, true);
    EXPECT_EQ(walk(cells, o).values, c.values) << c.on.size();
  }
  const Walked both = walk(cells, options({v1, v2}));
  EXPECT_EQ(both.variants, (std::vector<int>{-1, 2, 2, -1}));  // the last shown marker names the reading
}

TEST(GndStream, TogglesBracketsAndStepOver) {
  const Cells cells = {0, V(1), 0, 64110, 11, 64113, 12, 64010, 13, 64011, 14, 64001, 15};
  EXPECT_EQ(walk(cells, LineOptions{}).values, (std::vector<int>{13, 14, 15}));
  EXPECT_EQ(walk(cells, options({LineOptions::Toggles})).values, (std::vector<int>{11, 13, 14, 15}));
  EXPECT_EQ(walk(cells, options({LineOptions::Toggles, LineOptions::TxtCmsShow})).values,
            (std::vector<int>{11, 12, 13, 14, 15}));
  EXPECT_EQ(walk(cells, options({LineOptions::Toggles}), {13, 15}).values, (std::vector<int>{11, 14}));

  TGndStream w;
  w.setStream(&cells);
  w.last = int(cells.size()) - 1;
  w.start(LineOptions{});
  ASSERT_TRUE(w.next());
  EXPECT_EQ(w.value(), 13);
  EXPECT_TRUE(w.inBracket());
  ASSERT_TRUE(w.next());
  EXPECT_FALSE(w.inBracket());
}

TEST(GndStream, VersesMarksAndVsMode) {
  const Cells cells = {0, V(1), 0, 5, 6, V(2), 'a' | (1 << 13), 7, V(3), 0, 8};
  TGndStream w;
  w.setStream(&cells);
  w.last = int(cells.size()) - 1;
  w.start(LineOptions{});
  ASSERT_TRUE(w.next());
  EXPECT_EQ(w.verse(), 1);
  EXPECT_EQ(w.markerPosition(), 1);
  EXPECT_EQ(w.mark(), ' ');
  ASSERT_TRUE(w.next());  // 6
  w.counters[0] = 42;

  // Look ahead without disturbing the verse or the position, then come back.
  w.setVsMode(true);
  w.counters[0] = 7;
  ASSERT_TRUE(w.next());
  EXPECT_EQ(w.value(), 7);
  EXPECT_EQ(w.verse(), 1);
  w.setVsMode(false);
  EXPECT_EQ(w.counters[0], 42);

  ASSERT_TRUE(w.next());
  EXPECT_EQ(w.value(), 7);
  EXPECT_EQ(w.verse(), 2);
  EXPECT_EQ(w.mark(), 'a');
  EXPECT_TRUE(w.verseFlags() & cell::kNewChapterFlag);
  w.counters[1] = 9;
  w.backToVerseStart();
  EXPECT_EQ(w.currentIndex(), 5);
  EXPECT_EQ(w.counters[1], 0);  // the counters as they were when verse 2 began
  ASSERT_TRUE(w.next());
  EXPECT_EQ(w.value(), 7);
}

TEST(GndStream, EndsCleanly) {
  // A marker as the last cell, a single-position walk, a range past the source.
  const Cells endsInMarker = {0, V(1), 0, 5, V(2)};
  EXPECT_EQ(walk(endsInMarker, LineOptions{}).values, (std::vector<int>{5}));

  const Cells cells = {0, V(1), 0, 5, 6};
  TGndStream w;
  w.setStream(&cells);
  w.first = w.last = 4;
  w.start(LineOptions{});
  ASSERT_TRUE(w.next());
  EXPECT_EQ(w.value(), 6);
  EXPECT_FALSE(w.next());

  w.first = 3;
  w.last = 1000;  // beyond the stream: reads as no words, never out of bounds
  w.start(LineOptions{});
  int n = 0;
  while (w.next()) ++n;
  EXPECT_EQ(n, 2);
}

}  // namespace
}  // namespace kov
