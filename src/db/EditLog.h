#pragma once
#include <QDateTime>
#include <QString>
#include <string>

namespace kov {

// One line of a sublinear's edit log, without its line end: "dd-mm-yyyy hh:nn:ss", a tab, the
// position with at least six digits, a tab, the reference text, a tab, and the data (event
// code, tab, old text, tab, new text). 8-bit text; line breaks inside become blanks.
std::string editLogLine(const QDateTime& when, std::int32_t position, const std::string& reference,
                        const std::string& data);

// Appends one line (ended by CR LF) to `path`, creating the file with its first line, and
// flushes it to disk before returning. False with *error when it cannot be written.
bool appendEditLog(const QString& path, const std::string& line, QString* error);

}  // namespace kov
