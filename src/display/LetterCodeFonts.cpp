#include "display/LetterCodeFonts.h"

namespace kov {
namespace {

// Greek letter code (the same assignments the database builder writes):
//   a α  b β  g γ  d δ  e ε  z ζ  h η  q θ  i ι  k κ  l λ  m μ  n ν  x ξ  o ο  p π  r ρ  s σ
//   t τ  u υ  f φ  c χ  y ψ  w ω; capitals likewise (A Α ... W Ω), except "V", which is the final
//   sigma ς written by the modern-Greek display option. Sigma is always "s" in the data.
//   Marks, one byte each after their letter (decomposed text):
//   0xC0 grave U+0300, 0xC1 acute U+0301, 0xC2 diaeresis U+0308, 0xC3 smooth breathing U+0313,
//   0xC4 rough breathing U+0314, 0xC5 circumflex U+0342, 0xC6 iota subscript U+0345,
//   0xC7 macron U+0304, 0xC8 breve U+0306, 0xC9 apostrophe U+2019, 0xCA dash U+2014,
//   0xCB modifier apostrophe U+02BC; 0xB7 middle dot U+00B7.
// Hebrew letter code:
//   a א  b ב  g ג  d ד  e ה  v ו  z ז  x ח  h ט  i י  K ך  k כ  l ל  M ם  m מ  N ן  n נ  s ס
//   o ע  P ף  p פ  Y ץ  y צ  q ק  r ר  w ש  t ת   (K M N P Y are the final forms)
//   0xC0..0xD7 the points and signs U+05B0..U+05C7 (sheva ... qamats qatan, incl. dagesh U+05BC,
//   shin dot U+05C1, sin dot U+05C2, maqaf U+05BE, sof pasuq U+05C3);
//   0xE0..0xFE the cantillation marks U+0591..U+05AF; 0xA1 U+034F, 0xA2 U+200D.
// Every other byte is shown as itself.
struct Maps {
  std::array<char16_t, 256> greek{};
  std::array<char16_t, 256> hebrew{};
  Maps() {
    const char* latin = "abgdezhqiklmnxoprstufcyw";
    const char16_t lower[] = u"αβγδεζηθικλμνξοπρστυφχψω";
    const char16_t upper[] = u"ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩ";
    for (int i = 0; latin[i]; ++i) {
      greek[static_cast<unsigned char>(latin[i])] = lower[i];
      greek[static_cast<unsigned char>(latin[i] - 'a' + 'A')] = upper[i];
    }
    greek['V'] = u'ς';
    const char16_t marks[] = {0x0300, 0x0301, 0x0308, 0x0313, 0x0314, 0x0342,
                              0x0345, 0x0304, 0x0306, 0x2019, 0x2014, 0x02BC};
    for (unsigned i = 0; i < std::size(marks); ++i) greek[0xC0 + i] = marks[i];
    greek[0xB7] = 0x00B7;

    const char* heb = "abgdevzxhiKklMmNnsoPpYyqrwt";  // in Unicode order from U+05D0
    for (int i = 0; heb[i]; ++i)
      hebrew[static_cast<unsigned char>(heb[i])] = static_cast<char16_t>(0x05D0 + i);
    for (char16_t c = 0x05B0; c <= 0x05C7; ++c) hebrew[0xC0 + (c - 0x05B0)] = c;
    for (char16_t c = 0x0591; c <= 0x05AF; ++c) hebrew[0xE0 + (c - 0x0591)] = c;
    hebrew[0xA1] = 0x034F;
    hebrew[0xA2] = 0x200D;
  }
};

const Maps& maps() {
  static const Maps m;
  return m;
}

}  // namespace

LetterCode letterCodeOfFace(const QString& face) {
  const QString f = face.trimmed();
  if (f.compare(QLatin1String("koine KOV"), Qt::CaseInsensitive) == 0 ||
      f.compare(QLatin1String("symbol"), Qt::CaseInsensitive) == 0)
    return LetterCode::Greek;
  if (f.compare(QLatin1String("Hebrew KOV"), Qt::CaseInsensitive) == 0) return LetterCode::Hebrew;
  return LetterCode::None;
}

QString resolveFace(const QString& face) {
  struct Alias {
    const char* from;
    const char* to;
  };
  static constexpr Alias kAliases[] = {
      {"koine KOV", "Gentium Plus"},
      {"symbol", "Gentium Plus"},
      {"Hebrew KOV", "Ezra SIL"},
      {"Arial", "Liberation Sans"},
      {"Times New Roman", "Liberation Serif"},
      {"Courier New", "Liberation Mono"},
      {"Microsoft Sans Serif", "Liberation Sans"},
      {"MS Sans Serif", "Liberation Sans"},
      {"Tahoma", "DejaVu Sans"},
  };
  const QString f = face.trimmed();
  for (const Alias& a : kAliases)
    if (f.compare(QLatin1String(a.from), Qt::CaseInsensitive) == 0) return QString::fromLatin1(a.to);
  return f;
}

char16_t letterCodeChar(LetterCode code, std::uint8_t byte) {
  char16_t c = 0;
  if (code == LetterCode::Greek) c = maps().greek[byte];
  else if (code == LetterCode::Hebrew) c = maps().hebrew[byte];
  return c ? c : char16_t(byte);
}

QString letterCodeToUnicode(const QString& text, LetterCode code) {
  if (code == LetterCode::None) return text;
  QString out = text;
  for (QChar& ch : out)
    if (ch.unicode() < 256) ch = QChar(letterCodeChar(code, static_cast<std::uint8_t>(ch.unicode())));
  return out;
}

}  // namespace kov
