// The .gs reader on arbitrary bytes, and the passage operations over what it read.
#include <cstddef>
#include <cstdint>

#include "db/GsFile.h"
#include "db/cCalcPos.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  kov::TGsContent gs;
  const kov::GsReadResult r = kov::parseGs(bytes, gs);
  if (!r.valid && (gs.hasStream || gs.hasXml || gs.hasChapters)) __builtin_trap();
  kov::ontOf(bytes);

  kov::TCalcpos calc;
  calc.setTables(gs.books, gs.chapters);
  calc.setPosition(int32_t(size));

  // Whatever was read must write and read back the same.
  if (const auto saved = kov::buildGsFile(gs)) {
    kov::TGsContent again;
    if (!kov::parseGs(*saved, again).valid || again.stream != gs.stream || again.chapters != gs.chapters)
      __builtin_trap();
  }
  return 0;
}
