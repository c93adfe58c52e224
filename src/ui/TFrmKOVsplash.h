#pragma once
#include <QColor>
#include <QElapsedTimer>
#include <QTimer>
#include <QVector>
#include <QWidget>

class QLabel;
class QProgressBar;
class QTextEdit;

namespace kov {

// The fade of the splash: nothing for the first 2000 ms, then the alpha falls by half a step
// per millisecond since the fade began. Returns the alpha to show, or -1 when the fade is over
// (fewer than 15 steps would remain) and the window should hide.
int splashFadeAlpha(qint64 msSinceFadeStart);

// Start-up splash, 691 x 503, black; it doubles as the About box.
class TFrmKOVsplash : public QWidget {
  Q_OBJECT
 public:
  struct Run {
    QString text;
    QColor color;
  };

  explicit TFrmKOVsplash(QWidget* parent = nullptr);

  void setProgress(int value);  // 0..100
  // Appends one paragraph to the information log, made of coloured runs.
  void appendLog(const QVector<Run>& runs);
  void appendLogLine(const QString& text, const QColor& color = QColor(49, 120, 238));
  QString logText() const;

  // Starts the fade that hides the splash once it has been visible for at least 2 s.
  void startFade();
  // Shows the window as the About box: the mouse moving or the second tick of a 250 ms timer hides it.
  void showAbout();

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void fadeTick();
  void aboutTick();
  void finishFade();

  QLabel* Image2;
  QProgressBar* AdvProgressBar1;
  QTextEdit* RichEdit1;
  QTimer Timer1;  // About box
  QTimer Timer2;  // fade
  QElapsedTimer created_;
  QElapsedTimer fadeStart_;
  int aboutTicks_ = 0;
  QPoint aboutMouse_;
};

}  // namespace kov
