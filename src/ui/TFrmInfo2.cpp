#include "ui/TFrmInfo2.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <cmath>

#include "db/Cparsing.h"
#include "db/cIntLin.h"
#include "display/cRenderTxt.h"

namespace kov {

namespace {
constexpr int kAdhocSlot = 0;
constexpr int kTickMs = 200;
}  // namespace

QRect placeWordInfo(const QPoint& offset, const QRect& cell, const QSize& size, const QSize& screen) {
  int x = offset.x() + cell.left();
  int y = offset.y() + cell.top() + cell.height();  // the cell's bottom edge
  if (x + size.width() > screen.width()) x = screen.width() - size.width();
  if (y + size.height() > screen.height()) y = offset.y() + cell.top() - size.height();
  return QRect(QPoint(x, y), size);
}

TFrmInfo2::TFrmInfo2(TintLin& db, const Tparsing& parsing, TRenderTxt& render, QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus),
      db_(db),
      parsing_(parsing),
      render_(render) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setMouseTracking(true);
  resize(185, 245);
  TimerInfo2.setInterval(kTickMs);
  TimerHide.setInterval(kTickMs);
  connect(&TimerInfo2, &QTimer::timeout, this, [this] {
    if (hoverCheck && parsingSlot > 0 && db_.list(parsingSlot).count > 0) hoverCheck();
  });
  connect(&TimerHide, &QTimer::timeout, this, [this] {
    TimerHide.stop();
    if (nothingUnderMouse && nothingUnderMouse()) HideWordInfo();
  });
  TimerInfo2.start();
}

void TFrmInfo2::prepareFont() {
  itemHeight_ = int(std::lround(12 * zoom));
  render_.BuildAdhocFont(QStringLiteral("MS Reference Sans Serif"), -itemHeight_, kAdhocSlot);
}

int TFrmInfo2::lineWidth(const std::string& line) {
  render_.measureOnly = true;
  render_.completeFields = true;  // the lines are shown whole, never cut with "..."
  render_.canvas = nullptr;
  render_.SelectAdhocFont(kAdhocSlot, 0);
  render_.ResetMarkup();
  double advance = 0;
  render_.DrawMarkup(3, 0, advance, line);
  render_.measureOnly = false;
  render_.completeFields = false;
  return int(std::ceil(advance)) + 3;
}

void TFrmInfo2::ShowWordInfo(int slot, int wordForm, int selection, const QPoint& offset, const QRect& cellRect) {
  if (shownOnce_ && isVisible() && cellRect.topLeft() == lastCell_.topLeft()) return;
  lastCell_ = cellRect;
  shownOnce_ = true;
  prepareFont();
  lines_.clear();
  lines_.emplace_back();
  parsing_.decode(db_.rendering(slot, wordForm, selection), lines_);
  int widest = 0;
  for (const std::string& l : lines_) widest = std::max(widest, lineWidth(l));
  const QSize size(widest + 10, int(lines_.size()) * (itemHeight_ + 1) + 5);
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize screenSize = screen ? screen->size() : QSize(1920, 1080);
  setGeometry(placeWordInfo(offset, cellRect, size, screenSize));
  show();
  update();
}

void TFrmInfo2::HideWordInfo() {
  if (isVisible()) hide();
}

void TFrmInfo2::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QColor back = palette().color(QPalette::ToolTipBase);
  p.fillRect(rect(), back);
  render_.canvas = &p;
  render_.completeFields = true;
  render_.setTextClr(0);
  for (int i = 0; i < int(lines_.size()); ++i) {
    const QRect item(0, i * (itemHeight_ + 1), width(), itemHeight_ + 1);
    if (i == selectedLine) {
      p.fillRect(item, toQColor(kSelectedFill));
      p.setPen(toQColor(kSelectedFrame));
      p.drawRect(item.adjusted(0, 0, -1, -1));
    }
    render_.SelectAdhocFont(kAdhocSlot, 0);
    render_.ResetMarkup();
    double advance = 0;
    render_.textAlign = TRenderTxt::AlignTop;
    render_.DrawMarkup(item.left() + 3, item.top(), advance, lines_[std::size_t(i)]);
  }
  render_.canvas = nullptr;
  render_.completeFields = false;
}

void TFrmInfo2::mouseMoveEvent(QMouseEvent*) { HideWordInfo(); }

}  // namespace kov
