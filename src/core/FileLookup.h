#pragma once
#include <QString>

namespace kov {

// Finds a file or folder named `name` in `dir` whatever the case of its letters.
// Database folders come from a platform whose file names ignore case, so every
// lookup that must match without case goes through here. Returns the full path of
// the existing entry (an exact match wins), or dir + name when nothing matches.
QString findNoCase(const QString& dir, const QString& name);

// Same for a relative path of several parts ("interlinear/WLC/WLC.gs").
QString findPathNoCase(const QString& dir, const QString& relativePath);

}  // namespace kov
