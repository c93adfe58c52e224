// Stacking the lines inside a cell, fitting cells into rows, justifying and mirroring them.
#include <algorithm>
#include <cmath>

#include "db/cIntLin.h"
#include "display/UTxtDrw.h"
#include "display/cRenderTxt.h"

namespace kov {

namespace {
int roundHalfAway(double v) { return static_cast<int>(std::lround(v)); }
}  // namespace

void TTxtDrw::LayoutLines(int presentation, int sublinearCount) {
  const TWl& table = db_.appliedTable();
  const int p = std::clamp(presentation, 0, kPresentations - 1);
  const PresentationMetrics& pm = table.presentations[std::size_t(p)];
  const double s = view_.scale();
  const int count = std::clamp(sublinearCount, 0, 20);
  TLineLayout L;
  lineOf_.fill(-1);
  r_.canvas = nullptr;
  for (int j = 0; j < count && L.lineCount < TLineLayout::kMaxLines; ++j)
    if (table.slot(j).visible) {
      lineOf_[std::size_t(j)] = L.lineCount;
      L.sublinear[std::size_t(L.lineCount++)] = j;
    }
  const int mode = opts_.showVarMode();
  const bool vertical = mode == 1 || mode == 2;
  int shown = 0;
  const int variants = std::min<int>(5, int(db_.variants().size()));
  for (int v = 0; v < variants; ++v)
    if (opts_.flag(LineOptions::VariantBool1 + v)) {
      L.shownVariants[std::size_t(shown++)] = v;
      L.lastVariant = v;
    }

  int top = roundHalfAway(pm.dyFirst * s);
  int full = top;
  for (int j = 0; j < count; ++j) {
    r_.SelectFont(0, j, 0);
    const int asc = roundHalfAway(r_.ascent());
    const int h = roundHalfAway(r_.height());
    const TslFont& f = table.slot(j).fonts[std::size_t(p)];
    const int k = lineOf_[std::size_t(j)];
    if (k >= 0) {
      L.top[std::size_t(k)] = top;
      L.baseline[std::size_t(k)] = top + asc + roundHalfAway(s * f._WL_dyH);
      if (j == 0 && vertical) {
        L.variantLines = shown;
        L.variantLineHeight = h;
        top += h * std::max(1, shown);
      } else {
        top += h;
      }
    }
    L.fullTop[std::size_t(j)] = full;
    L.fullBaseline[std::size_t(j)] = full + asc + roundHalfAway(s * f._WL_dyH);
    full += h;
    const int around = roundHalfAway(s * (f._WL_dyH + f._WL_dyL));
    if (k >= 0) top += around;
    full += around;
  }
  L.top[std::size_t(L.lineCount)] = top;
  const int tail = roundHalfAway(s * (pm.dyLast + pm.dyLine));
  L.rowHeight = top + tail;
  L.fullHeight = full + tail;
  layout_ = L;
}

int TTxtDrw::RowX(int x) const {
  return opts_.flag(LineOptions::Right2Left) ? rowRight_ - x : rowLeft_ + x;
}

int TTxtDrw::CellLeft(int contentX, int width) const {
  return opts_.flag(LineOptions::Right2Left) ? rowRight_ - contentX - width : rowLeft_ + contentX;
}

int TTxtDrw::LineOrigin(int x, int lineWidth, bool lineRtl) const {
  if (!opts_.flag(LineOptions::Right2Left)) return lineRtl ? rowLeft_ + x + lineWidth : rowLeft_ + x;
  return lineRtl ? rowRight_ - x : rowRight_ - x - lineWidth;
}

void TTxtDrw::HeadingDrawn() {
  headingPending_ = false;
  ignoreFirstFlags_ = true;
}

void TTxtDrw::DrawRow(int rowLeft, int rowRight, int y, bool perRowItems) {
  ViewTables& t = tables();
  perRowItems_ = perRowItems;
  rowY_ = y;
  rowFirst_ = cur_;
  lastFit_ = rowFirst_ - 1;
  rowVerses_.clear();
  endedAtVerse_ = false;
  noJustify_ = false;
  extraPerGap_ = 0;
  const std::int32_t passageLength = last_ - first_ + 1;
  const std::int32_t startPos = pos_;
  if (pos_ >= passageLength) {
    endOfPassage_ = true;
    return;
  }

  // First pass: build and fit.
  BuildRow(rowLeft, rowRight);
  const int built = cur_;
  const int avail = rowRight - rowLeft;
  const bool headings = view_.headingRows;
  const bool nvnl = opts_.flag(LineOptions::Nvnl);
  const bool ignoreFlags = ignoreFirstFlags_;
  ignoreFirstFlags_ = false;
  if (built > rowFirst_) {
    t.cells[std::size_t(rowFirst_)].spaceBefore = 0;
    t.cells[std::size_t(rowFirst_)].gapBefore = 0;
  }
  int used = 0, gaps = 0, fitUsed = 0, fitGaps = 0;
  for (int i = rowFirst_; i < built; ++i) {
    const DisplayCell& c = t.cells[std::size_t(i)];
    const DisplayCell* next = i + 1 < built ? &t.cells[std::size_t(i + 1)] : nullptr;
    const bool hasCells = lastFit_ >= rowFirst_;
    if (c.kind == DisplayCell::Verse) {
      const bool ignore = i == rowFirst_ && ignoreFlags;
      const bool heading = !ignore && c.headingFlag;
      const bool brk = !ignore && c.breakFlag;
      if ((brk && hasCells) || (heading && headings)) {
        noJustify_ = true;
        if (heading && headings) headingPending_ = true;
        break;
      }
      if (nvnl && hasCells) {
        endedAtVerse_ = true;
        noJustify_ = true;
        break;
      }
    }
    const int adv = c.advance();
    // A cell that fits no row at all still takes a row of its own, or the page would never move on.
    if (!(c.noOverflow || (next && next->keepWithPrevious)) && used + adv > avail && hasCells) break;
    lastFit_ = i;
    fitUsed = used + adv;
    fitGaps = gaps;
    if (next && c.gapAfter && next->gapBefore) ++gaps;
    used += adv + c.spaceAfter;
  }
  if (lastFit_ >= rowFirst_) {
    const DisplayCell& lc = t.cells[std::size_t(lastFit_)];
    pos_ = lc.streamPos - first_ + (lc.kind == DisplayCell::Verse ? 2 : 1);
  } else if (!headingPending_ && built == rowFirst_) {
    pos_ = passageLength;  // only hidden words were left
  } else {
    pos_ = startPos;
  }
  if (opts_.flag(LineOptions::Justify) && !noJustify_) {
    extraPerGap_ = double(avail - fitUsed) / double(std::max(fitGaps, 1));
    if (extraPerGap_ < 0) extraPerGap_ = 0;
  }

  // Second pass: place and draw.
  double a = 0, j = 0;
  const int ruleHeight = db_.appliedTable().presentations[0].dyLine;
  for (int i = rowFirst_; i <= lastFit_; ++i) {
    DisplayCell& c = t.cells[std::size_t(i)];
    const int x = static_cast<int>(std::lround(a + j));
    const int contentX = x + c.spaceBefore + c.extraLeft;
    c.x = CellLeft(contentX, c.width);
    c.rowRuleTop = y - ruleHeight;
    if (c.x < view_.visibleLeft || c.x + c.width > view_.visibleRight) {
      c.greyed = 1;
      c.effects = 0;
    }
    if (!view_.layoutOnly && c.decoration) drawDecoration(i, contentX, y);
    if (c.kind == DisplayCell::Word) {
      c.verseCounter = verseLabelCounter_;
      drawWordCell(i, contentX, y);
    } else if (c.kind == DisplayCell::Verse) {
      drawVerseCell(i, contentX, y);
    }
    a += c.spaceBefore + c.width + c.spaceAfter + c.extraLeft + c.extraRight;
    if (i + 1 < built && c.gapAfter && t.cells[std::size_t(i + 1)].gapBefore) j += extraPerGap_;
  }

  // Cells built past the row are built again for the next one.
  cur_ = lastFit_ + 1;
  t.count = cur_;
  t.cells[std::size_t(cur_)].reset(gap_);
  while (!t.hitList.empty() && t.hitList.back() >= cur_) t.hitList.pop_back();
  endOfPassage_ = pos_ >= passageLength;
  // The canvas belongs to the caller's paint; the renderer must not keep it past the row.
  r_.canvas = nullptr;
}

}  // namespace kov
