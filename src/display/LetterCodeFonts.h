#pragma once
#include <QString>

#include <array>
#include <cstdint>

namespace kov {

// A word list's character map: 256 entries of three 16-bit values built from its CHARTABLE header.
// The second value of entry b is the Unicode character shown for byte b; 0 shows the byte itself.
using CharMap = std::array<std::array<std::uint16_t, 3>, 256>;

// Lists without a CHARTABLE name a letter-code font; the letters are then Latin letters that the
// built-in maps below turn into Greek or Hebrew.
enum class LetterCode { None, Greek, Hebrew };

// "koine KOV" and "symbol" are Greek, "Hebrew KOV" is Hebrew; faces compare without case.
LetterCode letterCodeOfFace(const QString& face);

// The installed face that draws a requested face: the letter-code fonts become Unicode fonts with
// the marks they need (Gentium Plus, Ezra SIL), the common Windows faces their metric-compatible
// fontconfig counterparts. Other faces are returned unchanged.
QString resolveFace(const QString& face);

// The Unicode character of one letter-code byte; the byte itself when the map has no entry.
char16_t letterCodeChar(LetterCode code, std::uint8_t byte);

// A 16-bit text of widened letter-code bytes through the built-in map (characters above 255 stay).
QString letterCodeToUnicode(const QString& text, LetterCode code);

}  // namespace kov
