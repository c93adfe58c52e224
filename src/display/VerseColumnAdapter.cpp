#include "display/VerseColumnAdapter.h"

#include <limits>

#include "display/cTrnNote.h"

namespace kov {

char TVerseColumnAdapter::kind() const { return col_.kind; }

std::int32_t TVerseColumnAdapter::verseKey() const {
  // A finished translation stands beyond every row.
  if (col_.kind == 'T' && col_.endOfText) return std::numeric_limits<std::int32_t>::max();
  return verseKeyOf(col_.current.chapter, col_.current.verse);
}

void TVerseColumnAdapter::moveToVerse(std::int32_t key) {
  col_.current.chapter = std::uint8_t(key >> 16);
  col_.current.verse = std::int16_t(key & 0xFFFF);
  col_.OpenSource();
}

int TVerseColumnAdapter::runningY() const { return col_.runningY; }

void TVerseColumnAdapter::setRunningY(int y) { col_.runningY = y; }

int TVerseColumnAdapter::lineHeight() const { return col_.lineGap; }

int TVerseColumnAdapter::drawNextVerse(int indent) {
  col_.textLeft = baseLeft + indent;
  col_.DrawNextVerse();
  col_.textLeft = baseLeft;
  return col_.lastBottom;
}

}  // namespace kov
