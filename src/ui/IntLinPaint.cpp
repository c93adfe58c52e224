// Painters of the interlinear window: the full layout (rows with the translations in the right
// margin, headings, rule bands, the more-above/below triangles) and the on-top layouts, plus the
// header strip's labels.
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "db/cIntLin.h"
#include "display/RenderErrors.h"
#include "display/UTxtDrw.h"
#include "display/TColumnSets.h"
#include "display/VerseColumnAdapter.h"
#include "display/cRenderTxt.h"
#include "display/cTrnNote.h"
#include "texts/cTranslations.h"
#include "ui/TIntLinWin.h"

namespace kov {

namespace {
constexpr StoredColor kNavy = 0x800000;
constexpr StoredColor kRed = 0x0000FF;
constexpr StoredColor kDivisionGrey = 0xC0C0C0;
constexpr int kTriangle = 5;
}  // namespace

TCellView TIntLinWin::baseView(QPainter& p) const {
  TCellView v;
  v.view = 0;
  v.presentation = 0;
  v.canvas = &p;
  v.zoom = shared_.zoom;
  v.lineFactor = 1;
  v.rebuild = rebuild_;
  return v;
}

// Sets up the verse columns of this window for a paint: their sources, geometry and start verse.
void TIntLinWin::prepareColumns(QPainter& p, int top, int bottom) {
  columnsDrawn_ = 0;
  if (columnCount_ < 1) return;
  // The columns start at the first verse that begins on the page.
  std::int32_t from = start_;
  if (db_.stepVerses(start_, 0, false).verse < 0) from = db_.stepVerses(start_, 1, false).position;
  const VerseRef ref = refs_.positionToRef(0, from);
  sets_->prepareWalk(1);
  for (int i = 0; i < columnCount_; ++i) {
    TtrnNote& c = column(i);
    // A translation that did not open shows nothing.
    if (c.kind == 'T' && !(translations_ && c.slot >= 1 && c.slot <= translations_->count() &&
                           translations_->initialized(c.slot)))
      c.reader = nullptr;
    c.canvas = &p;
    c.top = top;
    c.bottom = bottom;
    c.background = colours_.clBgTN;
    const TColumnFont& font = c.kind == 'T' ? translationFont_ : noteFont_;
    c.fontSlot = c.kind == 'T' ? 20 : 21;
    c.fontColor = font.colour;
    c.lineGap = QFontMetrics(render_.font(0, c.fontSlot, 0)).lineSpacing() + int(std::lround(font.lineSpace * shared_.zoom));
    c.current = ref;
    // A translation an earlier column shows is read once a row; this one takes its text.
    c.readOwnText = true;
    for (int j = 0; j < i; ++j)
      if (c.kind == 'T' && column(j).kind == 'T' && column(j).slot == c.slot) c.readOwnText = false;
    ++columnsDrawn_;
  }
}

void TIntLinWin::paintFull(QPainter& p) {
  const int top = kHeaderHeight;
  const int bottom = height();
  const int division = divisionX();
  const int n = columnCount_;
  const int w = columnWidth();
  prepareColumns(p, top, bottom);
  std::array<IVerseColumn*, kMaxColumns> cols{};
  for (int i = 0; i < columnsDrawn_; ++i) {
    TtrnNote& c = column(i);
    const int left = division + margins.x[4] + i * (w + margins.x[5]);
    c.areaLeft = c.textLeft = left;
    c.areaRight = c.textRight = left + w;
    adapters_[std::size_t(i)]->baseLeft = left;
    c.StartWalk(0);
    cols[std::size_t(i)] = c.kind == '-' ? nullptr : adapters_[std::size_t(i)].get();
  }
  UpdateHeader();
  if (n > 0) {
    p.fillRect(division - 1, top, 1, 2, toQColor(kDivisionGrey));
    p.fillRect(division + 1, top, 1, 2, toQColor(kDivisionGrey));
  }
  TCellView v = baseView(p);
  v.verseLabels = true;
  v.narrowMarkers = false;
  v.headingRows = true;
  drawRows(p, v, top, bottom, kMaxRowStarts, rowsLeft(), rowsRight(), true, cols.data(), columnsDrawn_);
  for (int i = 0; i < columnsDrawn_; ++i) {
    column(i).EndWalk();
    column(i).FillRest();
  }
  drawTriangles(p, division - margins.x[3], top, bottom);
}

void TIntLinWin::paintOnTop(QPainter& p) {
  // The rows are drawn with options of their own: one verse a row, narrow markers, no headings.
  int y = kHeaderHeight;
  const int right = usableWidth();
  prepareColumns(p, y, height());
  UpdateHeader();
  QFont nameFont(QStringLiteral("Arial"));
  nameFont.setPixelSize(int(12 * shared_.zoom));
  const QFontMetrics fm(nameFont);
  for (int i = 0; i < columnsDrawn_; ++i) {
    TtrnNote& c = column(i);
    if (c.kind == '-') continue;
    const QString name = columnTitle(c);
    const int textLeft = 10 + std::max(fm.horizontalAdvance(name) + 10, int(20 * shared_.zoom));
    p.fillRect(QRect(0, y, right, height() - y), toQColor(colours_.clBgTN));
    p.setFont(nameFont);
    p.setPen(toQColor(blendColor(colours_.clBgInt, 0xFF0000, 0.5)));
    p.drawText(QPoint(10, y + fm.ascent()), name);
    c.areaLeft = c.textLeft = textLeft;
    c.areaRight = c.textRight = right - margins.x[6];
    c.StartWalk(0);
    c.drawVerseNumbers = false;
    c.DrawNextVerse();
    c.EndWalk();
    y = std::max(c.lastBottom, y + int(3 * std::abs(translationFont_.height) * shared_.zoom)) + 2;
  }
  TCellView v = baseView(p);
  v.narrowMarkers = true;
  v.verseLabels = false;
  v.headingRows = false;
  v.forceNvnl = 1;
  drawRows(p, v, y, height(), layoutTag_, margins.x[6], right - margins.x[6], false, nullptr, 0);
  drawTriangles(p, right - margins.x[6], y, height());
}

void TIntLinWin::drawHeading(QPainter& p, const QString& text, int left, int right, int y) {
  p.setFont(render_.font(0, 22, 0));
  p.setPen(toQColor(kNavy));
  p.drawText(QRect(left, y, right - left, drw_->lines().rowHeight), Qt::AlignCenter, text);
}

void TIntLinWin::drawRows(QPainter& p, const TCellView& base, int top, int bottom, int maxRows, int left,
                          int right, bool headings, IVerseColumn* const* columns, int columnCount) {
  TCellView v = base;
  v.areaLeft = left;
  v.areaTop = top;
  v.areaRight = right;
  v.areaBottom = bottom;
  drw_->ResetView(v, start_, db_.lastPosition());
  drw_->LayoutLines(0, db_.appliedTable().slotCount);
  const int rh = std::max(1, drw_->lines().rowHeight);
  const int ruleHeight = db_.appliedTable().presentations[0].dyLine;
  const int dyFirst = db_.appliedTable().presentations[0].dyFirst;
  p.save();
  p.setClipRect(QRect(0, top, width(), bottom - top));
  rowStarts_.clear();
  verseComplete_ = false;
  versesShown_ = 0;
  // Rows above the window (scrolled) are laid out too: the cells and the row table stay whole.
  int y = top - pixelOffset_;
  int rows = 0;
  std::int32_t lastStart = start_;
  while (y < bottom - 5 && rows < maxRows) {
    const std::int32_t rowStart = start_ + drw_->nextRowStart();
    if (drw_->endOfPassage()) {
      // Beyond the last position: the page ends with "~". The text's end is on the page, so
      // there is nothing further down to scroll to.
      if (headings) drawHeading(p, QStringLiteral("~"), left, right, y);
      if (y < bottom) verseComplete_ = true;
      break;
    }
    drw_->DrawRow(left, right, y);
    if (drw_->rowCellCount() == 0) {
      if (!drw_->headingPending()) break;
      if (headings) {
        TCalcpos& calc = db_.calc();
        calc.setPosition(std::min(rowStart, db_.lastPosition()));
        drawHeading(p, QString::fromStdString(calc.Bkn()), left, right, y);
        y += rh;
      }
      drw_->HeadingDrawn();
      continue;
    }
    if (columnCount > 0 && !drw_->rowVerses().empty()) {
      p.save();
      p.setClipping(false);
      drw_->DrawTranslationRows(y + dyFirst, columns, columnCount);
      p.restore();
    }
    versesShown_ += int(drw_->rowVerses().size());
    y += rh;
    p.fillRect(QRect(left, y - ruleHeight, right - left, ruleHeight), toQColor(colours_.clHorRule));
    if (int(rowStarts_.size()) >= kMaxRowStarts) throw DisplayRangeError("more than 400 rows on a page");
    rowStarts_.push_back(rowStart);
    lastStart = rowStart;
    // The row ended where the next verse begins, with room to spare: the verse is complete.
    if (drw_->endedAtVerse() && (rows > 0 || drw_->noJustify()) && y + rh - 10 < bottom) verseComplete_ = true;
    ++rows;
  }
  lastPageSpan_ = lastStart - start_;
  p.restore();
}

void TIntLinWin::drawTriangles(QPainter& p, int right, int top, int bottom) {
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(toQColor(kRed));
  if (!verseComplete_)
    p.drawPolygon(QPolygon({QPoint(right - 2 * kTriangle, bottom - kTriangle - 1), QPoint(right, bottom - kTriangle - 1),
                            QPoint(right - kTriangle, bottom - 1)}));
  if (scrollRows_ > 0)
    p.drawPolygon(QPolygon({QPoint(right - 2 * kTriangle, top + kTriangle + 1), QPoint(right, top + kTriangle + 1),
                            QPoint(right - kTriangle, top + 1)}));
  p.restore();
}

QString TIntLinWin::columnTitle(const TtrnNote& c) {
  return c.kind == 'T' ? c.name : QStringLiteral("[%1]").arg(c.name);
}

void TIntLinWin::UpdateHeader() {
  setPlaceLabel(hasBook_ ? placeText(start_) : QString());
  // The lines shown, named by their sublinears, after the place.
  const TWl& t = db_.appliedTable();
  int x = place_->x() + 150;
  int label = 0;
  for (int s = 0; s < t.slotCount && label < kSublinearLabels; ++s) {
    const Tsubl& sl = t.slot(s);
    if (!sl.visible) continue;
    QLabel* l = lineLabels_[std::size_t(label++)];
    l->setText(sl.id.isEmpty() ? sl.fileName : sl.id);
    l->setToolTip(sl.desS);
    l->adjustSize();
    l->move(x, (kHeaderHeight - l->height()) / 2);
    l->setVisible(hasBook_);
    x += l->width() + 15;
  }
  for (int i = label; i < kSublinearLabels; ++i) lineLabels_[std::size_t(i)]->hide();
  // Translation names centred over their columns, in the right-margin layout only.
  for (int i = 0; i < kMaxColumns; ++i) {
    QLabel* l = columnLabels_[std::size_t(i)];
    const TtrnNote& c = column(i);
    if (i >= columnsDrawn_ || layoutTag_ <= 3 || c.kind == '-') {
      l->hide();
      continue;
    }
    l->setText(columnTitle(c).left(100));
    l->setToolTip(c.kind == 'T' && translations_ ? translations_->description(c.slot) : c.name);
    l->adjustSize();
    l->move((c.areaLeft + c.areaRight - l->width()) / 2, (kHeaderHeight - l->height()) / 2);
    l->show();
  }
}

}  // namespace kov
