#pragma once
#include <QByteArray>
#include <QString>

namespace kov {

// Replaces `path` with `data` by writing a temporary file beside it and renaming it
// over the old one, so a crash mid-write never leaves a half-written file.
// Returns false (and sets *error when given) when the file could not be written.
bool writeFileAtomic(const QString& path, const QByteArray& data, QString* error = nullptr);

}  // namespace kov
