#include "core/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace kov {

QString withTrailingSlash(const QString& path) {
  if (path.isEmpty() || path.endsWith(QLatin1Char('/'))) return path;
  return path + QLatin1Char('/');
}

QString programFolder() {
  const QString home = qEnvironmentVariable("KOV_HOME");
  if (!home.isEmpty()) return withTrailingSlash(QDir(home).absolutePath());
  return withTrailingSlash(QCoreApplication::applicationDirPath());
}

}  // namespace kov
