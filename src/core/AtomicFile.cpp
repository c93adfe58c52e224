#include "core/AtomicFile.h"

#include <QSaveFile>

namespace kov {

bool writeFileAtomic(const QString& path, const QByteArray& data, QString* error) {
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size() || !f.commit()) {
    if (error) *error = path + QStringLiteral(": ") + f.errorString();
    return false;
  }
  return true;
}

}  // namespace kov
