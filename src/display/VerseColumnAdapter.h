#pragma once
#include "display/UTxtDrw.h"

namespace kov {

class TtrnNote;

// Lets the row drawer walk a verse column beside the interlinear rows: each row's verses go into
// the column at the row's height, the verse number in the indent the row drawer leaves for it.
class TVerseColumnAdapter : public IVerseColumn {
 public:
  explicit TVerseColumnAdapter(TtrnNote& column) : col_(column) {}

  // The column's text left before any indent.
  int baseLeft = 0;

  char kind() const override;
  std::int32_t verseKey() const override;
  void moveToVerse(std::int32_t verseKey) override;
  int runningY() const override;
  void setRunningY(int y) override;
  int lineHeight() const override;
  int drawNextVerse(int indent) override;

  TtrnNote& column() { return col_; }

 private:
  TtrnNote& col_;
};

}  // namespace kov
