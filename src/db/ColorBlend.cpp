#include "db/ColorBlend.h"

#include <cmath>

namespace kov {

StoredColor blendColor(StoredColor c1, StoredColor c2, double f,
                       const SystemColorResolver& resolve) {
  auto rgb = [&](StoredColor c) {
    if (isSystemColor(c) && resolve) c = resolve(c);
    return c & 0x00FFFFFFu;
  };
  const StoredColor a = rgb(c1);
  const StoredColor b = rgb(c2);
  StoredColor out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const double ca = (a >> shift) & 0xFF;
    const double cb = (b >> shift) & 0xFF;
    // nearbyint rounds halves to even in the default rounding mode.
    double v = std::nearbyint(ca + f * (cb - ca));
    // A fraction outside 0..1 (or not a number) must not wrap into a neighbouring channel.
    if (!(v >= 0)) v = 0;
    if (v > 255) v = 255;
    out |= static_cast<StoredColor>(v) << shift;
  }
  return out;
}

}  // namespace kov
