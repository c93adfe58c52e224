#pragma once
#include <cstdint>
#include <functional>

namespace kov {

// Colours as stored: $BBGGRR (red in the low byte). A value with its high byte set names a
// system colour (0xFF000000 | index), whose RGB only the display layer knows.
using StoredColor = std::uint32_t;

// Turns a system colour into its current $BBGGRR value.
using SystemColorResolver = std::function<StoredColor(StoredColor)>;

inline bool isSystemColor(StoredColor c) { return (c & 0xFF000000u) != 0; }

// Moves c1 toward c2 by the fraction f, channel by channel, rounding halves to even:
// f = 0 gives c1, f = 1 gives c2. System colours go through resolve first; without a
// resolver only their low 24 bits are used. The result is a plain $BBGGRR colour.
StoredColor blendColor(StoredColor c1, StoredColor c2, double f,
                       const SystemColorResolver& resolve = {});

}  // namespace kov
