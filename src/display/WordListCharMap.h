#pragma once
#include "db/cWordList.h"
#include "display/LetterCodeFonts.h"

namespace kov {

// A word list's character map (from its CHARTABLE header) in the form the renderer draws with.
CharMap toCharMap(const TCharMap& map);

}  // namespace kov
