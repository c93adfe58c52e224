#include "db/EditLog.h"

#include <QFile>

#include <cstdio>
#include <unistd.h>

namespace kov {

std::string editLogLine(const QDateTime& when, std::int32_t position, const std::string& reference,
                        const std::string& data) {
  // One event is one line: a line break inside a text would split it.
  const auto oneLine = [](std::string s) {
    for (char& c : s)
      if (c == '\r' || c == '\n') c = ' ';
    return s;
  };
  char pos[16];
  std::snprintf(pos, sizeof pos, "%6.6d", int(position));
  return when.toString(QStringLiteral("dd-MM-yyyy hh:mm:ss")).toStdString() + '\t' + pos + '\t' +
         oneLine(reference) + '\t' + oneLine(data);
}

bool appendEditLog(const QString& path, const std::string& line, QString* error) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) {
    if (error) *error = path + QStringLiteral(": ") + f.errorString();
    return false;
  }
  const QByteArray bytes = QByteArray::fromStdString(line) + "\r\n";
  // The log is what lets a maintainer trace every change: it is on disk before the edit returns.
  if (f.write(bytes) != bytes.size() || !f.flush() || ::fsync(f.handle()) != 0) {
    if (error) *error = path + QStringLiteral(": ") + f.errorString();
    return false;
  }
  return true;
}

}  // namespace kov
