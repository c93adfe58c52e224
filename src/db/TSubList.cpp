#include "db/TSubList.h"

#include <QDateTime>

#include <algorithm>

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
  for (std::int32_t steps = 0; steps <= list.highIndex() && l.count() < TSubList::kMaxItems; ++steps) {
    const Twlistrec& e = list.entries[std::size_t(at)];
    l.items.push_back({e.text, 0, 0});
    l.links.push_back({e.next, e.flags});
    if (e.next == head || e.next == 0 || !list.contains(e.next)) break;
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
        std::swap(list.links[std::size_t(i)], list.links[std::size_t(i + 1)]);
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
  for (const Twcs& i : list.items)
    if (i.text.size() > 255) return fail(QStringLiteral("a rendering longer than 255 characters"));
  list.links.resize(list.items.size());

  TWordList& wl = db_.list(list.slot);
  if (!wl.contains(list.head)) return fail(QStringLiteral("no such word form"));
  std::int32_t n = wl.count;  // the next free entry
  std::int32_t w = list.head;
  const int last = list.count() - 1;
  for (int i = 0;; ++i) {
    const std::string& text = list.items[std::size_t(i)].text;
    const std::int32_t e = list.links[std::size_t(i)].next;
    if (i == last) {
      // The last item always closes the ring, whatever entry it came from.
      wl.entries[std::size_t(w)] = {0, list.head, text};
      break;
    }
    if (e > list.head && wl.contains(e)) {
      // The item's old successor entry is reused for the next item.
      wl.entries[std::size_t(w)] = {kInRing, e, text};
      w = e;
    } else {
      wl.ensureAllocated(n);
      wl.entries[std::size_t(w)] = {kInRing, n, text};
      w = n++;
    }
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
  rows = std::min<std::size_t>(rows, TSubList::kMaxItems);
  list.items.resize(rows);
  list.links.resize(rows);
  for (std::size_t i = 0; i < rows; ++i) list.items[i].text = texts[i];
  if (!storeSubList(list)) return -1;
  if (!db_.deferSave && !saveList(list.slot)) return -1;
  if (sorted) renumberSelections(list);
  if (currentRow >= 0) list.selected = currentRow;
  if (assign && focus.slot == list.slot) {
    TSelection& sel = db_.selection(list.slot);
    if (focus.position > 0 && std::size_t(focus.position) < sel.size())
      sel[std::size_t(focus.position)] = std::uint8_t(std::clamp(list.selected, 0, 255));
  }
  if (!db_.deferSave && !saveSelection(list.slot)) return -1;
  return list.selected;
}

bool TEdits::setCellText(const std::string& text, const TFocusedCell& focus) {
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
  if (!db_.deferSave && (!saveList(focus.slot) || !saveSelection(focus.slot))) return false;
  // The reference makes the log readable without the database at hand.
  return writeLog(focus.slot, focus.position, code + '\t' + old + '\t' + text, db_.refText(focus.position));
}

void TEdits::markRange(int slot, std::int32_t from, std::int32_t to, bool none) {
  TSelection& sel = db_.selection(slot);
  from = std::max<std::int32_t>(from, 0);
  to = std::min<std::int32_t>(to, std::int32_t(sel.size()) - 1);
  for (std::int32_t p = from; p <= to; ++p) sel[std::size_t(p)] = none ? kNone : 0;
}

bool TEdits::setEntryText(int slot, std::int32_t index, const std::string& text) {
  TWordList& wl = db_.list(slot);
  if (!wl.contains(index)) return fail(QStringLiteral("no entry %1").arg(index));
  if (text.size() > 255) return fail(QStringLiteral("a rendering longer than 255 characters"));
  wl.entries[std::size_t(index)].text = text;
  db_.appliedTable().slot(slot).listHeader.dateModify = nowAsDays();
  return true;
}

QString TEdits::logPath(int slot) const {
  return db_.appliedFolder() + withoutExtension(db_.appliedTable().slot(slot).fileName) + QStringLiteral(".log");
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

bool TEdits::saveEditInfo(const RegistryStore& registry) {
  IniFile ini;
  if (!registry.open(QStringLiteral("EditInfo\\WL\\") + withoutExtension(db_.appliedMainName()), ini, &error_))
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
