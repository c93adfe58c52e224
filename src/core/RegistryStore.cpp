#include "core/RegistryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include "core/FileLookup.h"
#include "core/ProgramFolder.h"

namespace kov {

namespace {

// Splits a key path into its parts; nullopt when a part could leave the root.
std::optional<QStringList> keyParts(const QString& key) {
  QString k = key;
  k.replace(QLatin1Char('\\'), QLatin1Char('/'));
  const QStringList parts = k.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  for (const QString& p : parts)
    if (p == QLatin1String(".") || p == QLatin1String("..")) return std::nullopt;
  return parts;
}

}  // namespace

RegistryStore::RegistryStore(QString root) : root_(withTrailingSlash(std::move(root))) {}

QString RegistryStore::defaultRoot() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.config");
  return withTrailingSlash(base) + QStringLiteral("KOV2/");
}

QString RegistryStore::filePath(const QString& key) const {
  const auto parts = keyParts(key);
  if (!parts || parts->isEmpty()) return {};
  return findPathNoCase(root_, parts->join(QLatin1Char('/')));
}

bool RegistryStore::keyExists(const QString& key) const {
  const auto parts = keyParts(key);
  if (!parts) return false;
  if (parts->isEmpty()) return QFileInfo(root_).isDir();
  return QFileInfo::exists(filePath(key));
}

QStringList RegistryStore::subKeys(const QString& key) const {
  const auto parts = keyParts(key);
  if (!parts) return {};
  const QString dir = parts->isEmpty() ? root_ : filePath(key);
  // Lock files are hidden, so the default filter leaves them out.
  QStringList names = QDir(dir).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
  std::sort(names.begin(), names.end(),
            [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
  return names;
}

bool RegistryStore::eraseKey(const QString& key, QString* error) {
  const QString path = filePath(key);
  if (path.isEmpty()) {
    if (error) *error = key + QStringLiteral(": not a key");
    return false;
  }
  const QFileInfo info(path);
  if (!info.exists() && !info.isSymLink()) return true;
  const bool ok = info.isDir() && !info.isSymLink() ? QDir(path).removeRecursively() : QFile::remove(path);
  if (!ok && error) *error = path + QStringLiteral(": cannot be removed");
  return ok;
}

bool RegistryStore::open(const QString& key, IniFile& out, QString* error) const {
  const QString path = filePath(key);
  out = IniFile(path);
  if (path.isEmpty()) {
    if (error) *error = key + QStringLiteral(": not a key");
    return false;
  }
  return out.load(error);
}

}  // namespace kov
