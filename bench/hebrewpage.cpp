// A full page of the default database's Hebrew text (Genesis 1 at 1920 x 1080), assembled, laid
// out and drawn as the interlinear window repaints it. Needs the default database in $KOV_HOME.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <memory>

#include "db/cIntLin.h"
#include "display/UTxtDrw.h"
#include "display/cRenderTxt.h"

namespace {

using namespace kov;

void ensureApp() {
  static int argc = 1;
  static char name[] = "bench_hebrewpage";
  static char* argv[] = {name, nullptr};
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication* a = new QGuiApplication(argc, argv);  // never destroyed
  (void)a;
}

struct Loaded {
  TintLin db;
  bool ok = false;
  Loaded() {
    const QString home = qEnvironmentVariable("KOV_HOME");
    if (home.isEmpty() || !QDir(home + QStringLiteral("/interlinear/WLC")).exists()) return;
    db.setRootFolder(home + QStringLiteral("/interlinear/"));
    db.setMainName(QStringLiteral("WLC"));
    TWl& t = db.pendingTable();
    const char* files[] = {"WLC.WL0", "Gloss.wl", "strong.wl", "Transliteration.wl", "P_WHM.wl"};
    for (int i = 0; i < 5; ++i) {
      t.slot(i).fileName = QString::fromLatin1(files[i]);
      t.slot(i).fonts[0] = TslFont{i == 0 ? QStringLiteral("Hebrew KOV") : QStringLiteral("Arial"), i == 0 ? -22 : -11, 0, 1, 1};
    }
    t.slotCount = 5;
    t.presentations[0] = PresentationMetrics{1, 10, 3, 0, 0, 7};
    db.pendingOptions().setFlag(LineOptions::Right2Left, true);
    ok = db.readGs().valid && db.loadAll().ok();
    db.applyPending();
  }
};

void BM_HebrewPage(benchmark::State& state) {
  ensureApp();
  static Loaded l;
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
