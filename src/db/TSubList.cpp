#include "db/TSubList.h"

#include <QDateTime>

#include <algorithm>

#include "core/FileLookup.h"
#include "core/IniFile.h"
#include "core/RegistryStore.h"
#include "db/EditLog.h"
#include "db/cGndStream.h"
#include "db/cIntLin.h"

namespace kov {

namespace {

constexpr std::uint8_t kInRing = 32;
constexpr std::uint8_t kNone = 255;

QString withoutExtension(const QString& fileName) {
  const qsizetype dot = fileName.lastIndexOf(u'.');
  return dot < 0 ? fileName : fileName.left(dot);
}

bool lessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

TSubList TEdits::buildSubList(int slot, std::int32_t head, int selected) const {
  TSubList l;
  l.slot = slot;
  l.head = head;
  l.selected = selected;
  const TWordList& list = db_.list(slot);
  if (!list.contains(head)) return l;
  // A ring is followed at most as far as the list is long, so a damaged one cannot loop.
  std::int32_t at = head;
  l.complete = false;
  for (std::int32_t steps = 0; steps <= list.highIndex() && l.count() < TSubList::kMaxItems; ++steps) {
    const Twlistrec& e = list.entries[std::size_t(at)];
    l.items.push_back({e.text, 0, 0});
    l.links.push_back({e.next, e.flags});
    if (e.next == head || e.next == 0) {
      l.complete = true;
      break;
    }
    if (!list.contains(e.next)) break;
    at = e.next;
  }
  return l;
}

void TEdits::countSubList(TSubList& list, bool noneAsFirst) const {
  for (Twcs& i : list.items) i.count = 0;
  const TSelection& sel = db_.selection(list.slot);
  TGndStream walker;
  walker.setStream(&db_.stream());
  walker.first = 1;
  walker.last = db_.lastPosition();
  walker.start(db_.appliedOptions());
  while (walker.next()) {
    if (walker.value() != list.head) continue;
    const std::size_t p = std::size_t(walker.valuePosition());
    int s = p < sel.size() ? sel[p] : kNone;
    if (s == kNone) {
      if (!noneAsFirst) continue;
      s = 0;
    }
    if (s < list.count() && list.items[std::size_t(s)].count < 0xFFFF) ++list.items[std::size_t(s)].count;
  }
}

void TEdits::sortSubList(TSubList& list) const {
  const int n = list.count();
  list.newPlaces.resize(std::size_t(n));
  for (int k = 0; k < n; ++k) {
    list.items[std::size_t(k)].before = std::uint8_t(k);
    list.newPlaces[std::size_t(k)] = std::uint8_t(k);
  }
  if (n <= 1) return;
  for (bool swapped = true; swapped;) {
    swapped = false;
    for (int i = 0; i + 1 < n; ++i) {
      Twcs& a = list.items[std::size_t(i)];
      Twcs& b = list.items[std::size_t(i + 1)];
      if (a.count < b.count || (a.count == b.count && lessNoCase(b.text, a.text))) {
        std::swap(a, b);
        list.newPlaces[a.before] = std::uint8_t(i);
        list.newPlaces[b.before] = std::uint8_t(i + 1);
        if (list.selected == i) list.selected = i + 1;
        else if (list.selected == i + 1) list.selected = i;
        swapped = true;
      }
    }
  }
}

void TEdits::renumberSelections(const TSubList& list) {
  TSelection& sel = db_.selection(list.slot);
  const std::int32_t last = std::min<std::int32_t>(db_.lastPosition(), std::int32_t(sel.size()) - 1);
  for (std::int32_t p = 1; p <= last; ++p) {
    if (db_.cellAt(p) != list.head) continue;
    std::uint8_t& s = sel[std::size_t(p)];
    if (s != kNone && s < list.newPlaces.size()) s = list.newPlaces[s];
  }
}

bool TEdits::storeSubList(TSubList& list) {
  if (list.count() < 1) return fail(QStringLiteral("nothing to store"));
  if (list.count() > TSubList::kMaxItems) return fail(QStringLiteral("more than 254 renderings"));
  if (!list.complete)
    return fail(QStringLiteral("the renderings of word form %1 do not form a closed ring of at most 254 entries")
                    .arg(list.head));
  for (const Twcs& i : list.items)
    if (i.text.size() > std::size_t(TintLin::kMaxCellText))
      return fail(QStringLiteral("a rendering longer than 255 characters"));
  list.links.resize(list.items.size());

  TWordList& wl = db_.list(list.slot);
  if (!wl.contains(list.head) || list.head >= wl.count) return fail(QStringLiteral("no such word form"));
  std::int32_t n = wl.count;  // the next free entry
  std::int32_t w = list.head;
  // Entries already written in this pass: a link met twice (a hand-made list, say) gets a
  // new entry rather than overwriting an item written before.
  std::vector<std::int32_t> used{list.head};
  const int last = list.count() - 1;
  for (int i = 0;; ++i) {
    const std::string& text = list.items[std::size_t(i)].text;
    const std::int32_t e = list.links[std::size_t(i)].next;
    if (i == last) {
      // The last item always closes the ring, whatever entry it came from.
      wl.entries[std::size_t(w)] = {0, list.head, text};
      break;
    }
    if (e > list.head && e < wl.count && std::find(used.begin(), used.end(), e) == used.end()) {
      // The old ring's next entry is reused for the next item.
      wl.entries[std::size_t(w)] = {kInRing, e, text};
      w = e;
    } else {
      wl.ensureAllocated(n);
      wl.entries[std::size_t(w)] = {kInRing, n, text};
      w = n++;
    }
    used.push_back(w);
  }
  wl.count = std::max(wl.count, n);
  Tsubl& slot = db_.appliedTable().slot(list.slot);
  slot.entryCount = wl.count;
  slot.highIndex = wl.highIndex();
  slot.listHeader.dateModify = nowAsDays();
  ++slot.editCnt;
  return true;
}

int TEdits::applySubList(const std::vector<std::string>& texts, bool sorted, TSubList& list, int currentRow,
                         const TFocusedCell& focus, bool assign) {
  std::size_t rows = texts.size();
  if (rows > 0 && texts.back().empty()) --rows;
  // Rows beyond the format's limit are refused, never silently dropped.
  if (rows > std::size_t(TSubList::kMaxItems)) {
    fail(QStringLiteral("more than 254 renderings"));
    return -1;
  }
  // The working copy changes only when the rows could be stored.
  TSubList work = list;
  work.items.resize(rows);
  work.links.resize(rows);
  for (std::size_t i = 0; i < rows; ++i) work.items[i].text = texts[i];
  if (!storeSubList(work)) return -1;
  list = std::move(work);
  // Memory first, files after: a failing save leaves the lists and selections consistent.
  const bool hasSelection = isSublinear(list.slot);
  if (sorted && hasSelection) renumberSelections(list);
  if (currentRow >= 0) list.selected = currentRow;
  // Only a position that holds this word form can take one of its renderings.
  if (assign && hasSelection && focus.slot == list.slot && db_.cellAt(focus.position) == list.head) {
    TSelection& sel = db_.selection(list.slot);
    if (focus.position > 0 && std::size_t(focus.position) < sel.size())
      sel[std::size_t(focus.position)] = std::uint8_t(std::clamp(list.selected, 0, 255));
  }
  if (!db_.deferSave) {
    if (!saveList(list.slot)) return -1;
    if (hasSelection && !saveSelection(list.slot)) return -1;
  }
  return list.selected;
}

bool TEdits::setCellText(const std::string& text, const TFocusedCell& focus) {
  if (!isSublinear(focus.slot)) return fail(QStringLiteral("no sublinear in slot %1").arg(focus.slot));
  TSelection& sel = db_.selection(focus.slot);
  if (focus.position <= 0 || std::size_t(focus.position) >= sel.size() || focus.position > db_.lastPosition())
    return fail(QStringLiteral("no word at position %1").arg(focus.position));
  const std::uint16_t form = db_.cellAt(focus.position);
  if (!cell::isWord(form)) return fail(QStringLiteral("no word at position %1").arg(focus.position));
  const int current = sel[std::size_t(focus.position)];
  TSubList list = buildSubList(focus.slot, form, current);
  const std::string old = current != kNone && current < list.count() ? list.items[std::size_t(current)].text
                                                                      : std::string();
  if (list.count() == 1 && list.items[0].text.empty()) {
    // A word form without renderings: its one empty entry is taken by the new text.
    list.items.clear();
  }
  int found = -1;
  for (int i = 0; i < list.count() && found < 0; ++i)
    if (list.items[std::size_t(i)].text == text) found = i;
  std::string code;
  if (found < 0) {
    found = list.count();
    list.items.push_back({text, 0, 0});
    list.links.resize(list.items.size());
    list.links.back() = {0, 0};
    if (!storeSubList(list)) return false;
    code = batch ? "AI" : "AC";
  } else {
    code = batch ? "SI" : "SC";
  }
  sel[std::size_t(focus.position)] = std::uint8_t(found);
  const bool added = code[0] == 'A';
  if (!db_.deferSave && ((added && !saveList(focus.slot)) || !saveSelection(focus.slot))) return false;
  // The reference makes the log readable without the database at hand.
  return writeLog(focus.slot, focus.position, code + '\t' + old + '\t' + text, db_.refText(focus.position));
}

bool TEdits::markRange(int slot, std::int32_t from, std::int32_t to, bool none) {
  if (!isSublinear(slot)) return fail(QStringLiteral("no sublinear in slot %1").arg(slot));
  TSelection& sel = db_.selection(slot);
  from = std::max<std::int32_t>(from, 1);
  to = std::min<std::int32_t>(to, std::int32_t(sel.size()) - 1);
  for (std::int32_t p = from; p <= to; ++p) sel[std::size_t(p)] = none ? kNone : 0;
  return db_.deferSave || saveSelection(slot);
}

bool TEdits::setEntryText(int slot, std::int32_t index, const std::string& text) {
  TWordList& wl = db_.list(slot);
  if (!wl.contains(index) || index >= wl.count) return fail(QStringLiteral("no entry %1").arg(index));
  if (text.size() > std::size_t(TintLin::kMaxCellText))
    return fail(QStringLiteral("a rendering longer than 255 characters"));
  wl.entries[std::size_t(index)].text = text;
  db_.appliedTable().slot(slot).listHeader.dateModify = nowAsDays();
  return db_.deferSave || saveList(slot);
}

bool TEdits::isSublinear(int slot) const { return slot >= 1 && slot < db_.appliedTable().slotCount; }

QString TEdits::logPath(int slot) const {
  // An existing log is appended to whatever the case of its name.
  return findNoCase(db_.appliedFolder(), withoutExtension(db_.appliedTable().slot(slot).fileName) +
                                             QStringLiteral(".log"));
}

bool TEdits::writeLog(int slot, std::int32_t position, const std::string& data, const std::string& reference) {
  return appendEditLog(logPath(slot), editLogLine(QDateTime::currentDateTime(), position, reference, data), &error_);
}

bool TEdits::saveList(int slot) {
  return kov::saveList(db_.appliedFolder(), db_.appliedTable().slot(slot), db_.list(slot), &error_);
}

bool TEdits::saveSelection(int slot) {
  return kov::saveSelection(db_.appliedFolder(), db_.appliedTable().slot(slot), db_.selection(slot), &error_);
}

void TEdits::loadEditInfo(const RegistryStore& registry) { db_.readEditStatistics(registry); }

bool TEdits::saveEditInfo(const RegistryStore& registry) {
  IniFile ini;
  // The main name is already the main file's name without ".WL0"; it names the key as the
  // reader builds it (a name with a dot must not lose its tail here).
  if (!registry.open(QStringLiteral("EditInfo\\WL\\") + db_.appliedMainName(), ini, &error_))
    return false;
  const TWl& t = db_.appliedTable();
  for (int k = 1; k < t.slotCount; ++k) {
    const Tsubl& s = t.slot(k);
    const QString section = withoutExtension(s.fileName);
    ini.writeInteger(section, QStringLiteral("EditCnt"), s.editCnt);
    ini.writeFloat(section, QStringLiteral("lastLB"), s.lastLB);
    ini.writeFloat(section, QStringLiteral("lastUB"), s.lastUB);
  }
  return ini.save(&error_);
}

}  // namespace kov
