#include "display/WordListCharMap.h"

namespace kov {

CharMap toCharMap(const TCharMap& map) {
  CharMap out{};
  for (std::size_t b = 0; b < map.size(); ++b) out[b] = {map[b].first, map[b].target, map[b].third};
  return out;
}

}  // namespace kov
