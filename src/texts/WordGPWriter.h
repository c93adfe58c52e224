#pragma once
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/cCalcPos.h"

namespace kov {

// One verse to store: its place, mark character (0 for none) and words in reading order.
struct TWgpVerse {
  std::string book;  // 3-character book code
  int chapter = 1;
  int verse = 1;
  char mark = 0;
  std::vector<std::string> words;
};

// Splits a verse's text into words so that the reader's spacing rule joins them back
// into the same text: blanks separate words, punctuation at a word's edges becomes a
// word of its own, and where the rule would drop or add a blank the pieces stay joined
// or carry the blank. Runs of blanks and blanks at the ends are not kept.
std::vector<std::string> splitVerseText(std::string_view text);

// Everything the six files of a translation hold.
struct TWordGPData {
  std::vector<std::uint8_t> wi1;
  std::vector<std::int32_t> wi2;
  std::string wgp;
  std::vector<std::uint16_t> gd;
  TbookTable books;
  std::vector<Tch_rec> chapters;
};

// Builds the word table (word 0 empty, every distinct form once, a checkpoint every
// 100 words) and the code stream (header word, per verse its marker, flags word and
// word codes, then the closing marker) with the verse index. Books and chapters must
// come in one run each. `names` gives the header record and the names of the books by
// code (a book it lacks is named by its code). No value, with *error set, when the
// verses break the format's limits.
std::optional<TWordGPData> buildWordGP(const std::vector<TWgpVerse>& verses,
                                       const TbookTable& names, QString* error = nullptr);

// Writes <dir>/<name>.WI1, .WI2, .wgp, .GD, .bk and .gdi, each replaced atomically;
// creates the folder when missing.
bool writeWordGPFiles(const QString& dir, const QString& name, const TWordGPData& data,
                      QString* error = nullptr);
bool writeWordGP(const QString& dir, const QString& name, const std::vector<TWgpVerse>& verses,
                 const TbookTable& names, QString* error = nullptr);

}  // namespace kov
