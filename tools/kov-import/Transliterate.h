#pragma once
// Transliteration in the general-purpose style of the biblical studies handbooks, computed from the text.
#include <QString>

namespace kov::import {

// Pointed Hebrew (accents and "/" allowed; they are ignored) -> e.g. "bereshit", "ha'arets".
QString transliterateHebrew(const QString& hebrew);
// Accented Greek -> e.g. "logos", "hēmera", "huios", "Christou".
QString transliterateGreek(const QString& greek);

}  // namespace kov::import
