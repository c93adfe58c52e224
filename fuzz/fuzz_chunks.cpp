// The chunk walker on arbitrary bytes: flat walks, and nested walks that descend into
// every header as the verse-index readers do.
#include <cstddef>
#include <cstdint>

#include "db/ChunkHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  kov::ChunkWalker flat(bytes);
  kov::Chunk c;
  uint64_t sum = 0;
  while (flat.next(c)) {
    if (c.end() > bytes.size() || c.payload.size() != c.header.payloadSize()) __builtin_trap();
    if (const auto payload = kov::decodePayload(c))
      for (char b : *payload) sum += uint8_t(b);
  }
  kov::ChunkWalker nested(bytes);
  while (nested.readHeader()) {
  }
  return int(sum & 0);
}
