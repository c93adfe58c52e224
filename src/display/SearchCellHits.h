#pragma once
#include "display/UTxtDrw.h"
#include "search/CSearch.h"

namespace kov {

// The cell assembly's view of the search results: a position is a hit while results are
// shown and the last search ran over the interlinear text.
class TSearchCellHits : public ISearchHits {
 public:
  explicit TSearchCellHits(const TSearch& search) : search_(search) {}
  bool isHit(std::int32_t position) const override { return search_.isInterlinearHit(position); }

 private:
  const TSearch& search_;
};

}  // namespace kov
