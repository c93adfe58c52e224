#include "ui/TIntLinWin.h"

#include <QCursor>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolButton>
#include <QActionGroup>
#include <QMenu>
#include <QSignalBlocker>
#include <QWheelEvent>

#include <algorithm>

#include "db/cIntLin.h"
#include "display/UTxtDrw.h"
#include "display/UWtext.h"
#include "display/cRenderTxt.h"
#include "display/cTrnNote.h"
#include "texts/cTranslations.h"
#include "ui/TFrmInfo2.h"

namespace kov {

namespace {
constexpr int kMargin = 8;
const QColor kHeaderColor(0xF9, 0xF4, 0xE8);  // $E8F4F9 as stored
}  // namespace

TIntLinWin::TIntLinWin(TintLin& db, TRenderTxt& render, Twtext& layout, TTranslations* translations,
                       QWidget* parent)
    : QWidget(parent),
      db_(db),
      render_(render),
      layout_(layout),
      translations_(translations),
      drw_(std::make_unique<TTxtDrw>(db, render)) {
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(300, 150);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  focus_ = std::make_unique<Tfocus>(db_, *drw_, shared_);
  // The scroll bar runs over the whole word stream; dragging it shows the verse at that place.
  scroll_ = new QScrollBar(Qt::Vertical, this);
  scroll_->setFocusPolicy(Qt::NoFocus);
  connect(scroll_, &QScrollBar::valueChanged, this, &TIntLinWin::scrolledTo);
  const auto button = [this](const QString& text, const QString& hint) {
    auto* b = new QToolButton(this);
    b->setText(text);
    b->setToolTip(hint);
    b->setFont(QFont(QStringLiteral("Courier New")));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
  };
  plus_ = button(QStringLiteral("+"), QStringLiteral("Add translation"));
  minus_ = button(QStringLiteral("-"), QStringLiteral("Remove translation"));
  layoutButton_ = button(QStringLiteral("L"), QStringLiteral("switch translation position"));
  auto* menu = new QMenu(layoutButton_);
  layoutItems_ = new QActionGroup(this);
  const char* names[] = {"1 interlinear line + Translation on Top", "2 interlinear lines + Translation on Top",
                         "3 interlinear lines + Translation on Top", "Full interlinear + Translation in right margin"};
  for (int tag = 1; tag <= 4; ++tag) {
    QAction* a = menu->addAction(QString::fromLatin1(names[tag - 1]));
    a->setCheckable(true);
    a->setChecked(tag == 4);
    a->setData(tag);
    layoutItems_->addAction(a);
    connect(a, &QAction::triggered, this, [this, tag] { SetLayout(tag); });
  }
  layoutButton_->setMenu(menu);
  layoutButton_->setPopupMode(QToolButton::InstantPopup);
  connect(plus_, &QToolButton::clicked, this, &TIntLinWin::AddColumn);
  connect(minus_, &QToolButton::clicked, this, &TIntLinWin::RemoveColumn);
  hoverTimer_.setInterval(200);
  connect(&hoverTimer_, &QTimer::timeout, this, &TIntLinWin::hoverTick);
  hoverTimer_.start();
}

TIntLinWin::~TIntLinWin() = default;

bool TIntLinWin::ShowPlace(const VerseRef& ref) {
  TCalcpos& calc = db_.calc();
  calc.setBks(ref.Bks);
  hasBook_ = calc.found() && db_.lastPosition() > 0;
  if (hasBook_) {
    calc.setChapter(std::uint8_t(std::max<int>(ref.chapter, 1)));
    if (calc.BkCr() < 0) calc.setChapter(1);
    start_ = db_.verseMarkerOf(calc.Position(), std::max<int>(ref.verse, 1));
    if (start_ >= db_.lastPosition()) start_ = calc.Position();
  }
  dirty_ = true;
  update();
  emit placeChanged(currentRef());
  return hasBook_;
}

VerseRef TIntLinWin::currentRef() const {
  VerseRef r;
  if (start_ < 0) return r;
  TCalcpos& calc = const_cast<TintLin&>(db_).calc();
  calc.setPosition(start_);
  r.Bks = calc.Bks();
  r.Bka = calc.Bka();
  r.bookNr = std::uint8_t(calc.Bnr());
  r.chapter = calc.Chapter();
  const TVerseAt v = db_.verseAt(start_);
  r.verse = std::int16_t(v.verse);
  r.verseMark = v.mark;
  return r;
}

void TIntLinWin::stepVerses(int count) {
  if (start_ < 0 || count == 0) return;
  // From a marker, one step forward is the next verse; one step back from inside a verse
  // gives its own marker, so go back from the cell before the marker.
  const std::int32_t from = count < 0 ? std::max<std::int32_t>(start_ - 1, 1) : start_ + 2;
  const TVerseStep s = db_.stepVerses(from, count, true);
  if (s.verse >= 0 && s.position != start_ && s.position < db_.lastPosition()) start_ = s.position;
  dirty_ = true;
  update();
  emit placeChanged(currentRef());
}

void TIntLinWin::stepChapters(int count) {
  if (start_ < 0) return;
  TCalcpos& calc = db_.calc();
  calc.setPosition(start_);
  const int record = std::clamp(calc.BkCr() + count, 0, calc.chapterCount() - 1);
  start_ = calc.chapterRecord(record).position;
  dirty_ = true;
  update();
  emit placeChanged(currentRef());
}

int TIntLinWin::usableWidth() const { return width() - (scroll_->isVisible() ? scroll_->width() : 0); }

int TIntLinWin::columnWidth() const {
  const int n = columnCount_;
  if (n <= 0) return 0;
  const double total = usableWidth() * translationShare;
  return int(std::lround((total - columnsRight - columnsLeft - (n - 1) * columnGap) / n));
}

int TIntLinWin::divisionX() const {
  const int n = columnCount_;
  if (n <= 0 || !translations_ || translations_->count() == 0) return usableWidth();
  return usableWidth() - (n * columnWidth() + columnsLeft + (n - 1) * columnGap + columnsRight);
}

void TIntLinWin::setColumns(int count) {
  columnCount_ = std::clamp(count, 0, kMaxColumns);
  plus_->setEnabled(columnCount_ < kMaxColumns);
  minus_->setEnabled(columnCount_ > 0);
  dirty_ = true;
  update();
}

void TIntLinWin::SetLayout(int tag) {
  layoutTag_ = std::clamp(tag, 1, 4);
  for (QAction* a : layoutItems_->actions()) a->setChecked(a->data().toInt() == layoutTag_);
  dirty_ = true;
  update();
}

void TIntLinWin::AddColumn() {
  if (columnCount_ >= kMaxColumns) return;
  const int w = columnWidth() > 0 ? columnWidth() : int(usableWidth() * translationShare);
  setColumns(columnCount_ + 1);
  // The columns keep their width: the division moves, unless that leaves too little for either side.
  const double ratio = double(columnsLeft + columnCount_ * w + (columnCount_ - 1) * columnGap + columnsRight) /
                       std::max(1, usableWidth());
  if (ratio > 0.1 && ratio < 0.9) translationShare = ratio;
}

void TIntLinWin::RemoveColumn() {
  if (columnCount_ <= 0) return;
  const int w = columnWidth();
  setColumns(columnCount_ - 1);
  const double ratio = double(columnsLeft + columnCount_ * w + (columnCount_ - 1) * columnGap + columnsRight) /
                       std::max(1, usableWidth());
  if (ratio > 0.1 && ratio < 0.9) translationShare = ratio;
}

void TIntLinWin::renderRows(QPainter& p, const TCellView& base, int top, int bottom, int maxRows, int left,
                            int right) {
  TCellView v = base;
  v.areaLeft = left;
  v.areaTop = top;
  v.areaRight = right;
  v.areaBottom = bottom;
  drw_->ResetView(v, start_, db_.lastPosition());
  drw_->LayoutLines(0, db_.appliedTable().slotCount);
  int y = top;
  int rows = 0;
  versesShown_ = 0;
  for (int n = 0; n < 200 && rows < maxRows && !drw_->endOfPassage() && y + drw_->lines().rowHeight <= bottom; ++n) {
    drw_->DrawRow(left, right, y);
    if (drw_->rowCellCount() > 0) {
      versesShown_ += int(drw_->rowVerses().size());
      y += drw_->lines().rowHeight;
      ++rows;
      p.setPen(QColor(0xE0, 0xE5, 0xF5));
      p.drawLine(left, y - 1, right, y - 1);
    } else if (drw_->headingPending()) {
      drw_->HeadingDrawn();
    } else {
      break;
    }
  }
}

void TIntLinWin::renderOnTop(QPainter& p, int top) {
  // The translations as full-width lines on top, then 1 to 3 rows of the verses from the start.
  int y = top;
  const int right = usableWidth() - kMargin;
  if (translations_) {
    QFont nameFont(QStringLiteral("Arial"));
    nameFont.setPixelSize(12);
    for (int i = 0; i < columnCount_; ++i) {
      auto col = makeColumn(i, p, y, height());
      if (!col) continue;
      p.setFont(nameFont);
      p.setPen(QColor(0x80, 0x80, 0xFF));
      p.drawText(QPoint(kMargin, y + 12), col->name);
      col->textLeft = kMargin + std::max(QFontMetrics(nameFont).horizontalAdvance(col->name) + 24, 20);
      col->areaLeft = col->textLeft;  // the name stays visible beside the text
      col->textRight = col->areaRight = right;
      col->current = currentRef();
      col->StartWalk(0);
      col->drawVerseNumbers = false;
      col->DrawNextVerse();
      col->EndWalk();
      y = std::max(col->lastBottom, y + int(3 * 16 * shared_.zoom)) + 4;
    }
  }
  TCellView v;
  v.view = 0;
  v.canvas = &p;
  v.zoom = shared_.zoom;
  v.rebuild = true;
  v.narrowMarkers = true;
  v.verseLabels = false;
  v.headingRows = false;
  v.forceNvnl = 1;
  renderRows(p, v, y, height(), layoutTag_, rowsLeft, right);
}

void TIntLinWin::paintHeader(QPainter& p, int width) {
  p.fillRect(0, 0, width, kHeaderHeight, kHeaderColor);
  const VerseRef r = currentRef();
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(13);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::black);
  const QString place = hasBook_ ? QStringLiteral("%1 %2:%3").arg(QString::fromStdString(db_.calc().Bkn()))
                                       .arg(r.chapter)
                                       .arg(r.verse)
                                 : QString();
  p.drawText(QRect(kMargin, 0, width / 2, kHeaderHeight), Qt::AlignVCenter | Qt::AlignLeft, place);
  // The lines shown, named by their lists.
  f.setBold(false);
  f.setPixelSize(11);
  p.setFont(f);
  p.setPen(QColor(0x55, 0x55, 0x55));
  QStringList names;
  const TWl& t = db_.appliedTable();
  for (int s = 0; s < t.slotCount; ++s) names << (t.slot(s).id.isEmpty() ? t.slot(s).fileName : t.slot(s).id);
  // Right-aligned before the "+" and "-" buttons.
  p.drawText(QRect(width / 3, 0, width - width / 3 - 3 * kHeaderHeight - kMargin, kHeaderHeight),
             Qt::AlignVCenter | Qt::AlignRight,
             names.join(QStringLiteral(" / ")));
}

std::unique_ptr<TtrnNote> TIntLinWin::makeColumn(int index, QPainter& p, int top, int bottom) {
  // Column i shows translation i + 1, the last one repeated when there are fewer.
  const int slot = std::min(index + 1, translations_ ? translations_->count() : 0);
  if (slot < 1 || !translations_->initialized(slot)) return nullptr;
  auto col = std::make_unique<TtrnNote>(index + 1, layout_, render_);
  col->kind = 'T';
  col->name = translations_->names()[slot - 1];
  col->slot = slot;
  col->reader = &translations_->reader(slot);
  col->canvas = &p;
  col->top = top;
  col->bottom = bottom;
  col->lineGap = int(16 * shared_.zoom);
  return col;
}

void TIntLinWin::paintTranslation(QPainter& p, int left, int right, int top, int bottom) {
  if (!translations_ || translations_->count() < 1 || columnCount_ < 1) return;
  (void)right;
  const int w = columnWidth();
  std::vector<std::unique_ptr<TtrnNote>> columns;
  std::vector<TtrnNote*> drawn;
  const VerseRef from = currentRef();
  for (int i = 0; i < columnCount_; ++i) {
    auto col = makeColumn(i, p, top, bottom);
    if (!col) continue;
    col->areaLeft = left + columnsLeft - 16 + i * (w + columnGap);
    col->textLeft = col->areaLeft + 16;
    col->textRight = col->areaRight = col->textLeft + w;
    col->current = from;
    drawn.push_back(col.get());
    columns.push_back(std::move(col));
  }
  drawColumnsInRows(drawn, 4, bottom);
  // The column names, centred over their columns.
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(11);
  p.setFont(f);
  p.setPen(QColor(0x33, 0x33, 0x88));
  for (const TtrnNote* c : drawn)
    p.drawText(QRect(c->textLeft, top - 16, c->textRight - c->textLeft, 14), Qt::AlignCenter, c->name);
}

const QImage& TIntLinWin::render() {
  const QSize sz = size().expandedTo(QSize(1, 1));
  if (image_.size() != sz) image_ = QImage(sz, QImage::Format_RGB32);
  image_.fill(Qt::white);
  QPainter p(&image_);
  p.setRenderHint(QPainter::TextAntialiasing);
  const int top = kHeaderHeight + 6;
  if (!hasBook_ || start_ < 0) {
    paintHeader(p, sz.width());
    p.setPen(Qt::darkGray);
    p.drawText(QRect(0, top, sz.width(), 40), Qt::AlignCenter,
               QStringLiteral("No interlinear text available for this passage"));
    return image_;
  }
  shared_.SetZoomIndex(zoomIndex);
  zoomIndex = shared_.zoomIndex;
  const double zoom = shared_.zoom;
  // Fonts are made, and texts measured again, only when the zoom changed.
  if (zoom != fontZoom_) {
    render_.BuildFontSet(0, TTxtDrw::fontsOf(db_.appliedTable(), 0, -10), zoom);
    drw_->FontsChanged();
    fontZoom_ = zoom;
  }
  const int usable = usableWidth();
  const int split = divisionX();
  TCellView v;
  v.view = 0;
  v.canvas = &p;
  v.zoom = zoom;
  v.rebuild = true;
  if (layoutTag_ <= 3) {
    renderOnTop(p, top);
  } else {
    renderRows(p, v, top, sz.height(), 200, rowsLeft, split - beforeDivision);
  }
  focus_->FollowKeyboardFocus();
  syncScrollBar();
  if (layoutTag_ == 4 && split < usable) {
    p.setPen(QColor(0xC0, 0xC0, 0xC0));
    p.drawLine(split, top, split, sz.height());
    paintTranslation(p, split, usable - columnsRight, top + 16, sz.height());
  }
  // Last, so that nothing drawn for the page reaches into the header strip.
  paintHeader(p, sz.width());
  return image_;
}

void TIntLinWin::paintEvent(QPaintEvent*) {
  if (dirty_ || image_.size() != size()) {
    render();
    dirty_ = false;
  }
  QPainter p(this);
  p.drawImage(0, 0, image_);
  // The focus frames go over the copied page, so moving them never repaints the text.
  if (hasBook_ && start_ >= 0) focus_->Draw(p, 0xFFFFFF, 0xFF0000, 0xFF0000, 0x0000FF);
}

void TIntLinWin::mouseMoveEvent(QMouseEvent* e) {
  const int x = int(e->position().x());
  if (dragging_) {
    // The division follows the mouse, never closer than 30 pixels to the right edge.
    const int w = std::max(1, usableWidth());
    translationShare = double(w - std::min(x, w - kDragLimit)) / w;
    translationShare = std::clamp(translationShare, 0.0, 1.0);
    dirty_ = true;
    update();
    return;
  }
  const bool nearDivision = columnCount_ > 0 && std::abs(x - divisionX()) <= 5 && e->position().y() > kHeaderHeight;
  setCursor(nearDivision ? Qt::SplitHCursor : Qt::ArrowCursor);
  if (focus_->MouseMoved(e->position().toPoint())) update();
}

void TIntLinWin::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

void TIntLinWin::leaveEvent(QEvent*) {
  if (focus_->MouseMoved(QPoint(-1000, -1000))) update();
}

void TIntLinWin::mousePressEvent(QMouseEvent* e) {
  setFocus();
  if (e->button() != Qt::LeftButton) return;
  if (columnCount_ > 0 && std::abs(int(e->position().x()) - divisionX()) <= 5) {
    dragging_ = true;
    return;
  }
  if (focus_->Click(e->position().toPoint(), selected_)) {
    update();
    emit wordChosen(selected_);
  }
}

void TIntLinWin::hoverTick() {
  if (!info_ || !isVisible()) return;
  const QPoint p = mapFromGlobal(QCursor::pos());
  const bool rested = std::abs(p.x() - lastHoverPoint_.x()) <= 4 && std::abs(p.y() - lastHoverPoint_.y()) <= 4;
  lastHoverPoint_ = p;
  const int slot = db_.known().parsing;
  const Tfocus::Hit h = focus_->HitTest(p);
  if (rested && h.found && slot > 0 && rect().contains(p)) {
    const DisplayCell& c = drw_->cell(0, h.cell);
    info_->parsingSlot = slot;
    info_->zoom = shared_.zoom;
    info_->ShowWordInfo(slot, c.code, c.selectors[std::size_t(slot)], mapToGlobal(QPoint(0, 0)),
                        focus_->frameRect(h.cell, h.line, false));
  } else if (!h.found) {
    info_->startHideTimer();
  }
}

void TIntLinWin::resizeEvent(QResizeEvent*) {
  dirty_ = true;
  scroll_->setGeometry(width() - scroll_->sizeHint().width(), kHeaderHeight, scroll_->sizeHint().width(),
                       height() - kHeaderHeight);
  layoutButton_->setGeometry(width() - 3 * kHeaderHeight, 0, kHeaderHeight, kHeaderHeight);
  minus_->setGeometry(width() - 2 * kHeaderHeight, 0, kHeaderHeight, kHeaderHeight);
  plus_->setGeometry(width() - kHeaderHeight, 0, kHeaderHeight, kHeaderHeight);
}

void TIntLinWin::syncScrollBar() {
  const QSignalBlocker block(scroll_);
  scroll_->setRange(1, std::max<std::int32_t>(1, db_.lastPosition()));
  scroll_->setPageStep(std::max(1, versesShown_ * 20));
  scroll_->setSingleStep(20);
  scroll_->setValue(std::max<std::int32_t>(start_, 1));
}

void TIntLinWin::scrolledTo(int value) {
  if (!hasBook_ || value < 1) return;
  // The marker of the verse the value falls in.
  const TVerseStep s = db_.stepVerses(std::min<std::int32_t>(value, db_.lastPosition()), -1, false);
  if (s.verse < 0 || s.position == start_) return;
  start_ = s.position;
  dirty_ = true;
  update();
  emit placeChanged(currentRef());
}

void TIntLinWin::keyPressEvent(QKeyEvent* e) {
  const bool shift = e->modifiers() & Qt::ShiftModifier;
  switch (e->key()) {
    case Qt::Key_Down:
      if (focus_->keyboardMode && !shift && !focus_->KeyboardRowDown()) {
        update();
        break;
      }
      shift ? stepChapters(1) : stepVerses(1);
      break;
    case Qt::Key_Up:
      if (focus_->keyboardMode && !shift && !focus_->KeyboardRowUp()) {
        update();
        break;
      }
      shift ? stepChapters(-1) : stepVerses(-1);
      break;
    case Qt::Key_PageDown:
      stepVerses(std::max(1, versesShown_ - 1));
      break;
    case Qt::Key_PageUp:
      stepVerses(-std::max(1, versesShown_ - 1));
      break;
    case Qt::Key_Slash:
      focus_->keyboardMode ? focus_->KeyboardOff() : focus_->KeyboardOn(shared_.mouse);
      update();
      break;
    case Qt::Key_Left:
    case Qt::Key_Right: {
      // Right to left: the keys follow the reading direction on screen.
      const bool rtl = db_.appliedOptions().flag(LineOptions::Right2Left);
      const bool forward = (e->key() == Qt::Key_Right) != rtl;
      if (focus_->keyboardMode) forward ? focus_->KeyboardNextCell() : focus_->KeyboardPrevCell();
      update();
      break;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (focus_->keyboardMode && focus_->keyCell >= 0) {
        const QRect r = focus_->frameRect(focus_->keyCell, focus_->keyLine, false);
        if (focus_->Click(r.center(), selected_)) emit wordChosen(selected_);
        update();
      }
      break;
    case Qt::Key_Plus:
      zoomIndex = std::min(zoomIndex + 1, 32);
      dirty_ = true;
      update();
      break;
    case Qt::Key_Minus:
      zoomIndex = std::max(zoomIndex - 1, 0);
      dirty_ = true;
      update();
      break;
    default:
      QWidget::keyPressEvent(e);
  }
}

void TIntLinWin::wheelEvent(QWheelEvent* e) {
  const int steps = e->angleDelta().y() / 120;
  if (steps == 0) return;
  const bool shift = e->modifiers() & Qt::ShiftModifier;
  shift ? stepChapters(-steps) : stepVerses(-steps);
}

}  // namespace kov
