#include "core/Tapp.h"

#include "core/ProgramFolder.h"

namespace kov {

void Tapp::setProgramFolder(const QString& prgDir) {
  PrgDir = withTrailingSlash(prgDir);
  DefaultDir = PrgDir + QStringLiteral("Default.ini/");
  interlinearRoot = PrgDir + QStringLiteral("interlinear/");
  helpFile = PrgDir + QStringLiteral("help/index.html");
}

QString Tapp::iniSuffixFor(int instanceNo) {
  return instanceNo <= 1 ? QStringLiteral(".ini") : QStringLiteral(".ini%1").arg(instanceNo);
}

QString Tapp::versionText() const {
  return QStringLiteral("%1.%2.%3.%4").arg(version[0]).arg(version[1]).arg(version[2]).arg(version[3]);
}

Tapp& theApp() {
  static Tapp app;
  return app;
}

}  // namespace kov
