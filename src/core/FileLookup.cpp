#include "core/FileLookup.h"

#include <QDir>
#include <QFileInfo>

#include "core/ProgramFolder.h"

namespace kov {

QString findNoCase(const QString& dir, const QString& name) {
  const QString base = withTrailingSlash(dir);
  const QString exact = base + name;
  if (QFileInfo::exists(exact)) return exact;
  const QStringList entries =
      QDir(base).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QString& e : entries)
    if (e.compare(name, Qt::CaseInsensitive) == 0) return base + e;
  return exact;
}

QString findPathNoCase(const QString& dir, const QString& relativePath) {
  QString current = dir;
  const QStringList parts = relativePath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  for (const QString& p : parts) current = findNoCase(current, p);
  return current;
}

}  // namespace kov
