#pragma once
#include <cstdint>
#include <vector>

namespace kov {

// A bit set over stream positions: bit p set means position p is a search hit. Positions
// outside the map read as no hit and are ignored by the setters, so a stale map never
// writes past its end after the database changed.
class TSrchMap {
 public:
  // Words needed for streams up to maxPos: (maxPos + 1) div 4 + 1.
  static std::size_t wordsFor(std::int32_t maxPos);

  // Reallocates for maxPos when it grew since the last call (new words are clear); with
  // `clear` every bit is cleared. Returns true when the map was reallocated.
  bool Size(std::int32_t maxPos, bool clear);
  std::int32_t SizedFor() const { return sizedFor_; }
  std::size_t WordCount() const { return words_.size(); }

  void Clear();
  void Fill();
  void SetHit(std::int32_t p);
  void ClearHit(std::int32_t p);
  void ToggleHit(std::int32_t p);
  bool IsHit(std::int32_t p) const {
    if (p < 0) return false;
    const auto w = std::size_t(p) >> 5;
    return w < words_.size() && (words_[w] >> (std::uint32_t(p) & 31u) & 1u) != 0;
  }
  // Copies the bits into `to`, which is resized to this map's length when it differs.
  void CopyTo(TSrchMap& to) const;
  // Number of set bits (for tests and status texts).
  std::int64_t Count() const;

  const std::vector<std::uint32_t>& words() const { return words_; }

 private:
  std::vector<std::uint32_t> words_;
  std::int32_t sizedFor_ = -1;
};

}  // namespace kov
