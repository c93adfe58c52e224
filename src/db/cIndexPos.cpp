#include "db/cIndexPos.h"

#include <algorithm>

namespace kov {

std::string T2IDX::key(int e) const {
  if (e < 0 || e >= size()) return {};
  const std::int32_t k = entries[std::size_t(e)].key;
  if (k < 0 || std::size_t(k) + 1 >= starts.size()) return {};
  const std::int64_t from = starts[std::size_t(k)], to = starts[std::size_t(k) + 1];
  if (from < 1 || to < from || std::size_t(to - 1) > keys.size()) return {};
  return keys.substr(std::size_t(from - 1), std::size_t(to - from));
}

std::int32_t T2IDX::link(int e) const {
  if (e < 0 || e >= size()) return 0;
  return entries[std::size_t(e)].link;
}

T2IDX T2IDX::make(const std::vector<std::string>& keys, const std::vector<std::int32_t>& links) {
  T2IDX out;
  out.starts.push_back(1);
  const std::size_t n = std::min(keys.size(), links.size());
  for (std::size_t i = 0; i < n; ++i) {
    out.keys += keys[i];
    out.starts.push_back(static_cast<std::int32_t>(out.keys.size() + 1));
    out.entries.push_back({static_cast<std::int32_t>(i), links[i]});
  }
  return out;
}

namespace {

bool checkLevel(const T2IDX& l, const char* name, std::int32_t linkLimit, bool ascendingLinks,
                std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = std::string(name) + ": " + why;
    return false;
  };
  if (l.entries.empty()) return fail("no closing entry");
  if (l.starts.empty() || l.starts[0] != 1) return fail("key starts must begin at 1");
  for (std::size_t i = 1; i < l.starts.size(); ++i)
    if (l.starts[i] < l.starts[i - 1] || std::size_t(l.starts[i] - 1) > l.keys.size())
      return fail("key start " + std::to_string(i) + " out of range");
  for (std::size_t e = 0; e < l.entries.size(); ++e) {
    const auto& en = l.entries[e];
    const bool closing = e + 1 == l.entries.size();
    if (!closing && (en.key < 0 || std::size_t(en.key) + 1 >= l.starts.size()))
      return fail("entry " + std::to_string(e) + " has key index " + std::to_string(en.key));
    if (en.link < 0 || (linkLimit >= 0 && en.link > linkLimit))
      return fail("entry " + std::to_string(e) + " has link " + std::to_string(en.link));
    if (ascendingLinks && e > 0 && en.link < l.entries[e - 1].link)
      return fail("entry " + std::to_string(e) + " links before the entry before it");
  }
  return true;
}

}  // namespace

bool Tindexpos::setLevels(T2IDX books, T2IDX chapters, T2IDX verses, std::string* error) {
  // Book links point into the chapter level and chapter links into the verse level; the
  // closing entries may point at the closing entry below. Verse links are text offsets.
  if (!checkLevel(verses, "verses", -1, true, error)) return false;
  if (!checkLevel(chapters, "chapters", verses.size() - 1, true, error)) return false;
  if (!checkLevel(books, "books", chapters.size() - 1, true, error)) return false;
  levels_[0] = std::move(books);
  levels_[1] = std::move(chapters);
  levels_[2] = std::move(verses);
  cursor_ = saved_ = Cursor{};
  offset_ = -1;
  refreshKeys();
  return true;
}

void Tindexpos::saveCursor() {
  saved_ = cursor_;
  refreshKeys();
}

void Tindexpos::refreshKeys() {
  keys_ = {levels_[0].key(saved_.book), levels_[1].key(saved_.chapter),
           levels_[2].key(saved_.verse)};
}

std::int32_t Tindexpos::find(const tbcvs& keys) {
  offset_ = -1;
  if (empty()) return offset_;
  const T2IDX& B = levels_[0];
  const T2IDX& C = levels_[1];
  const T2IDX& V = levels_[2];
  int b = 0;
  while (b < lastEntry(0) && B.key(b) != keys.book) ++b;
  if (b >= lastEntry(0)) return offset_;
  cursor_.book = b;
  // Links were checked to ascend, so a book's chapters end where the next book's begin.
  int c = B.link(b);
  const int cEnd = B.link(b + 1);
  while (c < cEnd && C.key(c) != keys.chapter) ++c;
  if (c >= cEnd) {
    saveCursor();
    return offset_;
  }
  cursor_.chapter = c;
  int v = C.link(c);
  cursor_.verse = v;
  offset_ = V.link(v);
  const int vEnd = C.link(c + 1);
  while (v < vEnd && V.key(v) != keys.verse) ++v;
  if (v < vEnd) {
    cursor_.verse = v;
    offset_ = V.link(v);
  }
  saveCursor();
  return offset_;
}

bool Tindexpos::step(int count) {
  if (empty()) return false;
  const T2IDX& B = levels_[0];
  const T2IDX& C = levels_[1];
  const T2IDX& V = levels_[2];
  bool ok = true;
  for (; count > 0; --count) {
    if (cursor_.verse >= lastEntry(2)) break;
    ++cursor_.verse;
    while (cursor_.chapter + 1 < lastEntry(1) && cursor_.verse >= C.link(cursor_.chapter + 1))
      ++cursor_.chapter;
    while (cursor_.book + 1 < lastEntry(0) && cursor_.chapter >= B.link(cursor_.book + 1))
      ++cursor_.book;
  }
  for (; count < 0; ++count) {
    if (cursor_.verse <= 0) {
      ok = false;
      break;
    }
    --cursor_.verse;
    while (cursor_.chapter > 0 && cursor_.verse < C.link(cursor_.chapter)) --cursor_.chapter;
    while (cursor_.book > 0 && cursor_.chapter < B.link(cursor_.book)) --cursor_.book;
  }
  if (cursor_.verse >= lastEntry(2)) ok = false;
  offset_ = V.link(cursor_.verse);
  return ok;
}

bool Tindexpos::stepSaved(int count) {
  cursor_ = saved_;
  const bool ok = step(count);
  saveCursor();
  return ok;
}

void Tindexpos::locate(int verseEntry) {
  if (empty()) return;
  const T2IDX& B = levels_[0];
  const T2IDX& C = levels_[1];
  if (verseEntry < 0) verseEntry = 0;
  if (verseEntry > lastEntry(2)) verseEntry = lastEntry(2);
  cursor_.verse = verseEntry;
  int b = lastEntry(0) - 1;
  while (b > 0 && C.link(B.link(b)) > verseEntry) --b;
  cursor_.book = b < 0 ? 0 : b;
  int c = lastEntry(1) - 1;
  while (c > 0 && C.link(c) > verseEntry) --c;
  cursor_.chapter = c < 0 ? 0 : c;
  offset_ = levels_[2].link(verseEntry);
  saveCursor();
}

}  // namespace kov
