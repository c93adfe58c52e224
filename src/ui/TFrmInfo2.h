#pragma once
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace kov {

class TintLin;
class Tparsing;
class TRenderTxt;

// Where the word information window goes: under the word, moved left to stay on the screen,
// and above the word when it would pass the screen's bottom.
QRect placeWordInfo(const QPoint& viewOffset, const QRect& cell, const QSize& size, const QSize& screen);

// The small window that shows the decoded parsing of the word under the mouse.
class TFrmInfo2 : public QWidget {
  Q_OBJECT
 public:
  static constexpr unsigned kSelectedFill = 0xEFD3C6;
  static constexpr unsigned kSelectedFrame = 0xC66931;

  TFrmInfo2(TintLin& db, const Tparsing& parsing, TRenderTxt& render, QWidget* parent = nullptr);

  double zoom = 1.0;
  // The shared view state's hover check, run on every tick of the info timer while the
  // parsing list holds entries; `nothingUnderMouse` tells what the last check found.
  std::function<void()> hoverCheck;
  std::function<bool()> nothingUnderMouse;
  int parsingSlot = 0;  // the slot of the parsing-code list (0: none loaded)

  void ShowWordInfo(int slot, int wordForm, int selection, const QPoint& offset, const QRect& cellRect);
  void HideWordInfo();
  // Starts the hide timer (the hover check found nothing).
  void startHideTimer() { TimerHide.start(); }

  const std::vector<std::string>& lines() const { return lines_; }
  int itemHeight() const { return itemHeight_; }
  int selectedLine = -1;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;

 private:
  int lineWidth(const std::string& line);
  void prepareFont();

  TintLin& db_;
  const Tparsing& parsing_;
  TRenderTxt& render_;
  QTimer TimerInfo2;
  QTimer TimerHide;
  std::vector<std::string> lines_;
  int itemHeight_ = 12;
  QRect lastCell_;
  bool shownOnce_ = false;
};

}  // namespace kov
