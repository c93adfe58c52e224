// A full-screen page of interlinear cells: assembling, laying out and drawing it, as a repaint does.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <memory>
#include <string>

#include "db/cIntLin.h"
#include "display/UTxtDrw.h"
#include "display/cRenderTxt.h"

namespace {

using namespace kov;

QGuiApplication& app() {
  static int argc = 1;
  static char name[] = "bench_cells";
  static char* argv[] = {name, nullptr};
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication* a = new QGuiApplication(argc, argv);  // never destroyed
  return *a;
}

// A synthetic passage of 1000 words in 40 verses: a main text and five sublinears in memory.
struct Page {
  TintLin db;
  TRenderTxt render;
  std::unique_ptr<TTxtDrw> drw;
  QImage image{1920, 1080, QImage::Format_RGB32};
  int rows = 0, cells = 0;

  Page() {
    app();
    TGsContent gs;
    gs.books.books.resize(1);
    gs.books.books[0].Bks = "JHN";
    gs.books.books[0].Bkn = "John";
    gs.books.books[0].Bka = "Jn";
    gs.books.books[0].chapters = 1;
    std::vector<std::uint16_t>& st = gs.stream;
    st.push_back(0);
    const int forms = 300;
    for (int v = 1; v <= 40; ++v) {
      st.push_back(std::uint16_t(65000 + v));
      st.push_back(v == 1 ? std::uint16_t(1 << 13) : 0);
      for (int w = 0; w < 25; ++w) st.push_back(std::uint16_t(1 + (v * 25 + w) * 7 % (forms - 1)));
    }
    gs.chapters.push_back({1, 1, 40, 1});
    gs.hasXml = gs.hasStream = gs.hasChapters = true;
    db.installGs(std::move(gs));

    TWl& t = db.appliedTable();
    t.slotCount = 6;
    const char* faces[6] = {"koine KOV", "Arial", "DejaVu Sans Mono", "Arial", "Arial", "DejaVu Sans Mono"};
    const int heights[6] = {-18, -11, -10, -10, -10, -10};
    for (int j = 0; j < 6; ++j) {
      Tsubl& s = t.slot(j);
      s.visible = true;
      s.fonts[0] = TslFont{faces[j], heights[j], 0, 1, 1};
      TWordList& l = db.list(j);
      l.reset(forms);
      for (int f = 0; f < forms; ++f) {
        std::string text = j == 0 ? "l" + std::string(1, char('a' + f % 20)) + "goV" : "g" + std::to_string(f * (j + 1));
        l.entries[std::size_t(f)] = {0, f, text};
      }
      if (j > 0) db.selection(j).assign(db.stream().size(), 0);
    }
    t.presentations[0] = PresentationMetrics{2, 4, 2, 0, 0, 10};
    LineOptions& o = db.appliedOptions();
    o.setFlag(LineOptions::ShowCompleteFields, true);
    o.setFlag(LineOptions::Justify, true);
    o.setFlag(LineOptions::CenterWord, true);
    render.BuildFontSet(0, TTxtDrw::fontsOf(t, 0, -12), 1.0);
    drw = std::make_unique<TTxtDrw>(db, render);
    image.fill(Qt::white);
    paint(true);  // the texts are composed once; repaints reuse them
  }

  void paint(bool rebuild) {
    QPainter p(&image);
    p.fillRect(image.rect(), Qt::white);
    TCellView v;
    v.canvas = &p;
    v.areaRight = 1920;
    v.areaBottom = 1080;
    v.rebuild = rebuild;
    drw->ResetView(v, 1, db.lastPosition());
    drw->LayoutLines(0, db.appliedTable().slotCount);
    int y = 0;
    rows = 0;
    while (y < 1080 && !drw->endOfPassage()) {
      drw->DrawRow(40, 1900, y);
      if (drw->rowCellCount() == 0 && drw->headingPending()) {
        drw->HeadingDrawn();
        continue;
      }
      y += drw->lines().rowHeight;
      ++rows;
    }
    cells = drw->cellCount(0);
  }
};

void BM_CellsFullPage(benchmark::State& state) {
  Page page;
  for (auto _ : state) page.paint(false);
  state.counters["rows"] = page.rows;
  state.counters["cells"] = page.cells;
}
BENCHMARK(BM_CellsFullPage)->Unit(benchmark::kMillisecond);

// After a change of passage or options: every text composed and measured again.
void BM_CellsFullPageRebuild(benchmark::State& state) {
  Page page;
  for (auto _ : state) page.paint(true);
  state.counters["cells"] = page.cells;
}
BENCHMARK(BM_CellsFullPageRebuild)->Unit(benchmark::kMillisecond);

// After a change of fonts or zoom: every line measured again.
void BM_CellsFullPageRemeasure(benchmark::State& state) {
  Page page;
  for (auto _ : state) {
    page.drw->FontsChanged();
    page.paint(false);
  }
  state.counters["cells"] = page.cells;
}
BENCHMARK(BM_CellsFullPageRemeasure)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
