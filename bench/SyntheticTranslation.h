#pragma once
// A translation of Bible size for the benchmarks: 31,000 verses of 25 words in books of 25
// chapters of 25 verses, the words taken in turn from `words`.
#include <string>
#include <vector>

#include "db/cCalcPos.h"
#include "texts/WordGPWriter.h"

namespace kov::bench {

inline std::vector<TWgpVerse> syntheticTranslation(const std::vector<const char*>& words, TbookTable& names) {
  std::vector<TWgpVerse> verses;
  const int count = int(words.size());
  int n = 0;
  for (int b = 0; b < 62 && n < 31000; ++b) {
    Tbk_rec rec;
    rec.Bks = "B" + std::to_string(10 + b);
    rec.Bkn = rec.Bks;
    rec.chapters = 25;
    rec.testament = 'A';
    names.books.push_back(rec);
    for (int c = 1; c <= 25; ++c)
      for (int v = 1; v <= 25 && n < 31000; ++v, ++n) {
        TWgpVerse verse{rec.Bks, c, v, 0, {}};
        for (int w = 0; w < 25; ++w) verse.words.push_back(words[std::size_t((n + w * 7) % count)]);
        verses.push_back(std::move(verse));
      }
  }
  names.header.Bks = "BEN";
  return verses;
}

}  // namespace kov::bench
