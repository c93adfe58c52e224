#include "ui/TFrmKOVsplash.h"

#include <QCursor>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QTextEdit>

#include "core/Tapp.h"

namespace kov {

namespace {
constexpr int kWidth = 691;
constexpr int kHeight = 503;
constexpr int kFadeDelayMs = 2000;

// The splash picture: the program's name and version drawn on black.
QPixmap splashPicture() {
  QPixmap pm(kWidth, 190);
  pm.fill(Qt::black);
  QPainter p(&pm);
  p.setRenderHint(QPainter::TextAntialiasing);
  QFont title(QStringLiteral("Liberation Serif"));
  title.setPixelSize(64);
  p.setFont(title);
  p.setPen(QColor(230, 200, 120));
  p.drawText(QRect(0, 30, kWidth, 90), Qt::AlignCenter, theApp().productName);
  QFont sub(QStringLiteral("Liberation Sans"));
  sub.setPixelSize(16);
  p.setFont(sub);
  p.setPen(QColor(170, 170, 170));
  p.drawText(QRect(0, 120, kWidth, 40), Qt::AlignCenter,
             QStringLiteral("%1 %2 \u2014 Hebrew and Greek interlinear").arg(theApp().shortName, theApp().versionText()));
  return pm;
}
}  // namespace

int splashFadeAlpha(qint64 msSinceFadeStart) {
  const qint64 alpha = 255 - msSinceFadeStart / 2;
  return alpha < 15 ? -1 : int(alpha);
}

TFrmKOVsplash::TFrmKOVsplash(QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
      Image2(new QLabel(this)),
      AdvProgressBar1(new QProgressBar(this)),
      RichEdit1(new QTextEdit(this)) {
  setWindowTitle(QStringLiteral("About"));
  setFixedSize(kWidth, kHeight);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);

  Image2->setPixmap(splashPicture());
  Image2->setGeometry(0, 0, kWidth, 190);
  Image2->installEventFilter(this);

  RichEdit1->setReadOnly(true);
  RichEdit1->setFrameStyle(0);
  RichEdit1->setGeometry(24, 196, kWidth - 48, kHeight - 196 - 16);
  QFont logFont(QStringLiteral("Arial"));
  logFont.setPixelSize(11);
  RichEdit1->setFont(logFont);
  QPalette lp = RichEdit1->palette();
  lp.setColor(QPalette::Base, Qt::black);
  lp.setColor(QPalette::Text, QColor(49, 120, 238));
  RichEdit1->setPalette(lp);
  RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  RichEdit1->setFocusPolicy(Qt::NoFocus);

  AdvProgressBar1->setRange(0, 100);
  AdvProgressBar1->setValue(0);
  AdvProgressBar1->setTextVisible(false);
  AdvProgressBar1->setGeometry(0, kHeight - 6, kWidth, 6);

  if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());

  Timer1.setInterval(250);
  connect(&Timer1, &QTimer::timeout, this, &TFrmKOVsplash::aboutTick);
  Timer2.setInterval(25);
  connect(&Timer2, &QTimer::timeout, this, &TFrmKOVsplash::fadeTick);
  created_.start();
}

void TFrmKOVsplash::setProgress(int value) { AdvProgressBar1->setValue(qBound(0, value, 100)); }

void TFrmKOVsplash::appendLog(const QVector<Run>& runs) {
  QTextCursor c(RichEdit1->document());
  c.movePosition(QTextCursor::End);
  if (!RichEdit1->document()->isEmpty()) c.insertBlock();
  for (const Run& r : runs) {
    QTextCharFormat f;
    f.setForeground(r.color);
    c.insertText(r.text, f);
  }
  RichEdit1->ensureCursorVisible();
}

void TFrmKOVsplash::appendLogLine(const QString& text, const QColor& color) { appendLog({{text, color}}); }

QString TFrmKOVsplash::logText() const { return RichEdit1->toPlainText(); }

void TFrmKOVsplash::startFade() {
  fadeStart_.invalidate();
  Timer2.start();
}

void TFrmKOVsplash::fadeTick() {
  if (created_.elapsed() < kFadeDelayMs) return;
  if (!fadeStart_.isValid()) fadeStart_.start();
  const int alpha = splashFadeAlpha(fadeStart_.elapsed());
  if (alpha < 0) {
    finishFade();
    return;
  }
  setWindowOpacity(alpha / 255.0);
}

void TFrmKOVsplash::finishFade() {
  Timer2.stop();
  hide();
  AdvProgressBar1->hide();
  setWindowOpacity(1.0);
}

void TFrmKOVsplash::showAbout() {
  Timer2.stop();
  setWindowOpacity(1.0);
  AdvProgressBar1->hide();
  aboutTicks_ = 0;
  aboutMouse_ = QCursor::pos();
  show();
  raise();
  Timer1.start();
}

void TFrmKOVsplash::aboutTick() {
  ++aboutTicks_;
  if (QCursor::pos() != aboutMouse_ || aboutTicks_ >= 2) {
    Timer1.stop();
    hide();
  }
}

void TFrmKOVsplash::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    finishFade();
    return;
  }
  QWidget::keyPressEvent(e);
}

void TFrmKOVsplash::mousePressEvent(QMouseEvent*) { finishFade(); }

bool TFrmKOVsplash::eventFilter(QObject* watched, QEvent* e) {
  if (watched == Image2 && e->type() == QEvent::MouseButtonPress) {
    finishFade();
    return true;
  }
  return QWidget::eventFilter(watched, e);
}

}  // namespace kov
