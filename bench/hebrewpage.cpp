// A full page of the default database's Hebrew text (Genesis 1 at 1920 x 1080), assembled, laid
// out and drawn as the interlinear window repaints it. Needs the default database in $KOV_HOME.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <memory>

#include "DefaultHebrew.h"
#include "display/UTxtDrw.h"
#include "display/cRenderTxt.h"

namespace {

using namespace kov;

void BM_HebrewPage(benchmark::State& state) {
  bench::ensureApp();
  static bench::DefaultHebrew l;
  if (!l.ok) {
    state.SkipWithError("no default database: set KOV_HOME to a program folder built by scripts/run.sh");
    return;
  }
  TRenderTxt render;
  render.BuildFontSet(0, TTxtDrw::fontsOf(l.db.appliedTable(), 0, -10), 1.0);
  TTxtDrw drw(l.db, render);
  QImage image(1920, 1080, QImage::Format_RGB32);
  int cells = 0;
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter p(&image);
    TCellView v;
    v.canvas = &p;
    v.areaLeft = 8;
    v.areaRight = 1912;
    v.areaTop = 0;
    v.areaBottom = 1080;
    v.rebuild = true;
    drw.ResetView(v, 1, l.db.lastPosition());
    drw.LayoutLines(0, l.db.appliedTable().slotCount);
    int y = 0;
    cells = 0;
    for (int n = 0; n < 100 && !drw.endOfPassage() && y + drw.lines().rowHeight <= 1080; ++n) {
      drw.DrawRow(8, 1912, y);
      if (drw.rowCellCount() > 0) {
        cells += drw.rowCellCount();
        y += drw.lines().rowHeight;
      } else if (drw.headingPending()) {
        drw.HeadingDrawn();
      } else {
        break;
      }
    }
  }
  state.counters["cells"] = cells;
}
BENCHMARK(BM_HebrewPage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
