#include "search/CSearch.h"

#include <algorithm>
#include <cctype>

#include "core/FileLookup.h"
#include "db/References.h"
#include "db/StreamLimits.h"
#include "db/cIntLin.h"
#include "search/SearchErrors.h"

namespace kov {

// ---- Lists ----

void TSrchList::allocate(int capacity, bool withCounters) {
  Items.assign(std::size_t(capacity) + 1, TSrchItem{});
  ItemCount = 0;
  if (withCounters)
    Counters.assign(std::size_t(capacity) + 1, {0u, 0u});
  else
    Counters.clear();
  Index.assign(kSrchIndexSize, 0);
}

TSrchList& tWLresults::ensure(int column, bool withCounters) {
  if (column < 0 || column >= kMaxQueryColumns) throw SearchRangeError("query column out of range");
  auto& slot = Lists[std::size_t(column)];
  if (!slot) {
    slot = std::make_unique<TSrchList>();
    slot->allocate(kMaxSrchItems, withCounters);
  }
  return *slot;
}

void tWLresults::freeFrom(int from) {
  for (int c = std::max(from, 1); c < kMaxQueryColumns; ++c) Lists[std::size_t(c)].reset();
}

// ---- Engine ----

TSearch::TSearch() {
  MatchLists.ensure(0, true);
  RunLists.ensure(0, false);
  Results.reserve(kResultsGrowth);
}

TSearch::~TSearch() = default;

void TSearch::setTranslation(int slot, TWordGP* reader) {
  if (slot >= 1 && slot <= 10) translations_[std::size_t(slot)] = reader;
}

TWordGP* TSearch::translation(int slot) const {
  return slot >= 1 && slot <= 10 ? translations_[std::size_t(slot)] : nullptr;
}

void TSearch::SizeHitMap(bool clear) { HitMap.Size(MaxStreamPos(), clear); }

std::int32_t TSearch::rowListSize(int row) const {
  const TWordList& l = db_->list(row);
  return std::min<std::int32_t>(l.count, std::int32_t(l.entries.size()));
}

// ---- Word-list stage ----

namespace {
QString limitText(const char* before, int limit, const char* after) {
  return QString::fromLatin1(before) + QString::number(limit) + QString::fromLatin1(after);
}
}  // namespace

// A word-list stage's list is complete: counters cleared, sorted and indexed.
void TSearch::finishList(TSrchList& list, TWordListStageResult& result) {
  list.ItemCount = MatchCount;
  std::fill(list.Counters.begin(), list.Counters.end(), std::array<std::uint32_t, 2>{0u, 0u});
  SortList(list);
  BuildIndex(list);
  result.items = MatchCount;
}

TWordListStageResult TSearch::WordListStageInterlinear(int column) {
  TWordListStageResult result;
  if (!db_ || column < 0 || column >= kMaxQueryColumns) return result;
  tSrchQuery& q = *Query;
  TSrchList& list = MatchLists.ensure(column, true);
  list.RowConstraints.fill(0);
  list.AllRenderings = q.AllRenderings;

  // Compile the patterned rows; a row index past the database's lists cannot be matched.
  std::vector<int> rows;
  for (int r = 0; r < kMaxQueryRows && r < TintLin::kLists; ++r) {
    const Tsrchword& cell = q.Cells[std::size_t(column)][std::size_t(r)];
    if (cell.Text.empty()) continue;
    Matcher.CaseSens = q.CaseSens != 0;
    Matcher.Mode = 0;
    Matcher.Compile(r, cell.Text);
    list.RowConstraints[std::size_t(r)] = 1;
    rows.push_back(r);
  }
  if (!rows.empty()) {
    list.KeyRow = std::uint8_t(rows.front());
    if (RunMode == 0) q.KeySource = list.KeyRow;
  }
  for (int r = 0; r < kMaxQueryRows; ++r) MatchLists.RowConstraints[std::size_t(r)] |= list.RowConstraints[std::size_t(r)];

  MatchCount = 0;
  bool full = false;
  const std::int32_t mainCount = rowListSize(0);
  std::vector<std::vector<std::uint8_t>> hits(rows.size());
  std::array<std::uint8_t, kMaxQueryRows> counts{};
  const std::int32_t limit = std::min(ItemLimit, kMaxSrchItems);

  // Entry 0 is searched too: the stream may hold code 0 as a word, which would otherwise
  // never be found.
  for (std::int32_t w = 0; w < mainCount && w < kSrchIndexSize && !rows.empty() && !full; ++w) {
    counts.fill(255);
    bool rejected = false;
    for (std::size_t i = 0; i < rows.size() && !rejected; ++i) {
      const int r = rows[i];
      Matcher.Row = r;
      hits[i].clear();
      const TWordList& l = db_->list(r);
      if (r == 0) {
        // The main list holds the word form itself: one rendering.
        counts[std::size_t(r)] = 1;
        if (Matcher.MatchText(l.entries[std::size_t(w)].text, false)) hits[i].push_back(0);
      } else {
        const std::int32_t n = rowListSize(r);
        if (w >= n) {
          rejected = true;
          break;
        }
        // The ring from entry w; a link outside the list or back to w ends it.
        std::int32_t cur = w;
        int k = 0;
        for (;;) {
          if (k >= kMaxRenderings) throw SearchRangeError("more than 256 renderings of one entry");
          if (Matcher.MatchText(l.entries[std::size_t(cur)].text, false)) {
            if (k > 254) throw SearchRangeError("more than 256 renderings of one entry");
            hits[i].push_back(std::uint8_t(k));
          }
          ++k;
          const std::int32_t next = l.entries[std::size_t(cur)].next;
          if (next == w || next < 0 || next >= n) break;
          cur = next;
        }
        counts[std::size_t(r)] = std::uint8_t(std::min(k, 255));
      }
      if (hits[i].empty()) rejected = true;
    }
    if (rejected) continue;

    // One item per combination, the last patterned row varying fastest.
    std::vector<std::size_t> pick(rows.size(), 0);
    for (;;) {
      if (MatchCount >= limit) {
        full = true;
        break;
      }
      TSrchItem& item = list.Items[std::size_t(++MatchCount)];
      item.key = std::uint16_t(w);
      item.sel.fill(0);
      item.count = counts;
      for (std::size_t i = 0; i < rows.size(); ++i) item.sel[std::size_t(rows[i])] = hits[i][pick[i]];
      int i = int(rows.size()) - 1;
      while (i >= 0 && ++pick[std::size_t(i)] >= hits[std::size_t(i)].size()) pick[std::size_t(i--)] = 0;
      if (i < 0) break;
    }
  }

  if (full || MatchCount >= limit) {
    full = true;
    result.limitMessage = limitText("Search word list has reached the limit of ", limit, " items.");
  }
  finishList(list, result);
  return result;
}

TWordListStageResult TSearch::WordListStageTranslation(int column) {
  TWordListStageResult result;
  if (column < 0 || column >= kMaxQueryColumns) return result;
  tSrchQuery& q = *Query;
  TSrchList& list = MatchLists.ensure(column, true);
  list.RowConstraints.fill(0);
  list.RowConstraints[0] = 1;
  list.KeyRow = 0;
  list.AllRenderings = q.AllRenderings;
  MatchLists.RowConstraints[0] = 1;
  MatchCount = 0;
  TWordGP* reader = translation(q.TrnSlot);
  const Tsrchword& cell = q.Cells[std::size_t(column)][0];
  Matcher.CaseSens = q.CaseSens != 0;
  Matcher.Mode = 0;
  Matcher.Compile(0, cell.Text);
  Matcher.Row = 0;
  const std::int32_t limit = std::min(ItemLimit, kMaxSrchItems);
  if (reader && !cell.Text.empty()) {
    std::string scratch;
    const int words = std::min(reader->WordCount(), kSrchIndexSize);
    for (int n = 0; n < words; ++n) {
      if (MatchCount >= limit) break;
      const std::string word = reader->GetWord(n);
      if (!Matcher.MatchText(dropSwitchBytes(word, scratch), false)) continue;
      TSrchItem& item = list.Items[std::size_t(++MatchCount)];
      item = TSrchItem{};
      item.key = std::uint16_t(n);
      item.count.fill(255);
    }
  }
  if (MatchCount >= limit) result.limitMessage = limitText("Words found >", limit, " search is not completed");
  finishList(list, result);
  return result;
}

TWordListStageResult TSearch::WordListStage() {
  TWordListStageResult total;
  const tSrchQuery& q = *Query;
  const int columns = std::min<int>(q.ColumnCount, kMaxQueryColumns);
  MatchLists.RowConstraints.fill(0);
  MatchLists.freeFrom(std::max(columns, 1));
  for (int c = 0; c < columns; ++c) {
    const TWordListStageResult r = q.Interlinear ? WordListStageInterlinear(c) : WordListStageTranslation(c);
    total.items += r.items;
    if (total.limitMessage.isEmpty()) total.limitMessage = r.limitMessage;
  }
  MatchLists.ListCount = std::uint8_t(columns);
  if (columns == 0 && MatchLists.list(0)) MatchLists.list(0)->ItemCount = 0;
  return total;
}

void TSearch::SortList(TSrchList& list) {
  if (list.ItemCount <= 1) return;
  std::sort(list.Items.begin() + 1, list.Items.begin() + 1 + list.ItemCount,
            [](const TSrchItem& a, const TSrchItem& b) { return a.key < b.key; });
}

void TSearch::ClearIndex(TSrchList& list) { std::fill(list.Index.begin(), list.Index.end(), std::uint16_t(0)); }

void TSearch::BuildIndex(TSrchList& list) {
  ClearIndex(list);
  if (list.Index.size() < std::size_t(kSrchIndexSize)) list.Index.assign(kSrchIndexSize, 0);
  for (std::int32_t i = 1; i <= list.ItemCount; ++i) list.Index[list.Items[std::size_t(i)].key] = std::uint16_t(i);
}

// ---- Selection ----

QString TSearch::SelectItems(const std::vector<std::vector<bool>>& selected) {
  const int columns = std::min<int>(int(selected.size()), MatchLists.ListCount);
  for (int c = 0; c < columns; ++c) {
    const TSrchList* m = MatchLists.list(c);
    if (!m) continue;
    int n = 0;
    for (std::int32_t i = 1; i <= m->ItemCount && std::size_t(i) < selected[std::size_t(c)].size(); ++i)
      n += selected[std::size_t(c)][std::size_t(i)] ? 1 : 0;
    const int limit = std::min(ItemLimit, kMaxSrchItems);
    if (n > limit) return limitText("Selection Count >", limit, "");
  }
  int out = 0;
  RunLists.RowConstraints.fill(0);
  for (int c = 0; c < columns; ++c) {
    const TSrchList* m = MatchLists.list(c);
    if (!m) continue;
    const auto& sel = selected[std::size_t(c)];
    TSrchList& run = RunLists.ensure(out, false);
    run.ItemCount = 0;
    for (std::int32_t i = 1; i <= m->ItemCount && std::size_t(i) < sel.size(); ++i)
      if (sel[std::size_t(i)]) run.Items[std::size_t(++run.ItemCount)] = m->Items[std::size_t(i)];
    if (run.ItemCount == 0) continue;
    run.RowConstraints = m->RowConstraints;
    run.KeyRow = m->KeyRow;
    run.AllRenderings = Query->AllRenderings;
    BuildIndex(run);
    for (int r = 0; r < kMaxQueryRows; ++r) RunLists.RowConstraints[std::size_t(r)] |= run.RowConstraints[std::size_t(r)];
    ++out;
  }
  RunLists.ListCount = std::uint8_t(out);
  RunLists.freeFrom(std::max(out, 1));
  if (out == 0 && RunLists.list(0)) RunLists.list(0)->ItemCount = 0;
  Query->UsedColumns = out;
  return {};
}

QString TSearch::SelectAll() {
  std::vector<std::vector<bool>> all;
  for (int c = 0; c < MatchLists.ListCount; ++c) {
    const TSrchList* m = MatchLists.list(c);
    all.emplace_back(m ? std::size_t(m->ItemCount) + 1 : 0, true);
  }
  return SelectItems(all);
}

// ---- Range and walker ----

void TSearch::SetRange() {
  tSrchQuery& q = *Query;
  const int n = q.Interlinear ? 0 : q.TrnSlot;
  TWordGP* reader = q.Interlinear ? nullptr : translation(q.TrnSlot);
  std::int32_t endPos = 0;
  if (q.Interlinear)
    endPos = db_ ? db_->lastPosition() : -1;
  else
    endPos = reader ? reader->LastRecord() : -1;

  auto resolve = [&](const VerseRef& ref) -> std::int32_t {
    if (!refs_ || ref.Bks.empty()) return -1;
    return refs_->refToPosition(n, ref);
  };
  std::int32_t from = resolve(q.RangeFrom);
  if (from < 0) from = 1;
  std::int32_t to = resolve(q.RangeTo);
  if (to < 0) {
    to = endPos;
  } else {
    // Up to the next verse marker, so that the whole last verse is inside.
    TVerseStep step;
    if (q.Interlinear && db_)
      step = db_->stepVerses(to, 1, true);
    else if (reader)
      step = reader->StepVerses(to, 1, true);
    to = step.verse >= 0 || step.position > to ? step.position : endPos;
  }
  q.RangeFromPos = from;
  q.RangeToPos = std::min(to, endPos);
}

bool TSearch::prepareWalker() {
  const tSrchQuery& q = *Query;
  walker_.stepOver.clear();
  rowSel_.fill(nullptr);
  LineOptions options;
  if (q.Interlinear) {
    if (!db_) return false;
    walker_.setStream(&db_->stream());
    options = db_->appliedOptions();
    for (int r = 1; r < kMaxQueryRows && r <= TintLin::kLists; ++r)
      if (RunLists.RowConstraints[std::size_t(r)]) rowSel_[std::size_t(r)] = &db_->selection(r);
  } else {
    TWordGP* reader = translation(q.TrnSlot);
    if (!reader) return false;
    const QString path = findNoCase(reader->Dir(), reader->Name() + QStringLiteral(".GD"));
    if (!walker_.setFile(path)) return false;
    if (q.SkipPunct)
      for (int w : reader->PunctWords()) walker_.stepOver.push_back(std::uint16_t(w));
  }
  walker_.first = q.RangeFromPos;
  walker_.last = q.RangeToPos;
  walker_.start(options);
  return true;
}

// ---- Verse stage ----

bool TSearch::rowBytesMatch(const TSrchItem& item, const TSrchList& list, std::int32_t p) const {
  for (int r = 1; r < kMaxQueryRows; ++r) {
    if (!list.RowConstraints[std::size_t(r)]) continue;
    const std::vector<std::uint8_t>* sel = rowSel_[std::size_t(r)];
    const std::uint8_t s = sel && p >= 0 && std::size_t(p) < sel->size() ? (*sel)[std::size_t(p)] : 255;
    if (s != item.sel[std::size_t(r)]) return false;
  }
  return true;
}

bool TSearch::satisfies(const TSrchList& list, std::int32_t p, std::uint16_t w, bool useIndex) const {
  const bool all = Query->AllRenderings || list.AllRenderings || !Query->Interlinear;
  if (useIndex) {
    if (w >= list.Index.size()) return false;
    for (std::int32_t i = list.Index[w]; i >= 1 && list.Items[std::size_t(i)].key == w; --i)
      if (all || rowBytesMatch(list.Items[std::size_t(i)], list, p)) return true;
    return false;
  }
  for (std::int32_t i = 1; i <= list.ItemCount; ++i)
    if (list.Items[std::size_t(i)].key == w && (all || rowBytesMatch(list.Items[std::size_t(i)], list, p))) return true;
  return false;
}

// Seeks a word satisfying `list` inside the current verse, in verse mode. After a rewind
// the first step re-reads the verse's own marker, which does not end the verse.
bool TSearch::seekColumn(const TSrchList& list, bool useIndex, bool rewound, bool nextOnly) {
  walker_.clearNewVerse();
  bool ownMarker = rewound;
  while (walker_.next()) {
    if (walker_.newVerse()) {
      if (!ownMarker) return false;
      walker_.clearNewVerse();
    }
    ownMarker = false;
    if (satisfies(list, walker_.valuePosition(), walker_.value(), useIndex)) {
      if (int(HitWords.size()) >= kMaxHitWords) throw SearchRangeError("more than 51 words in one hit");
      HitWords.push_back(walker_.valuePosition());
      return true;
    }
    if (nextOnly) return false;
  }
  return false;
}

bool TSearch::phraseInVariants(std::int32_t p, bool useIndex) {
  const LineOptions& applied = db_->appliedOptions();
  std::vector<int> shown;
  for (int v = 0; v < 5; ++v)
    if (applied.flag(LineOptions::VariantBool1 + v)) shown.push_back(v);
  if (shown.empty()) return false;
  const unsigned full = (1u << shown.size()) - 1u;
  TGndStream walk;
  walk.setStream(&db_->stream());
  walk.first = walker_.markerPosition();
  walk.last = Query->RangeToPos;
  // The combination with every shown reading on is the ordinary walk, already tried.
  for (unsigned mask = 0; mask < full; ++mask) {
    LineOptions options = applied;
    for (std::size_t i = 0; i < shown.size(); ++i)
      options.setFlag(LineOptions::VariantBool1 + shown[i], ((mask >> i) & 1u) != 0);
    walk.start(options);
    bool atFirst = false;
    while (walk.next()) {
      if (walk.valuePosition() >= p) {
        atFirst = walk.valuePosition() == p;
        break;
      }
    }
    if (!atFirst) continue;
    std::vector<std::int32_t> words{p};
    bool ok = true;
    for (int c = 1; c < RunLists.ListCount && ok; ++c) {
      walk.clearNewVerse();
      ok = walk.next() && !walk.newVerse() && satisfies(*RunLists.list(c), walk.valuePosition(), walk.value(), useIndex);
      if (ok) words.push_back(walk.valuePosition());
    }
    if (ok) {
      HitWords = std::move(words);
      return true;
    }
  }
  return false;
}

void TSearch::appendRecord(std::int32_t position, std::int32_t marker, std::int16_t verse) {
  if (std::size_t(ResultCount) >= Results.size())
    Results.resize(Results.size() + kResultsGrowth);
  if (ResultCount == 0 || Results[std::size_t(ResultCount - 1)].markerPosition != marker) ++VerseCount;
  Results[std::size_t(ResultCount++)] = THitRecord{position, marker, verse};
  lastRecordMarker_ = marker;
}

void TSearch::recordHit(bool multiColumn) {
  const tSrchQuery& q = *Query;
  if (q.SRMode <= 0) {
    for (std::int32_t p : HitWords) HitMap.SetHit(p);
    const std::int32_t marker = walker_.markerPosition();
    const bool onePerVerse = multiColumn && !q.Interlinear;
    if (!(onePerVerse && lastRecordMarker_ == marker))
      appendRecord(walker_.valuePosition(), marker, std::int16_t(walker_.verse()));
    ++HitCount;
    if (HitCount % 1000 == 0) ShowStatus();
  } else if (q.SRMode == kSRDifference) {
    for (std::int32_t p : HitWords) HitMap.ToggleHit(p);
  } else {
    for (std::int32_t p : HitWords) HitMap.ClearHit(p);
  }
}

void TSearch::VerseStage(bool useIndex) {
  tSrchQuery& q = *Query;
  ResultCount = 0;
  HitCount = 0;
  VerseCount = 0;
  lastRecordMarker_ = -1;
  Results.clear();
  Results.resize(kResultsGrowth);
  SizeHitMap(false);
  if (q.SRMode < 1) HitMap.Clear();
  LastSlot = q.Interlinear ? 0 : q.TrnSlot;
  const int lists = RunLists.ListCount;
  if (lists == 0 || !RunLists.list(0)) {
    ShowStatus();
    return;
  }
  SetRange();
  if (!prepareWalker()) {
    ShowStatus();
    return;
  }
  const TSrchList& first = *RunLists.list(0);
  const bool combine = q.SRMode == kSRDifference || q.SRMode == kSRSubtract;
  HitWords.reserve(kMaxHitWords);

  while (walker_.next()) {
    const std::int32_t p = walker_.valuePosition();
    const std::uint16_t w = walker_.value();
    if (satisfies(first, p, w, useIndex)) {
      HitWords.clear();
      HitWords.push_back(p);
      if (lists == 1) {
        recordHit(false);
      } else {
        walker_.setVsMode(true);
        bool ok = true;
        for (int c = 1; c < lists && ok; ++c) {
          const TSrchList* list = RunLists.list(c);
          if (!list) {
            ok = false;
            break;
          }
          switch (q.LogicMode) {
            case kLogicInOrder:
              ok = seekColumn(*list, useIndex, false, false);
              break;
            case kLogicPhrase:
              ok = seekColumn(*list, useIndex, false, true);
              break;
            default:
              walker_.backToVerseStart();
              ok = seekColumn(*list, useIndex, true, false);
              break;
          }
        }
        // A phrase may lie inside one reading where several variant readings are shown.
        if (!ok && q.LogicMode == kLogicPhrase && q.Interlinear) ok = phraseInVariants(p, useIndex);
        if (ok) recordHit(true);
        walker_.setVsMode(false);
      }
    }
    if (combine && HitMap.IsHit(p)) {
      ++HitCount;
      appendRecord(p, walker_.markerPosition(), std::int16_t(walker_.verse()));
      if (ResultCount % 1000 == 0) ShowStatus();
    }
  }
  ShowStatus();
}

QString TSearch::StatusText() const {
  const QString verses = QString::number(VerseCount) + QStringLiteral(" verses");
  if (Query->ColumnCount <= 1 || Query->LogicMode == kLogicPhrase)
    return QString::number(HitCount) + QStringLiteral(" found in ") + verses;
  return verses;
}

void TSearch::ShowStatus() {
  if (onStatus) onStatus(StatusText());
}

// ---- Counting ----

void TSearch::CountOccurrences(int column) {
  TSrchList* list = MatchLists.list(column);
  if (!list || list->Counters.empty()) return;
  std::fill(list->Counters.begin(), list->Counters.end(), std::array<std::uint32_t, 2>{0u, 0u});
  SetRange();
  // The row selections of this list's constrained rows.
  const auto saved = RunLists.RowConstraints;
  RunLists.RowConstraints = list->RowConstraints;
  const bool ready = prepareWalker();
  RunLists.RowConstraints = saved;
  if (!ready) return;
  const bool interlinear = Query->Interlinear != 0;
  while (walker_.next()) {
    const std::uint16_t w = walker_.value();
    if (w >= list->Index.size()) continue;
    for (std::int32_t i = list->Index[w]; i >= 1 && list->Items[std::size_t(i)].key == w; --i) {
      ++list->Counters[std::size_t(i)][0];
      if (interlinear && rowBytesMatch(list->Items[std::size_t(i)], *list, walker_.valuePosition()))
        ++list->Counters[std::size_t(i)][1];
    }
  }
}

// ---- Lookup ----

std::int32_t TSearch::FindEntry(int row, const std::string& text) const {
  if (!db_) return 0;
  std::int32_t largest = 0;
  for (int l = 0; l < TintLin::kLists; ++l) largest = std::max(largest, rowListSize(l));
  if (row < 0 || row >= TintLin::kLists) return largest;
  const TWordList& list = db_->list(row);
  const std::int32_t n = rowListSize(row);
  auto lower = [](unsigned char c) { return char(std::tolower(c)); };
  for (std::int32_t i = 1; i < largest && i < n; ++i) {
    const std::string& t = list.entries[std::size_t(i)].text;
    if (t.size() == text.size() &&
        std::equal(t.begin(), t.end(), text.begin(), [&](char a, char b) { return lower((unsigned char)a) == lower((unsigned char)b); }))
      return i;
  }
  return largest;
}

}  // namespace kov
