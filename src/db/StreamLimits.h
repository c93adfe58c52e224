#pragma once
#include <cstdint>

namespace kov {

// The largest stream position of any text read so far (the interlinear word stream and
// the translations' code streams). Hit maps and other per-position tables are sized by it.
std::int32_t MaxStreamPos();
// Raises the value to `position` when it is larger; never lowers it.
void raiseMaxStreamPos(std::int32_t position);

}  // namespace kov
