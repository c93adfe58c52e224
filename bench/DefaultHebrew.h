#pragma once
// The default database's Hebrew text with the factory preset's lines, for the benchmarks that
// draw it. Needs the default database in $KOV_HOME (scripts/run.sh builds it).
#include <QDir>
#include <QGuiApplication>

#include "db/cIntLin.h"

namespace kov::bench {

// The application object the fonts need; a widget benchmark passes its own kind.
template <class App = QGuiApplication>
void ensureApp() {
  static int argc = 1;
  static char name[] = "kov_bench";
  static char* argv[] = {name, nullptr};
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  static App* a = new App(argc, argv);  // never destroyed
  (void)a;
}

struct DefaultHebrew {
  TintLin db;
  bool ok = false;
  explicit DefaultHebrew(bool nextVerseNewLine = false) {
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
    db.pendingOptions().setFlag(LineOptions::Nvnl, nextVerseNewLine);
    ok = db.readGs().valid && db.loadAll().ok();
    db.applyPending();
  }
};

}  // namespace kov::bench
