#pragma once
#include <cstdint>

namespace kov {

// Where a step over verses ended: the verse marker's position, its verse (-1 when no
// marker was met) and its mark.
struct TVerseStep {
  std::int32_t position = 0;
  int verse = -1;
  char mark = ' ';
};

}  // namespace kov
