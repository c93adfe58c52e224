// The interlinear window's full repaint at 1920 x 1080: Genesis 1 of the default database with
// every verse on its own row and the KJV beside its verses. Needs the default database in $KOV_HOME.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "DefaultHebrew.h"
#include "display/UWtext.h"
#include "display/cRenderTxt.h"
#include "texts/cTranslations.h"
#include "ui/TIntLinWin.h"

namespace {

using namespace kov;

void BM_IntLinWindowPage(benchmark::State& state) {
  bench::ensureApp<QApplication>();
  static bench::DefaultHebrew l(true);
  if (!l.ok) {
    state.SkipWithError("no default database: set KOV_HOME to a program folder built by scripts/run.sh");
    return;
  }
  TTranslations translations;
  translations.open(qEnvironmentVariable("KOV_HOME") + QStringLiteral("/"));
  TRenderTxt render;
  Twtext layout(render);
  TIntLinWin win(l.db, render, layout, &translations);
  win.resize(1920, 1080);
  VerseRef gen;
  gen.Bks = "GEN";
  gen.chapter = 1;
  gen.verse = 1;
  win.ShowPlace(gen);
  for (auto _ : state) {
    win.Refresh(3);  // texts composed again, laid out, drawn into the off-screen image
  }
  state.counters["rows"] = double(win.rowStarts().size());
  state.counters["verses"] = win.versesShown();
}
BENCHMARK(BM_IntLinWindowPage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
