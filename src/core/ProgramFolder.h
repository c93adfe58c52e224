#pragma once
#include <QString>

namespace kov {

// The program folder: $KOV_HOME when set, else the folder of the executable.
// Always ends in '/'.
QString programFolder();

// Appends '/' unless the path already ends in one.
QString withTrailingSlash(const QString& path);

}  // namespace kov
