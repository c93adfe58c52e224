#include "ui/TFrmKOVMain.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>

#include "core/Tapp.h"
#include "texts/TSourceList.h"

namespace kov {

TFrmKOVMain::TFrmKOVMain(QWidget* parent) : QMainWindow(parent), status_(new QLabel(this)) {
  setWindowTitle(theApp().shortName);
  setObjectName(QStringLiteral("TFrmKOVMain"));
  status_->setMargin(16);
  status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setCentralWidget(status_);
  resize(1024, 700);
}

void TFrmKOVMain::setDatabaseSummary(const QString& root, const QStringList& texts, const QString& mainText) {
  status_->setText(QStringLiteral("Program folder: %1\nDatabase folder: %2\nTexts: %3\nMain text: %4")
                       .arg(theApp().PrgDir, root, texts.join(QStringLiteral(", ")), mainText));
}

void TFrmKOVMain::setInterlinear(QWidget* window) {
  if (!interlinearDock_) {
    interlinearDock_ = new QDockWidget(QStringLiteral("interlinear"), this);
    interlinearDock_->setObjectName(QStringLiteral("PanelInt"));
    interlinearDock_->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    addDockWidget(Qt::TopDockWidgetArea, interlinearDock_);
  }
  interlinearDock_->setWidget(window);
  // The summary gives way to the text itself.
  status_->hide();
  setCentralWidget(nullptr);
  window->setFocus();
}

void TFrmKOVMain::setSources(const TSourceList& sources) {
  if (!translationMenu_) translationMenu_ = new QMenu(this);
  translationMenu_->clear();
  for (int n = 1; n <= sources.count(); ++n) {
    const TSourceEntry& e = sources.entry(n);
    if (e.kind == '-') {
      translationMenu_->addSeparator();
      continue;
    }
    QAction* a = translationMenu_->addAction(e.caption);
    a->setCheckable(true);
    a->setData(n);
    connect(a, &QAction::triggered, this, [this, n] { emit sourceChosen(n); });
  }
}

void TFrmKOVMain::popupSources(const QPoint& globalPos, int checkedEntry) {
  if (!translationMenu_) return;
  for (QAction* a : translationMenu_->actions()) {
    a->setEnabled(true);
    a->setChecked(a->data().toInt() == checkedEntry && checkedEntry > 0);
  }
  translationMenu_->popup(globalPos);
}

void TFrmKOVMain::closeEvent(QCloseEvent* e) {
  emit closing();
  e->accept();
}

}  // namespace kov
