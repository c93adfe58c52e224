// Scrolling of the interlinear window: rows inside the page with a smooth scroll, verses and
// chapters beyond it, pages by the rows drawn, and the thumb's preview.
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

#include "db/cIntLin.h"
#include "display/UTxtDrw.h"
#include "ui/TIntLinWin.h"

namespace kov {

void TIntLinWin::newStart(std::int32_t position) {
  smoothTimer_.stop();
  start_ = std::clamp<std::int32_t>(position, 0, std::max(0, db_.lastPosition()));
  scrollRows_ = 0;
  pixelOffset_ = pixelTarget_ = 0;
  Refresh(3);
  emit placeChanged(currentRef());
}

void TIntLinWin::stepVerses(int count) {
  if (start_ < 0 || count == 0) return;
  // One step back from inside a verse reaches its own marker; from a marker, the one before.
  const TVerseStep s = db_.stepVerses(start_, count, false);
  if (s.verse >= 0 && s.position < db_.lastPosition()) newStart(s.position);
}

void TIntLinWin::stepChapters(int count) {
  if (start_ < 0) return;
  TCalcpos& calc = db_.calc();
  calc.setPosition(start_);
  const int record = std::clamp(calc.BkCr() + count, 0, calc.chapterCount() - 1);
  newStart(calc.chapterRecord(record).position);
}

void TIntLinWin::RowDown(bool shift) {
  if (start_ < 0) return;
  if (!verseComplete_) {
    // Inside a verse longer than the page: rows, up to ten, then nothing until it ends.
    if (scrollRows_ < kMaxScrollRows) {
      ++scrollRows_;
      startSmoothScroll();
    }
    return;
  }
  shift ? stepChapters(1) : stepVerses(1);
}

void TIntLinWin::RowUp(bool shift) {
  if (start_ < 0) return;
  if (scrollRows_ > 0) {
    --scrollRows_;
    startSmoothScroll();
    return;
  }
  shift ? stepChapters(-1) : stepVerses(-1);
}

void TIntLinWin::startSmoothScroll() {
  pixelTarget_ = scrollRows_ * drw_->lines().rowHeight;
  // Started 50 ms ago, so the first step already moves.
  smoothClock_.start();
  smoothStartOffset_ = 50;
  smoothStep();
  if (pixelOffset_ != pixelTarget_) smoothTimer_.start();
}

void TIntLinWin::smoothStep() {
  const int step = std::max<int>(1, int((smoothClock_.elapsed() + smoothStartOffset_) / 10));
  pixelOffset_ = pixelOffset_ < pixelTarget_ ? std::min(pixelOffset_ + step, pixelTarget_)
                                             : std::max(pixelOffset_ - step, pixelTarget_);
  Refresh(3);
  if (pixelOffset_ == pixelTarget_) smoothTimer_.stop();
}

void TIntLinWin::finishSmoothScroll() {
  smoothTimer_.stop();
  if (pixelOffset_ == pixelTarget_) return;
  pixelOffset_ = pixelTarget_;
  Refresh(3);
}

void TIntLinWin::PageDown() {
  if (rowStarts_.empty()) return;
  newStart(rowStarts_.back());
}

void TIntLinWin::PageUp() {
  if (start_ < 0) return;
  newStart(std::max<std::int32_t>(1, start_ - std::max<std::int32_t>(1, lastPageSpan_ / 2)));
}

void TIntLinWin::ShowThumbPlace(int delta) {
  if (start_ < 0) return;
  thumbDelta_ = std::clamp(delta, -kThumbRange, kThumbRange);
  const TVerseStep s = db_.stepVerses(start_, thumbDelta_, false);
  setPlaceLabel(placeText(s.verse >= 0 ? s.position : start_));
}

void TIntLinWin::GoThumbPlace() {
  const int delta = thumbDelta_;
  thumbDelta_ = 0;
  {
    const QSignalBlocker block(scroll_);
    scroll_->setValue(0);
  }
  stepVerses(delta);
  if (delta == 0) UpdateHeader();
}

void TIntLinWin::scrollBarAction(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
      RowDown();
      break;
    case QAbstractSlider::SliderSingleStepSub:
      RowUp();
      break;
    case QAbstractSlider::SliderPageStepAdd:
      PageDown();
      break;
    case QAbstractSlider::SliderPageStepSub:
      PageUp();
      break;
    default:
      return;  // the thumb: previewed while it moves, taken when it is let go
  }
  // The bar itself never moves for these: it stays in the middle.
  scroll_->setSliderPosition(0);
}

}  // namespace kov
