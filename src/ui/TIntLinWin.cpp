#include "ui/TIntLinWin.h"

#include <QActionGroup>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>

#include "db/cIntLin.h"
#include "display/UTxtDrw.h"
#include "display/UWtext.h"
#include "display/TColumnSets.h"
#include "display/VerseColumnAdapter.h"
#include "display/cRenderTxt.h"
#include "display/cTrnNote.h"
#include "texts/TSourceList.h"
#include "texts/cTranslations.h"
#include "ui/TFrmInfo2.h"

namespace kov {

namespace {
constexpr int kDivisionGrip = 5;  // the division can be taken within this many pixels
const QPoint kNowhere(-1000, -1000);  // clears the mouse focus

QLabel* headerLabel(QWidget* parent, int pointSize, StoredColor colour) {
  auto* l = new QLabel(parent);
  QFont f(QStringLiteral("Arial"));
  f.setPointSize(pointSize);
  l->setFont(f);
  QPalette pal = l->palette();
  pal.setColor(QPalette::WindowText, toQColor(colour));
  l->setPalette(pal);
  l->hide();
  return l;
}
}  // namespace

QString TIntLinWin::noInterlinearText() {
  return QStringLiteral("No interlinear for this passage. Press spacebar for only translations/notes");
}

TIntLinWin::TIntLinWin(TintLin& db, TRenderTxt& render, Twtext& layout, TTranslations* translations,
                       TColumnSets* columnSets, QWidget* parent)
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
  refs_.setCalculator(0, &db_.calc());
  refs_.setStreamVerses(&db_);
  sets_ = columnSets;
  if (!sets_) {
    ownList_ = std::make_unique<TSourceList>();
    if (translations_) ownList_->build(*translations_, {});
    ownSets_ = std::make_unique<TColumnSets>(layout_, render_, translations_, QString(), QString());
    ownSets_->assignByNames({}, *ownList_);
    sets_ = ownSets_.get();
  }
  for (int i = 0; i < kMaxColumns; ++i) adapters_[std::size_t(i)] = std::make_unique<TVerseColumnAdapter>(column(i));

  header_ = new QWidget(this);
  header_->setAutoFillBackground(true);
  place_ = headerLabel(header_, 9, 0xFF0000);
  place_->move(10, 4);
  place_->show();
  for (QLabel*& l : lineLabels_) {
    l = headerLabel(header_, 8, blendColor(0xFFFFFF, 0xFF0000, 0.5));
    l->setCursor(Qt::PointingHandCursor);
  }
  for (QLabel*& l : columnLabels_) l = headerLabel(header_, 8, 0x800000);
  const auto button = [this](const QString& text, const QString& hint) {
    auto* b = new QToolButton(header_);
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

  // The scroll bar moves by rows and pages; its thumb previews places up to 50 verses away.
  scroll_ = new QScrollBar(Qt::Vertical, this);
  scroll_->setFocusPolicy(Qt::NoFocus);
  scroll_->setRange(-kThumbRange, kThumbRange);
  scroll_->setValue(0);
  scroll_->setPageStep(1);
  connect(scroll_, &QScrollBar::actionTriggered, this, &TIntLinWin::scrollBarAction);
  connect(scroll_, &QScrollBar::sliderMoved, this, &TIntLinWin::ShowThumbPlace);
  connect(scroll_, &QScrollBar::sliderReleased, this, &TIntLinWin::GoThumbPlace);

  noText_ = new QLabel(noInterlinearText(), this);
  noText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  noText_->setAutoFillBackground(true);
  {
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(9);
    noText_->setFont(f);
    QPalette pal = noText_->palette();
    pal.setColor(QPalette::WindowText, Qt::red);
    pal.setColor(QPalette::Window, Qt::white);
    noText_->setPalette(pal);
  }
  noText_->hide();

  smoothTimer_.setInterval(10);
  connect(&smoothTimer_, &QTimer::timeout, this, &TIntLinWin::smoothStep);
  hoverTimer_.setInterval(200);
  connect(&hoverTimer_, &QTimer::timeout, this, &TIntLinWin::hoverTick);
  hoverTimer_.start();
  setColours(colours_);
  setColumns(columnCount_);
}

TIntLinWin::~TIntLinWin() = default;

// ---- place ----

bool TIntLinWin::ShowPlace(const VerseRef& ref) {
  TCalcpos& calc = db_.calc();
  calc.setBks(ref.Bks);
  hasBook_ = calc.found() && db_.lastPosition() > 0;
  noText_->setVisible(!hasBook_);
  if (hasBook_) {
    calc.setChapter(std::uint8_t(std::max<int>(ref.chapter, 1)));
    if (calc.BkCr() < 0) calc.setChapter(1);
    std::int32_t p = db_.verseMarkerOf(calc.Position(), std::max<int>(ref.verse, 1));
    if (p >= db_.lastPosition()) p = calc.Position();
    newStart(p);
  } else {
    setPlaceLabel(QString());
    update();
  }
  return hasBook_;
}

VerseRef TIntLinWin::currentRef() const { return start_ < 0 ? VerseRef{} : refs_.positionToRef(0, start_); }

QString TIntLinWin::placeText(std::int32_t position) const {
  if (position < 0 || db_.lastPosition() <= 0) return {};
  TCalcpos& calc = db_.calc();
  calc.setPosition(std::clamp(position, 0, db_.lastPosition()));
  const TVerseAt v = db_.verseAt(position);
  return QStringLiteral("%1 %2:%3%4")
      .arg(QString::fromStdString(calc.Bkn()))
      .arg(calc.Chapter())
      .arg(v.verse)
      .arg(QLatin1Char(v.mark ? v.mark : ' '));
}

void TIntLinWin::setPlaceLabel(const QString& text) {
  // Padded and cut to 25 characters, so the labels after it do not move as the place changes.
  place_->setText(text.leftJustified(25, QLatin1Char(' '), true));
  place_->adjustSize();
}

// ---- painting ----

void TIntLinWin::Refresh(int mode) {
  if (refreshing_) return;
  if (mode == 1) {
    update();
    return;
  }
  refreshing_ = true;
  if (mode == 2 || mode == 3) rebuild_ = true;
  render();
  if (mode == 3) rebuild_ = false;
  refreshing_ = false;
  nextPaintMode_ = 1;
  update();
}

const QImage& TIntLinWin::render() {
  const QSize sz = size().expandedTo(QSize(1, 1));
  if (image_.size() != sz) image_ = QImage(sz, QImage::Format_RGB32);
  image_.fill(toQColor(colours_.clBgInt));
  if (!hasBook_ || start_ < 0) {
    UpdateHeader();
    return image_;
  }
  shared_.SetZoomIndex(zoomIndex);
  zoomIndex = shared_.zoomIndex;
  // Fonts are made, and texts measured again, only when the zoom changed.
  if (shared_.zoom != fontZoom_) {
    PresentationFonts fonts = TTxtDrw::fontsOf(db_.appliedTable(), 0, -10);
    fonts.translation = {translationFont_.name, translationFont_.height};
    fonts.notes = {noteFont_.name, noteFont_.height};
    render_.BuildFontSet(0, fonts, shared_.zoom);
    drw_->FontsChanged();
    fontZoom_ = shared_.zoom;
  }
  drw_->style.clBgInt = colours_.clBgInt;
  QPainter p(&image_);
  p.setRenderHint(QPainter::TextAntialiasing);
  // The mouse bar is not drawn while the cells it points at are being replaced.
  focus_->mouseEnabled = false;
  if (layoutTag_ <= 3)
    paintOnTop(p);
  else
    paintFull(p);
  focus_->mouseEnabled = true;
  focus_->FollowKeyboardFocus();
  return image_;
}

void TIntLinWin::setColours(const TIntLinColours& c) {
  colours_ = c;
  QPalette pal = header_->palette();
  pal.setColor(QPalette::Window, toQColor(colours_.clBgIntHdr));
  header_->setPalette(pal);
}

void TIntLinWin::setColumnFonts(const TColumnFont& translation, const TColumnFont& notes) {
  translationFont_ = translation;
  noteFont_ = notes;
  fontZoom_ = 0;  // made again at the next paint
}

void TIntLinWin::paintEvent(QPaintEvent*) {
  if (nextPaintMode_ != 1 || image_.size() != size()) {
    const int mode = nextPaintMode_ == 1 ? 4 : nextPaintMode_;
    nextPaintMode_ = 1;
    Refresh(mode);
  }
  QPainter p(this);
  p.drawImage(0, 0, image_);
  // The focus frames go over the copied page, so moving them never repaints the text.
  if (hasBook_ && start_ >= 0)
    focus_->Draw(p, colours_.clBgInt, colours_.clMoveFoc, colours_.clKeyBFoc, colours_.clMsdnFoc);
}

void TIntLinWin::resizeEvent(QResizeEvent*) {
  header_->setGeometry(0, 0, width(), kHeaderHeight);
  const int w = scroll_->sizeHint().width();
  scroll_->setGeometry(width() - w, kHeaderHeight, w, height() - kHeaderHeight);
  noText_->setGeometry(0, kHeaderHeight, width() - w, height() - kHeaderHeight);
  placeHeaderControls();
  if (isVisible()) Refresh(3);
}

void TIntLinWin::placeHeaderControls() {
  const int h = kHeaderHeight;
  layoutButton_->setGeometry(width() - 3 * h, 0, h, h);
  minus_->setGeometry(width() - 2 * h, 0, h, h);
  plus_->setGeometry(width() - h, 0, h, h);
}

// ---- geometry, columns and layouts ----

int TIntLinWin::usableWidth() const { return width() - (scroll_->isVisible() ? scroll_->width() : 0); }

int TIntLinWin::columnWidth() const {
  const int n = columnCount_;
  if (n <= 0) return 0;
  const double total = usableWidth() * translationShare;
  return int(std::lround((total - margins.x[6] - margins.x[4] - (n - 1) * margins.x[5]) / n));
}

int TIntLinWin::divisionX() const {
  const int n = columnCount_;
  if (n <= 0 || layoutTag_ <= 3) return usableWidth();
  return usableWidth() - (n * columnWidth() + margins.x[4] + (n - 1) * margins.x[5] + margins.x[6]);
}

bool TIntLinWin::rtl() const { return db_.appliedOptions().flag(LineOptions::Right2Left); }

int TIntLinWin::rowsLeft() const { return rtl() ? margins.x[6] : margins.rowsMargin(); }

int TIntLinWin::rowsRight() const {
  return divisionX() - (rtl() ? margins.rowsMargin() : margins.x[3]);
}

void TIntLinWin::setColumns(int count) {
  columnCount_ = std::clamp(count, 0, kMaxColumns);
  plus_->setEnabled(columnCount_ < kMaxColumns);
  minus_->setEnabled(columnCount_ > 0);
  Refresh(2);
}

TtrnNote& TIntLinWin::column(int i) const { return sets_->column(1, i + 1); }

void TIntLinWin::SetLayout(int tag) {
  layoutTag_ = std::clamp(tag, 1, 4);
  for (QAction* a : layoutItems_->actions()) a->setChecked(a->data().toInt() == layoutTag_);
  Refresh(2);
  emit fitHeightRequested();
}

void TIntLinWin::keepColumnWidth(int n, int width) {
  // The columns keep their width and the division moves, unless that leaves too little on a side.
  const double ratio =
      double(margins.x[4] + n * width + (n - 1) * margins.x[5] + margins.x[6]) / std::max(1, usableWidth());
  if (ratio > 0.1 && ratio < 0.9) translationShare = ratio;
}

void TIntLinWin::AddColumn() {
  if (columnCount_ >= kMaxColumns) return;
  keepColumnWidth(columnCount_ + 1, columnCount_ > 0 ? columnWidth() : int(usableWidth() * translationShare));
  setColumns(columnCount_ + 1);
  if (layoutTag_ <= 3) emit fitHeightRequested();
}

void TIntLinWin::RemoveColumn() {
  if (columnCount_ <= 0) return;
  keepColumnWidth(columnCount_ - 1, columnWidth());
  setColumns(columnCount_ - 1);
  if (layoutTag_ <= 3) emit fitHeightRequested();
}

int TIntLinWin::ColumnAt(const QPoint& p) {
  shared_.overColumn = false;
  shared_.column = 0;
  shared_.columnCell = -1;
  const int rowGap = drw_->style.rowGap[0];
  for (int i = 0; i < columnsDrawn_; ++i) {
    const int cell = column(i).VerseAt(p.x(), p.y(), rowGap, margins.x[4]);
    if (cell < 0) continue;
    shared_.overColumn = true;
    shared_.column = i + 1;
    shared_.columnCell = cell;
    return i + 1;
  }
  return 0;
}

// ---- mouse and keys ----

void TIntLinWin::mouseMoveEvent(QMouseEvent* e) {
  const QPoint pt = e->position().toPoint();
  shared_.mouse = pt;
  shared_.screenMouse = e->globalPosition().toPoint();
  if (dragging_) {
    // The division follows the mouse, never closer than 30 pixels to the right edge.
    const int w = std::max(1, usableWidth());
    translationShare = std::clamp(double(w - std::min(pt.x(), w - kDragLimit)) / w, 0.0, 1.0);
    Refresh(4);
    return;
  }
  const bool fullWithColumns = layoutTag_ == 4 && columnCount_ > 0;
  const bool nearDivision = fullWithColumns && std::abs(pt.x() - divisionX()) <= kDivisionGrip;
  setCursor(nearDivision ? Qt::SplitHCursor : Qt::ArrowCursor);
  bool changed = false;
  if (ColumnAt(pt) > 0) {
    popup_ = Popup::TranslationSource;
    changed = focus_->MouseMoved(kNowhere);
  } else if (pt.x() < divisionX()) {
    changed = focus_->MouseMoved(pt);
    const bool inMargin = rtl() ? pt.x() > rowsRight() : pt.x() < rowsLeft();
    if (focus_->mouseCell >= 0)
      popup_ = focus_->mouseLine == 0 ? Popup::Word : Popup::Sublinear;
    else
      popup_ = inMargin ? Popup::Margin : Popup::None;
  } else {
    changed = focus_->MouseMoved(kNowhere);
    popup_ = Popup::None;
  }
  if (changed) Refresh(1);
}

void TIntLinWin::mousePressEvent(QMouseEvent* e) {
  setFocus();
  const QPoint pt = e->position().toPoint();
  if (e->button() == Qt::RightButton) {
    if (popup_ != Popup::None) emit popupRequested(popup_, e->globalPosition().toPoint());
    return;
  }
  if (e->button() != Qt::LeftButton) return;
  if (layoutTag_ == 4 && columnCount_ > 0 && std::abs(pt.x() - divisionX()) <= kDivisionGrip) {
    dragging_ = true;
    return;
  }
  if (focus_->Click(pt, selected_)) {
    Refresh(1);
    emit wordChosen(selected_);
  }
}

void TIntLinWin::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

void TIntLinWin::mouseDoubleClickEvent(QMouseEvent* e) {
  const int column = ColumnAt(e->position().toPoint());
  if (column < 1) return;
  emit memoRequested(column, this->column(column - 1).cells()[std::size_t(shared_.columnCell)].ref);
}

void TIntLinWin::leaveEvent(QEvent*) {
  if (focus_->MouseMoved(kNowhere)) Refresh(1);
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

void TIntLinWin::keyPressEvent(QKeyEvent* e) {
  const bool shift = e->modifiers() & Qt::ShiftModifier;
  switch (e->key()) {
    case Qt::Key_Down:
    case Qt::Key_Up:
      if (focus_->keyboardMode && !shift)
        keyboardRow(e->key() == Qt::Key_Down);
      else
        e->key() == Qt::Key_Down ? RowDown(shift) : RowUp(shift);
      break;
    case Qt::Key_PageDown:
      PageDown();
      break;
    case Qt::Key_PageUp:
      PageUp();
      break;
    case Qt::Key_Space:
      if (!hasBook_) emit layoutReapplyRequested();
      break;
    case Qt::Key_Slash:
      focus_->keyboardMode ? focus_->KeyboardOff() : focus_->KeyboardOn(shared_.mouse);
      Refresh(1);
      break;
    case Qt::Key_Left:
    case Qt::Key_Right: {
      // Right to left: the keys follow the reading direction on screen.
      if (focus_->keyboardMode) keyboardCell((e->key() == Qt::Key_Right) != rtl());
      break;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (focus_->keyboardMode && focus_->keyCell >= 0) {
        const QRect r = focus_->frameRect(focus_->keyCell, focus_->keyLine, false);
        if (focus_->Click(r.center(), selected_)) emit wordChosen(selected_);
        Refresh(1);
      }
      break;
    case Qt::Key_Plus:
    case Qt::Key_Minus:
      zoomIndex = std::clamp(zoomIndex + (e->key() == Qt::Key_Plus ? 1 : -1), 0, 32);
      Refresh(3);
      break;
    default:
      QWidget::keyPressEvent(e);
  }
}

// The keyboard focus moves a word; at the page's edges the window scrolls a row with it.
void TIntLinWin::keyboardCell(bool forward) {
  const bool edge = forward ? focus_->KeyboardNextCell() : focus_->KeyboardPrevCell();
  const QRect r = focus_->frameRect(focus_->keyCell, std::max(focus_->keyLine, 0), false);
  if (forward && (edge || r.bottom() >= height())) {
    const bool moreRows = !verseComplete_ || scrollRows_ > 0;
    RowDown();
    if (edge && moreRows) focus_->KeyboardNextCell();
  } else if (!forward && (edge || r.top() < kHeaderHeight)) {
    RowUp();
  }
  Refresh(1);
}

// The keyboard focus moves to the nearest word of the next or previous row; from the first or
// last row drawn the window scrolls a row first.
void TIntLinWin::keyboardRow(bool down) {
  bool edge = down ? focus_->KeyboardRowDown() : focus_->KeyboardRowUp();
  if (edge) {
    down ? RowDown() : RowUp();
    edge = down ? focus_->KeyboardRowDown() : focus_->KeyboardRowUp();
  }
  const QRect r = focus_->frameRect(focus_->keyCell, std::max(focus_->keyLine, 0), false);
  if (!edge && !down && r.top() < kHeaderHeight) RowUp();
  if (!edge && down && r.bottom() >= height()) RowDown();
  Refresh(1);
}

void TIntLinWin::wheelEvent(QWheelEvent* e) {
  const int steps = e->angleDelta().y() / 120;
  const bool shift = e->modifiers() & Qt::ShiftModifier;
  for (int i = 0; i < std::abs(steps); ++i) steps < 0 ? RowDown(shift) : RowUp(shift);
}

}  // namespace kov
