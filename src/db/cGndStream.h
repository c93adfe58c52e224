#pragma once
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

#include "core/PresetRecords.h"

namespace kov {

// Cell values of the word stream.
namespace cell {
constexpr std::uint16_t kFirstMarker = 64000;
constexpr std::uint16_t kSignFirst = 64001, kSignLast = 64003;
constexpr std::uint16_t kBracketOn = 64010, kBracketOff = 64011;
constexpr std::uint16_t kVariantEndFirst = 64010, kVariantEndLast = 64020;
constexpr std::uint16_t kToggleFirst = 64110, kToggleLast = 64120;
constexpr std::uint16_t kVariantFirst = 64401, kVariantLast = 64405;
constexpr std::uint16_t kVerse = 65000;
constexpr std::uint16_t kNewChapterFlag = 1u << 13;
constexpr std::uint16_t kNewBookFlag = 1u << 14;
inline bool isWord(std::uint16_t c) { return c < kFirstMarker; }
inline bool isVerse(std::uint16_t c) { return c >= kVerse; }
}  // namespace cell

// Walks a stream of 16-bit cells word by word, honouring variant readings, toggles and
// brackets as the applied display options say. One shared instance serves the search, the
// verse lookups and the counting; a caller finishes its walk before another starts one.
class TGndStream {
 public:
  static constexpr int kMaxStepOver = 51;

  // The source: the database's stream (not owned; must outlive the walk)...
  void setStream(const std::vector<std::uint16_t>* cells);
  // ...or a file of 16-bit little-endian cells, read whole and read again only when the name changes.
  bool setFile(const QString& path, QString* error = nullptr);

  int first = 1;  // first position of the walk
  int last = 0;   // last position of the walk (inclusive)
  // Word values the walk steps over (at most 51 are used).
  std::vector<std::uint16_t> stepOver;

  void start(const LineOptions& applied);
  // Returns the next shown word; false at the end.
  bool next();
  void backToVerseStart();

  bool VsMode() const { return vsMode_; }
  void setVsMode(bool on);

  // State after next().
  std::uint16_t value() const { return value_; }
  int valuePosition() const { return valuePos_; }
  int variant() const { return variant_; }  // the variant reading of the word, -1 when none
  bool inBracket() const { return bracket_; }
  bool atEnd() const { return end_; }
  int currentIndex() const { return index_; }
  int verse() const { return verse_; }
  char mark() const { return mark_; }
  int markerPosition() const { return markerPos_; }
  std::uint16_t verseFlags() const { return verseFlags_; }
  bool newVerse() const { return newVerse_; }
  void clearNewVerse() { newVerse_ = false; }

  // Three counters callers keep per verse; saved with VsMode and at each verse marker.
  std::array<int, 3> counters{};

 private:
  std::uint16_t cellAt(int i) const;
  void moveOn();
  bool isSteppedOver(std::uint16_t c) const;

  const std::vector<std::uint16_t>* cells_ = nullptr;
  std::vector<std::uint16_t> fileCells_;
  QString fileName_;

  int index_ = 0;
  bool end_ = true;
  int verse_ = 0;
  char mark_ = ' ';
  int markerPos_ = 1;
  std::uint16_t verseFlags_ = 0;
  bool newVerse_ = false;
  std::uint16_t value_ = 0;
  int valuePos_ = 0;
  int variant_ = -1;
  bool bracket_ = false;
  std::array<bool, 5> toggleOn_{};
  std::array<bool, 5> variantOn_{};
  bool vsMode_ = false;
  int savedIndex_ = 0;
  std::array<int, 3> savedCounters_{};
  std::array<int, 3> verseCounters_{};
};

}  // namespace kov
