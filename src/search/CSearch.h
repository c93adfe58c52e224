#pragma once
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "db/cGndStream.h"
#include "search/CSearchQuery.h"
#include "search/CSearchStr.h"
#include "search/SrchMap.h"
#include "texts/UWordGP.h"

namespace kov {

class TintLin;
class TReferences;

constexpr int kMaxSrchItems = 32000;   // items of one list
constexpr int kSrchIndexSize = 64001;  // one index entry per word number
constexpr int kMaxHitWords = 51;
constexpr int kMaxRenderings = 256;    // renderings of one entry in one row
constexpr int kResultsGrowth = 16000;

// One match item: the key word and, per sublinear row, the rendering the item requires
// (meaningful for constrained rows) and the number of renderings the entry has there
// (255 for rows without a pattern).
struct TSrchItem {
  std::uint16_t key = 0;
  std::array<std::uint8_t, kMaxQueryRows> sel{};
  std::array<std::uint8_t, kMaxQueryRows> count{};
};

// The items of one query column. Items are numbered from 1; entry 0 holds no item.
struct TSrchList {
  std::vector<TSrchItem> Items;                            // Items[0] unused
  std::int32_t ItemCount = 0;
  std::vector<std::array<std::uint32_t, 2>> Counters;      // per item: word, word + renderings
  std::vector<std::uint16_t> Index;                        // word -> last item with that key
  std::uint8_t AllRenderings = 0;
  std::array<std::uint8_t, kMaxQueryRows> RowConstraints{};
  std::uint8_t KeyRow = 0;

  // Room for `capacity` items (plus entry 0), counters when `withCounters`, and the index.
  void allocate(int capacity, bool withCounters);
  const TSrchItem& item(int n) const { return Items[std::size_t(n)]; }
};

struct tWLresults {
  std::array<std::unique_ptr<TSrchList>, kMaxQueryColumns> Lists;
  std::uint8_t ListCount = 0;
  std::array<std::uint8_t, kMaxQueryRows> RowConstraints{};

  // Creates list `column` when it does not exist yet.
  TSrchList& ensure(int column, bool withCounters);
  TSrchList* list(int column) const {
    return column >= 0 && column < kMaxQueryColumns ? Lists[std::size_t(column)].get() : nullptr;
  }
  // Frees the lists from `from` on.
  void freeFrom(int from);
};

// One hit as the results panel lists it.
struct THitRecord {
  std::int32_t position = 0;        // the stream position of the hit
  std::int32_t markerPosition = 0;  // the stream position of its verse marker
  std::int16_t verse = 0;
};

// What a word-list stage did. `limitMessage` is the text to show in a box (OK button) when
// the list reached the item limit; empty otherwise.
struct TWordListStageResult {
  std::int32_t items = 0;
  QString limitMessage;
};

// The search engine: word-list stage over word lists, verse stage over the text stream,
// the hit map and the hit records. One per program, used on the interface thread only.
class TSearch : public TTranslationHits {
 public:
  TSearch();
  ~TSearch() override;

  // ---- Sources (not owned) ----
  void setDatabase(TintLin* db) { db_ = db; }
  void setReferences(TReferences* refs) { refs_ = refs; }
  // The reader of translation slot 1..10 (nullptr removes it).
  void setTranslation(int slot, TWordGP* reader);
  TWordGP* translation(int slot) const;

  // ---- Fields ----
  tSrchQuery OwnQuery;
  tSrchQuery* Query = &OwnQuery;  // the record being run
  TSearchStr Matcher;
  tWLresults MatchLists;
  tWLresults RunLists;
  std::int32_t MatchCount = 0;
  TSrchMap HitMap;
  std::uint8_t LastSlot = 0;
  std::vector<THitRecord> Results;  // the first ResultCount are in use
  std::int32_t ResultCount = 0;
  std::int32_t HitCount = 0;
  std::int32_t VerseCount = 0;
  std::vector<std::int32_t> HitWords;
  std::uint8_t RunMode = 0;
  std::uint8_t Aborted = 0;
  // Items a list may hold; lowered only by tests to exercise the limit on small data.
  std::int32_t ItemLimit = kMaxSrchItems;

  // Receives the status text every 1000 hits and at the end of a verse search.
  std::function<void(const QString&)> onStatus;

  // ---- Hit map ----
  void SizeHitMap(bool clear);
  void ClearHitMap() { HitMap.Clear(); }
  void FillHitMap() { HitMap.Fill(); }
  void SetHit(std::int32_t p) { HitMap.SetHit(p); }
  void ClearHit(std::int32_t p) { HitMap.ClearHit(p); }
  bool IsHit(std::int32_t p) const { return HitMap.IsHit(p); }
  void CopyHitMap(TSrchMap& to) const { HitMap.CopyTo(to); }

  // ---- What the views ask ----
  // Set by the results panel while search-results mode is on.
  bool ResultsShown = false;
  // Translation readers: hit marks only for the slot of the last verse search.
  bool isHit(int slot, std::int32_t position) const override {
    return ResultsShown && slot != 0 && slot == LastSlot && HitMap.IsHit(position);
  }
  // Interlinear cells: is this position a hit of the last interlinear search. The display's
  // hit interface wraps this.
  bool isInterlinearHit(std::int32_t position) const {
    return ResultsShown && LastSlot == 0 && HitMap.IsHit(position);
  }

  // ---- Word-list stage ----
  // Both throw SearchRangeError for a pattern outside the matcher's limits or an entry with
  // more than 256 renderings in one row.
  TWordListStageResult WordListStageInterlinear(int column);
  TWordListStageResult WordListStageTranslation(int column);
  // Runs the stage for every column of the query and frees the lists of unused columns.
  TWordListStageResult WordListStage();

  static void SortList(TSrchList& list);
  static void ClearIndex(TSrchList& list);
  static void BuildIndex(TSrchList& list);

  void CountOccurrences(int column);

  // ---- Selection (the word-list match dialog) ----
  // selected[column][item] (item numbers from 1; index 0 ignored) says which items of each
  // match list run. Returns "Selection Count >32000" when a column selects too many items
  // (nothing is changed then), else an empty text.
  QString SelectItems(const std::vector<std::vector<bool>>& selected);
  // Selects every item of every match list.
  QString SelectAll();

  // ---- Verse stage ----
  // Turns RangeFrom/RangeTo into RangeFromPos/RangeToPos. A reference that does not resolve
  // (no calculator, unknown book) stands for the start or the end of the text.
  void SetRange();
  void VerseStage(bool useIndex = true);
  // "12 found in 10 verses", or "10 verses" for a several-column search not in phrase mode.
  QString StatusText() const;
  void ShowStatus();

  // The first record of list `row` (from 1 up to the largest record number of the lists)
  // whose text equals `text` ignoring case; that largest number when none does.
  std::int32_t FindEntry(int row, const std::string& text) const;

 private:
  void finishList(TSrchList& list, TWordListStageResult& result);
  bool satisfies(const TSrchList& list, std::int32_t p, std::uint16_t w, bool useIndex) const;
  bool rowBytesMatch(const TSrchItem& item, const TSrchList& list, std::int32_t p) const;
  bool seekColumn(const TSrchList& list, bool useIndex, bool rewound, bool nextOnly);
  bool phraseInVariants(std::int32_t p, bool useIndex);
  void recordHit(bool multiColumn);
  void appendRecord(std::int32_t position, std::int32_t marker, std::int16_t verse);
  bool prepareWalker();
  std::int32_t rowListSize(int row) const;

  TintLin* db_ = nullptr;
  TReferences* refs_ = nullptr;
  std::array<TWordGP*, 11> translations_{};
  TGndStream walker_;
  std::int32_t lastRecordMarker_ = -1;
  // Selections of the constrained rows of the current verse search (index = row).
  std::array<const std::vector<std::uint8_t>*, kMaxQueryRows> rowSel_{};
};

}  // namespace kov
