// Reading a whole translation verse by verse: 31,000 verses of about 25 words, written by the
// translation writer into a temporary folder.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <cstdio>

#include "db/cCalcPos.h"
#include "texts/UWordGP.h"
#include "texts/WordGPWriter.h"

#include "SyntheticTranslation.h"

namespace {

struct Translation {
  QTemporaryDir dir;
  QString path;
  Translation() {
    path = dir.path() + QStringLiteral("/B.t/");
    std::vector<kov::TWgpVerse> verses;
    kov::TbookTable names;
    const char* words[] = {"And", "the", "LORD", "said", "unto", "Moses,", "Speak", "children", "of", "Israel", "that",
                           "they", "bring", "me", "an", "offering:", "every", "man", "giveth", "it", "willingly",
                           "with", "his", "heart", "ye"};
    verses = kov::bench::syntheticTranslation(std::vector<const char*>(std::begin(words), std::end(words)), names);
    QString error;
    if (!kov::writeWordGP(path, QStringLiteral("B"), verses, names, &error)) {
      fprintf(stderr, "%s\n", qPrintable(error));
      std::abort();
    }
  }
};

void BM_ReadWholeTranslation(benchmark::State& state) {
  static Translation tr;
  kov::TCalcpos calc;
  calc.setDir(tr.path);
  calc.setName(QStringLiteral("B"));
  calc.Init();
  kov::TWordGP t(1);
  t.setDir(tr.path);
  t.setName(QStringLiteral("B"));
  t.setCalcpos(&calc);
  if (!t.init()) std::abort();
  std::int64_t verses = 0;
  for (auto _ : state) {
    t.CurRef = kov::VerseRef{};
    t.CurRef.Bks = "B10";
    t.CurRef.chapter = 1;
    t.CurRef.verse = 1;
    t.GotoRef();
    while (!t.ReadVerse()) ++verses;
  }
  state.counters["verses"] = benchmark::Counter(double(verses), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ReadWholeTranslation)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
