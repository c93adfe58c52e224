// Word-list, header-only and selection readers, and the header rewrite, on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "db/cWordList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  kov::Tsubl slot;
  kov::TWordList list;
  kov::parseList(bytes, QStringLiteral("fuzz.wl"), slot, list);
  if (slot.entryCount != list.count) __builtin_trap();

  // Whatever loaded must save, unless it holds content the format cannot (over-long XML).
  if (const auto saved = kov::buildListFile(slot, list)) {
    kov::Tsubl again;
    kov::TWordList listAgain;
    const kov::WlLoadResult r = kov::parseList(*saved, QStringLiteral("fuzz.wl"), again, listAgain);
    if (r.missing != 0 || listAgain.entries != list.entries) __builtin_trap();
  }

  kov::Tsubl header;
  kov::parseListHeader(bytes, QStringLiteral("fuzz.wl"), header);
  kov::rewriteHeaderBytes(bytes, slot);

  kov::TSelection selection;
  kov::parseSelection(bytes, selection);
  return 0;
}
