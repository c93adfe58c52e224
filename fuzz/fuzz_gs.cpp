// The .gs reader on arbitrary bytes, and the passage operations over what it read.
#include <cstddef>
#include <cstdint>

#include "db/GsFile.h"
#include "db/cIntLin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  kov::TGsContent gs;
  const kov::GsReadResult r = kov::parseGs(bytes, gs);
  if (!r.valid && (gs.hasStream || gs.hasXml || gs.hasChapters)) __builtin_trap();
  kov::ontOf(bytes);

  // Whatever was read must write and read back the same.
  if (const auto saved = kov::buildGsFile(gs)) {
    kov::TGsContent again;
    if (!kov::parseGs(*saved, again).valid || again.stream != gs.stream || again.chapters != gs.chapters)
      __builtin_trap();
  }

  // Every passage operation stays inside the stream, whatever it holds.
  kov::TintLin db;
  db.installGs(std::move(gs));
  kov::LineOptions all;
  all.bytes.fill(1);
  db.appliedOptions() = all;
  const int32_t last = db.lastPosition();
  const int32_t probe = last < 0 ? 0 : int32_t(size % size_t(last + 1));
  db.verseAt(probe);
  db.verseMarkerOf(probe, int(size % 200));
  db.stepVerses(probe, int(size % 7) - 3, size % 2 == 0);
  db.refText(probe);
  db.cellText(0, probe);
  db.countUsage(0);
  return 0;
}
