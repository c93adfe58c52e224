// Matching one compiled pattern against 300,000 short word-list entries, as the word-list
// stage of a search does (one call per entry and rendering).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "search/CSearchStr.h"

namespace {

constexpr int kEntries = 300000;

// Short glosses: one to three words of 2..9 letters, a few with markup or punctuation, the
// way sublinear entries look.
const std::vector<std::string>& entries() {
  static const std::vector<std::string> list = [] {
    std::vector<std::string> out;
    out.reserve(kEntries);
    uint32_t seed = 12345;
    auto next = [&] {
      seed = seed * 1103515245u + 12345u;
      return (seed >> 16) & 0x7FFF;
    };
    const char* common[] = {"love", "lord", "loved", "the", "beginning", "God", "live", "word"};
    for (int i = 0; i < kEntries; ++i) {
      std::string e;
      const int words = 1 + static_cast<int>(next() % 3);
      for (int w = 0; w < words; ++w) {
        if (w > 0) e += (next() % 8 == 0) ? "-" : " ";
        if (next() % 4 == 0) {
          e += common[next() % 8];
        } else {
          const int len = 2 + static_cast<int>(next() % 8);
          for (int c = 0; c < len; ++c) e.push_back(static_cast<char>('a' + next() % 26));
        }
      }
      if (next() % 16 == 0) e = "<i>" + e + "</i>";
      if (next() % 16 == 0) e += ",";
      out.push_back(std::move(e));
    }
    return out;
  }();
  return list;
}

void matchAll(benchmark::State& state, const char* pattern) {
  const std::vector<std::string>& list = entries();
  kov::TSearchStr matcher;
  matcher.Compile(0, pattern);
  int64_t found = 0;
  for (auto _ : state) {
    found = 0;
    for (const std::string& e : list) found += matcher.MatchText(e, false) ? 1 : 0;
    benchmark::DoNotOptimize(found);
  }
  state.counters["found"] = static_cast<double>(found);
  state.SetItemsProcessed(state.iterations() * kEntries);
}

void BM_QueryPlainWord(benchmark::State& s) { matchAll(s, "lord"); }
void BM_QueryTrailStar(benchmark::State& s) { matchAll(s, "lov*"); }
void BM_QueryLeadAndTrailStar(benchmark::State& s) { matchAll(s, "*ove*"); }
void BM_QueryInnerStar(benchmark::State& s) { matchAll(s, "l*d"); }
void BM_QueryLetterAndCase(benchmark::State& s) { matchAll(s, "L#VE"); }
void BM_QueryAnchoredTwoWords(benchmark::State& s) { matchAll(s, "\\=the beginning\\="); }

BENCHMARK(BM_QueryPlainWord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryTrailStar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryLeadAndTrailStar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryInnerStar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryLetterAndCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryAnchoredTwoWords)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
