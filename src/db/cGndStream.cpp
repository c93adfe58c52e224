#include "db/cGndStream.h"

#include <QFile>

#include <algorithm>

namespace kov {

void TGndStream::setStream(const std::vector<std::uint16_t>* cells) {
  cells_ = cells;
  fileName_.clear();
}

bool TGndStream::setFile(const QString& path, QString* error) {
  if (path == fileName_ && cells_ == &fileCells_) return true;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    if (error) *error = path + QStringLiteral(" - not found!");
    return false;
  }
  const QByteArray bytes = f.readAll();
  fileCells_.resize(std::size_t(bytes.size() / 2));
  for (std::size_t i = 0; i < fileCells_.size(); ++i)
    fileCells_[i] = std::uint16_t(std::uint8_t(bytes[qsizetype(2 * i)]) |
                                  (std::uint8_t(bytes[qsizetype(2 * i + 1)]) << 8));
  cells_ = &fileCells_;
  fileName_ = path;
  return true;
}

std::uint16_t TGndStream::cellAt(int i) const {
  // Positions outside the source read as the end of a variant run: harmless, never a word.
  if (!cells_ || i < 0 || std::size_t(i) >= cells_->size()) return cell::kVariantEndLast;
  return (*cells_)[std::size_t(i)];
}

void TGndStream::start(const LineOptions& applied) {
  index_ = first;
  verse_ = 0;
  mark_ = ' ';
  markerPos_ = 1;
  verseFlags_ = 0;
  newVerse_ = false;
  variant_ = -1;
  bracket_ = false;
  value_ = 0;
  valuePos_ = first;
  const bool toggles = applied.flag(LineOptions::Toggles);
  const bool comments = applied.flag(LineOptions::TxtCmsShow);
  toggleOn_ = {toggles, toggles, toggles, comments, comments};
  for (int v = 0; v < 5; ++v) variantOn_[std::size_t(v)] = applied.flag(LineOptions::VariantBool1 + v);
  // A walk of a single position still returns its word; only an empty range is at its end.
  end_ = !cells_ || first > last;
  vsMode_ = false;
  verseCounters_ = counters;
}

void TGndStream::moveOn() {
  if (index_ < last)
    ++index_;
  else
    end_ = true;
}

bool TGndStream::isSteppedOver(std::uint16_t c) const {
  const auto n = std::min<std::size_t>(kMaxStepOver, stepOver.size());
  return std::find(stepOver.begin(), stepOver.begin() + std::ptrdiff_t(n), c) != stepOver.begin() + std::ptrdiff_t(n);
}

bool TGndStream::next() {
  enum class Hide { None, Shown, Hidden };
  while (!end_) {
    std::uint16_t c = cellAt(index_);
    bool shown = true;
    variant_ = -1;
    Hide hide = Hide::None;
    while (!cell::isWord(c)) {
      if (cell::isVerse(c)) {
        newVerse_ = true;
        if (!vsMode_) {
          markerPos_ = index_;
          verse_ = c - cell::kVerse;
          verseCounters_ = counters;
        }
        moveOn();  // to the flags cell
        if (end_) break;
        if (!vsMode_) {
          verseFlags_ = cellAt(index_);
          const char m = char(verseFlags_ & 0xFF);
          mark_ = m == 0 ? ' ' : m;
        }
      } else if (c >= cell::kVariantFirst && c <= cell::kVariantLast) {
        const int v = c - 64400;
        if (variantOn_[std::size_t(v - 1)]) {
          variant_ = v;
          hide = Hide::Shown;
        } else if (hide != Hide::Shown) {
          hide = Hide::Hidden;
        }
      } else if (c >= cell::kVariantEndFirst && c <= cell::kVariantEndLast) {
        variant_ = -1;
        if (c == cell::kBracketOn) bracket_ = true;
        if (c == cell::kBracketOff) bracket_ = false;
        hide = Hide::None;
      } else if (c >= cell::kToggleFirst && c <= cell::kToggleFirst + 4) {
        if (!toggleOn_[std::size_t(c - cell::kToggleFirst)]) shown = false;
      }
      moveOn();
      if (end_) break;  // a marker left at the end returns nothing
      c = cellAt(index_);
    }
    if (!cell::isWord(c)) break;
    const int pos = index_;
    moveOn();
    if (hide != Hide::Hidden && shown && !isSteppedOver(c)) {
      value_ = c;
      valuePos_ = pos;
      return true;
    }
  }
  value_ = 0;
  return false;
}

void TGndStream::setVsMode(bool on) {
  if (on == vsMode_) return;
  if (on) {
    savedIndex_ = index_;
    savedCounters_ = counters;
    vsMode_ = true;
  } else {
    index_ = savedIndex_;
    counters = savedCounters_;
    vsMode_ = false;
    end_ = !cells_ || index_ > last;
  }
}

void TGndStream::backToVerseStart() {
  index_ = markerPos_;
  counters = verseCounters_;
  end_ = !cells_ || index_ > last;
}

}  // namespace kov
