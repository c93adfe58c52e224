#include "search/SrchMap.h"

#include <algorithm>
#include <bit>

namespace kov {

std::size_t TSrchMap::wordsFor(std::int32_t maxPos) {
  if (maxPos < 0) maxPos = 0;
  return std::size_t(maxPos + 1) / 4 + 1;
}

bool TSrchMap::Size(std::int32_t maxPos, bool clear) {
  bool grown = false;
  if (maxPos > sizedFor_ || words_.empty()) {
    words_.resize(wordsFor(maxPos), 0u);
    sizedFor_ = std::max(maxPos, sizedFor_);
    grown = true;
  }
  if (clear) Clear();
  return grown;
}

void TSrchMap::Clear() { std::fill(words_.begin(), words_.end(), 0u); }
void TSrchMap::Fill() { std::fill(words_.begin(), words_.end(), ~0u); }

void TSrchMap::SetHit(std::int32_t p) {
  if (p < 0) return;
  const auto w = std::size_t(p) >> 5;
  if (w < words_.size()) words_[w] |= 1u << (std::uint32_t(p) & 31u);
}

void TSrchMap::ClearHit(std::int32_t p) {
  if (p < 0) return;
  const auto w = std::size_t(p) >> 5;
  if (w < words_.size()) words_[w] &= ~(1u << (std::uint32_t(p) & 31u));
}

void TSrchMap::ToggleHit(std::int32_t p) {
  if (p < 0) return;
  const auto w = std::size_t(p) >> 5;
  if (w < words_.size()) words_[w] ^= 1u << (std::uint32_t(p) & 31u);
}

void TSrchMap::CopyTo(TSrchMap& to) const {
  to.words_ = words_;
  to.sizedFor_ = sizedFor_;
}

std::int64_t TSrchMap::Count() const {
  std::int64_t n = 0;
  for (std::uint32_t w : words_) n += std::popcount(w);
  return n;
}

}  // namespace kov
