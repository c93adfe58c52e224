#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "db/VerseRef.h"
#include "db/cIndexPos.h"

namespace kov {

class TCalcpos;

// How verses are found in the interlinear word stream (the database provides it).
class TStreamVerses {
 public:
  virtual ~TStreamVerses() = default;
  // Position of the marker cell of `verse`, searching from a chapter's start position.
  virtual std::int32_t findVerse(std::int32_t chapterStart, int verse) = 0;
  // Verse number and mark of the nearest verse marker at or before `position`.
  virtual void verseAt(std::int32_t position, std::int16_t& verse, char& mark) = 0;
};

// How verses are found in the code stream of translation slot 1..10.
class TTranslationVerses {
 public:
  virtual ~TTranslationVerses() = default;
  // Moves the slot's reader from a chapter's start to `verse`; returns its position.
  virtual std::int32_t goToVerse(int slot, std::int32_t chapterStart, int verse) = 0;
  // Moves the slot's reader to `position`; returns the verse number there.
  virtual std::int16_t verseAt(int slot, std::int32_t position) = 0;
};

// The reference operations over the process's calculators: n = 0 is the interlinear
// database, n = 1..10 a translation slot. Calculators and lookups are not owned; a
// missing one makes the operations give their "nothing" result.
class TReferences {
 public:
  static constexpr int Slots = 11;

  void setCalculator(int n, TCalcpos* calc);
  TCalcpos* calculator(int n) const;
  void setStreamVerses(TStreamVerses* s) { stream_ = s; }
  void setTranslationVerses(TTranslationVerses* t) { translations_ = t; }

  // Position of ref's verse; -1 when ref's book or chapter is not in the table (rather
  // than a position in some other book) or no calculator or lookup is set.
  std::int32_t refToPosition(int n, const VerseRef& ref);
  // The reference of a position (verse and mark from the stream for n = 0, verse from
  // the translation for n >= 1 with a blank mark). An empty reference (no code, verse
  // -1) when the calculator has no chapters.
  VerseRef positionToRef(int n, std::int32_t position);
  // As positionToRef without the verse (verse -1).
  VerseRef positionToChapter(int n, std::int32_t position);
  // "<name> <chapter>:<verse>", chapter and verse right-aligned in 3 places; the book's
  // full name when `name` is true, its abbreviation otherwise.
  std::string formatRef(int n, const VerseRef& ref, bool name);
  // Whether ref's book code is in calculator n's table (selects it).
  bool sameBook(int n, const VerseRef& ref);
  // Order by book (its number looked up from the code in calculator n; an unknown code
  // counts as book 1), then chapter, then verse. The verse mark is not compared.
  bool refAfter(int n, const VerseRef& a, const VerseRef& b);
  bool refAfterOrEqual(int n, const VerseRef& a, const VerseRef& b);
  bool refEqual(int n, const VerseRef& a, const VerseRef& b);
  // Bible-wide verse number, New Testament first (Matthew 1:1 = 1, Old Testament from
  // 7958), counted with slot 1's calculator; 0 when it has no Matthew 1.
  int serialVerse(const VerseRef& ref);

 private:
  int bookNumberOf(int n, const VerseRef& ref);
  std::array<TCalcpos*, Slots> calcs_{};
  TStreamVerses* stream_ = nullptr;
  TTranslationVerses* translations_ = nullptr;
};

// Reference from verse-index keys: code = first 3 characters of the book key, chapter
// and verse = the leading digits of their keys (1 when there are none).
VerseRef keysToRef(const tbcvs& keys);
// "<code> <chapter>:<verse>" as sent to other programs; "LUC" is written "LUK".
std::string refToText(const VerseRef& ref);
// A copy with the code "LUC" replaced by "LUK".
VerseRef refForExport(const VerseRef& ref);
// The compact form "MAT5:3" / "mat 5:3" (missing parts give MAT 1:1). No value when the
// chapter is not a number 0..255 or the verse does not fit: the message is not acted on.
std::optional<VerseRef> refFromText(std::string_view text);
// The dotted form "JOH.3:16"; any other text gives MAT 1:1. No value when the chapter or
// verse is not a decimal number in range.
std::optional<VerseRef> refFromDottedText(std::string_view text);

}  // namespace kov
