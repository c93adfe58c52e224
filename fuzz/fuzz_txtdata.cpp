// The verse-indexed text reader on arbitrary bytes: open, look up, read every verse.
#include <cstddef>
#include <cstdint>

#include "db/cTxtData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kov::TtxtData t;
  if (!t.openBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)))) return 0;
  const kov::T2IDX& books = t.index().level(0);
  const kov::T2IDX& chapters = t.index().level(1);
  const kov::T2IDX& verses = t.index().level(2);
  if (books.size() == 0 || chapters.size() == 0 || verses.size() == 0) return 0;
  if (t.gotoVerse({books.key(0), chapters.key(0), verses.key(0)})) {
    size_t total = 0;
    for (int i = 0; i <= verses.size(); ++i) total += t.readVerse().size();
    if (total > size_t(t.textSize())) __builtin_trap();
  }
  return 0;
}
