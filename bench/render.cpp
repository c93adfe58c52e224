// Paint-path costs of the renderer and the verse text layout.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "display/UWtext.h"
#include "display/cRenderTxt.h"

namespace {

using namespace kov;

QGuiApplication& app() {
  static int argc = 1;
  static char name[] = "bench_render";
  static char* argv[] = {name, nullptr};
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication* a = new QGuiApplication(argc, argv);  // never destroyed, see tests/support
  return *a;
}

struct Setup {
  TRenderTxt r;
  QImage image{800, 400, QImage::Format_RGB32};
  Setup() {
    app();
    PresentationFonts pf;
    pf.sublinears = {{"Hebrew KOV", -28}, {"koine KOV", -24}};
    pf.translation = {"Times New Roman", -16};
    r.BuildFontSet(0, pf, 1.0);
    r.setTextClr(0);
    image.fill(Qt::white);
  }
};

void drawWord(benchmark::State& state, int slot, bool rtl, const QString& word, bool cached) {
  Setup s;
  QPainter p(&s.image);
  s.r.canvas = &p;
  s.r.rightToLeft = rtl;
  s.r.SelectFont(0, slot, 0);
  for (auto _ : state) {
    if (!cached) s.r.clearLayoutCache();
    s.r.ResetMarkup();
    double adv = 0;
    s.r.measureOnly = true;
    s.r.DrawMarkupW(400, 100, adv, word);  // measured for the cell layout ...
    s.r.measureOnly = false;
    adv = 0;
    s.r.DrawMarkupW(400, 100, adv, word);  // ... then drawn
    benchmark::DoNotOptimize(adv);
  }
}

const QString kHebrew = QString::fromUtf8("<b>בְּרֵאשִׁית</b>");
const QString kGreek = QStringLiteral("<b>logos</b>");

void BM_DrawMarkupW_Hebrew(benchmark::State& st) { drawWord(st, 0, true, kHebrew, true); }
void BM_DrawMarkupW_Hebrew_Uncached(benchmark::State& st) { drawWord(st, 0, true, kHebrew, false); }
void BM_DrawMarkupW_Greek(benchmark::State& st) { drawWord(st, 1, false, kGreek, true); }
void BM_DrawMarkupW_Greek_Uncached(benchmark::State& st) { drawWord(st, 1, false, kGreek, false); }
BENCHMARK(BM_DrawMarkupW_Hebrew);
BENCHMARK(BM_DrawMarkupW_Hebrew_Uncached);
BENCHMARK(BM_DrawMarkupW_Greek);
BENCHMARK(BM_DrawMarkupW_Greek_Uncached);

void layoutVerse(benchmark::State& state, bool measureOnly) {
  Setup s;
  QPainter p(&s.image);
  Twtext t(s.r);
  std::string verse;
  const char* words[] = {"And", "God", "said,", "Let", "there", "be", "light:", "and", "there", "was",
                         "light.", "\x02" "And\x02", "God", "saw", "the", "@light,@", "that", "it", "was", "good:"};
  for (int i = 0; i < 60; ++i) verse += std::string(words[i % 20]) + (i % 17 == 16 ? "\x14" "1\x14 " : " ");
  t.source = verse;
  t.canvas = &p;
  t.measureOnly = measureOnly;
  for (auto _ : state) {
    t.left = 10;
    t.top = 10;
    t.right = 400;
    t.bottom = 390;
    t.Layout();
    benchmark::DoNotOptimize(t.wordCount);
  }
}
void BM_Twtext_Layout60(benchmark::State& st) { layoutVerse(st, false); }
void BM_Twtext_Layout60_MeasureOnly(benchmark::State& st) { layoutVerse(st, true); }
BENCHMARK(BM_Twtext_Layout60);
BENCHMARK(BM_Twtext_Layout60_MeasureOnly);

}  // namespace

BENCHMARK_MAIN();
