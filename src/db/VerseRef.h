#pragma once
#include <cstdint>
#include <string>

namespace kov {

// A book, chapter and verse. The book code `Bks` is the identity of a book; `bookNr`
// is only meaningful for the position calculator that filled it, so comparisons look
// the number up again from the code.
struct VerseRef {
  std::string Bka;        // display abbreviation, at most 5 characters
  std::string Bks;        // 3-character book code ("MAT")
  std::uint8_t bookNr = 0;
  std::uint8_t chapter = 0;
  std::int16_t verse = -1;  // -1 when not determined
  char verseMark = ' ';     // a letter for a part of a verse, or a blank

  bool operator==(const VerseRef&) const = default;
};

}  // namespace kov
