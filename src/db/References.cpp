#include "db/References.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "db/cCalcPos.h"

namespace kov {

namespace {

std::string upper3(std::string_view s) {
  std::string out(s.substr(0, 3));
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal number: optional leading blanks, then only digits, at most `max`.
std::optional<int> decimal(std::string_view s, int max) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  if (i == s.size()) return std::nullopt;
  long v = 0;
  for (; i < s.size(); ++i) {
    if (!isDigit(s[i])) return std::nullopt;
    v = v * 10 + (s[i] - '0');
    if (v > max) return std::nullopt;
  }
  return static_cast<int>(v);
}

VerseRef startRef() {
  VerseRef r;
  r.Bks = "MAT";
  r.chapter = 1;
  r.verse = 1;
  return r;
}

}  // namespace

void TReferences::setCalculator(int n, TCalcpos* calc) {
  if (n >= 0 && n < Slots) calcs_[std::size_t(n)] = calc;
}

TCalcpos* TReferences::calculator(int n) const {
  return n >= 0 && n < Slots ? calcs_[std::size_t(n)] : nullptr;
}

std::int32_t TReferences::refToPosition(int n, const VerseRef& ref) {
  TCalcpos* c = calculator(n);
  if (!c) return -1;
  if (n == 0 ? !stream_ : !translations_) return -1;
  c->setBks(ref.Bks);
  if (!c->found()) return -1;
  c->setChapter(ref.chapter);
  if (c->BkCr() < 0) return -1;
  const std::int32_t start = c->Position();
  return n == 0 ? stream_->findVerse(start, ref.verse)
                : translations_->goToVerse(n, start, ref.verse);
}

VerseRef TReferences::positionToChapter(int n, std::int32_t position) {
  VerseRef r;
  TCalcpos* c = calculator(n);
  if (!c) return r;
  c->setPosition(position);
  if (!c->found()) return r;
  r.Bka = c->Bka();
  r.Bks = c->Bks();
  r.bookNr = static_cast<std::uint8_t>(c->Bnr());
  r.chapter = static_cast<std::uint8_t>(c->Chapter());
  return r;
}

VerseRef TReferences::positionToRef(int n, std::int32_t position) {
  VerseRef r = positionToChapter(n, position);
  if (r.Bks.empty()) return r;
  if (n == 0) {
    if (stream_) stream_->verseAt(position, r.verse, r.verseMark);
  } else if (translations_) {
    r.verse = translations_->verseAt(n, position);
    r.verseMark = ' ';
  }
  return r;
}

std::string TReferences::formatRef(int n, const VerseRef& ref, bool name) {
  std::string book;
  if (TCalcpos* c = calculator(n)) {
    c->setBks(ref.Bks);
    book = name ? c->Bkn() : c->Bka();
  }
  char tail[32];
  std::snprintf(tail, sizeof tail, " %3d:%3d", int(ref.chapter), int(ref.verse));
  return book + tail;
}

bool TReferences::sameBook(int n, const VerseRef& ref) {
  TCalcpos* c = calculator(n);
  if (!c) return false;
  c->setBks(ref.Bks);
  return c->found();
}

int TReferences::bookNumberOf(int n, const VerseRef& ref) {
  TCalcpos* c = calculator(n);
  if (!c) return 1;
  c->setBks(ref.Bks);
  return c->Bnr();
}

bool TReferences::refAfter(int n, const VerseRef& a, const VerseRef& b) {
  const int ba = bookNumberOf(n, a), bb = bookNumberOf(n, b);
  if (bb != ba) return bb < ba;
  if (b.chapter != a.chapter) return b.chapter < a.chapter;
  return b.verse < a.verse;
}

bool TReferences::refEqual(int n, const VerseRef& a, const VerseRef& b) {
  return bookNumberOf(n, a) == bookNumberOf(n, b) && a.chapter == b.chapter &&
         a.verse == b.verse;
}

bool TReferences::refAfterOrEqual(int n, const VerseRef& a, const VerseRef& b) {
  return refAfter(n, a, b) || refEqual(n, a, b);
}

int TReferences::serialVerse(const VerseRef& ref) {
  TCalcpos* c = calculator(1);
  if (!c) return 0;
  c->setBks("MAT");
  if (!c->found()) return 0;
  c->setChapter(1);
  const int m = c->BkCr();
  if (m < 0) return 0;
  c->setBks(ref.Bks);
  c->setChapter(ref.chapter);
  const int idx = c->BkCr();
  int sum = ref.verse;
  if (idx >= m) {
    for (int i = m; i < idx; ++i) sum += c->chapterRecord(i).verses;
    return sum;
  }
  for (int i = 0; i < idx; ++i) sum += c->chapterRecord(i).verses;
  return 7957 + sum;
}

VerseRef keysToRef(const tbcvs& keys) {
  auto leading = [](const std::string& k) {
    int v = 0;
    std::size_t i = 0;
    for (; i < k.size() && isDigit(k[i]) && v < 100000; ++i) v = v * 10 + (k[i] - '0');
    return i == 0 ? 1 : v;
  };
  VerseRef r;
  r.Bks = keys.book.substr(0, 3);
  r.chapter = static_cast<std::uint8_t>(std::min(leading(keys.chapter), 255));
  r.verse = static_cast<std::int16_t>(std::min(leading(keys.verse), 32767));
  return r;
}

std::string refToText(const VerseRef& ref) {
  const std::string code = ref.Bks == "LUC" ? std::string("LUK") : ref.Bks;
  return code + " " + std::to_string(ref.chapter) + ":" + std::to_string(ref.verse);
}

VerseRef refForExport(const VerseRef& ref) {
  VerseRef r = ref;
  if (r.Bks == "LUC") r.Bks = "LUK";
  return r;
}

std::optional<VerseRef> refFromText(std::string_view text) {
  VerseRef r = startRef();
  if (text.size() > 3) r.Bks = upper3(text);
  const std::size_t colon = text.find(':');
  if (colon != std::string_view::npos && colon >= 4) {
    const auto chapter = decimal(text.substr(3, colon - 3), 255);
    if (!chapter) return std::nullopt;
    r.chapter = static_cast<std::uint8_t>(*chapter);
    std::size_t i = colon + 1, end = i;
    while (end < text.size() && isDigit(text[end])) ++end;
    if (end > i) {
      const auto verse = decimal(text.substr(i, end - i), 32767);
      if (!verse) return std::nullopt;
      r.verse = static_cast<std::int16_t>(*verse);
    }
  }
  return r;
}

std::optional<VerseRef> refFromDottedText(std::string_view text) {
  VerseRef r = startRef();
  if (text.find('.') != 3) return r;
  r.Bks = upper3(text);
  const std::size_t colon = text.find(':');
  if (colon != std::string_view::npos && colon > 3) {
    const auto chapter = decimal(text.substr(4, colon - 4), 255);
    const auto verse = decimal(text.substr(colon + 1), 32767);
    if (!chapter || !verse) return std::nullopt;
    r.chapter = static_cast<std::uint8_t>(*chapter);
    r.verse = static_cast<std::int16_t>(*verse);
  }
  return r;
}

}  // namespace kov
