#include "db/StreamLimits.h"

namespace kov {

namespace {
std::int32_t gMaxStreamPos = 0;
}

std::int32_t MaxStreamPos() { return gMaxStreamPos; }

void raiseMaxStreamPos(std::int32_t position) {
  if (position > gMaxStreamPos) gMaxStreamPos = position;
}

}  // namespace kov
