#include <QApplication>
#include <cstdio>
#include <QMessageBox>
#include <QTimer>

#include "ui/TFrmKOVMain.h"
#include "ui/TFrmKOVsplash.h"
#include "core/Tapp.h"
#include "ui/TStartup.h"

namespace {

// KOV_SCREENSHOT=file.png: once the main window has painted, save a picture of it and quit.
// Used by the run script where no display is attached, and to look at the program.
void scheduleScreenshot(kov::TStartup& startup) {
  const QString path = qEnvironmentVariable("KOV_SCREENSHOT");
  if (path.isEmpty()) return;
  QTimer::singleShot(500, &startup, [&startup, path] {
    if (auto* w = startup.mainWindow()) w->grab().save(path, "PNG");
    // The splash with its information log, beside it.
    if (auto* s = startup.splash()) {
      QString splashPath = path;
      if (splashPath.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) splashPath.chop(4);
      splashPath += QStringLiteral("-splash.png");
      s->grab().save(splashPath, "PNG");
    }
    QApplication::quit();
  });
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("KOV"));

  kov::TStartup::Prompts prompts;
  prompts.confirm = [](const QString& q) {
    return QMessageBox::question(nullptr, QStringLiteral("KOV"), q) == QMessageBox::Yes;
  };
  prompts.error = [](const QString& m) {
    if (qEnvironmentVariableIsSet("KOV_TRACE_STARTUP")) fprintf(stdout, "error: %s\n", qPrintable(m)), fflush(stdout);
    QMessageBox::critical(nullptr, QStringLiteral("KOV"), m);
  };
  prompts.information = [](const QString& m) { QMessageBox::information(nullptr, QStringLiteral("Information"), m); };

  kov::TStartup startup(prompts);
  if (!startup.start()) return 1;
  QObject::connect(startup.mainWindow(), &kov::TFrmKOVMain::closing, &startup, [&startup] { startup.shutdown(); });
  scheduleScreenshot(startup);
  const int rc = QApplication::exec();
  if (!kov::theApp().closing) startup.shutdown();
  return rc;
}
