#include "ui/TFrmKOVMain.h"

#include <QDir>
#include <QLabel>

#include "core/FileLookup.h"
#include "core/ProgramFolder.h"

namespace kov {

TFrmKOVMain::TFrmKOVMain(QWidget* parent) : QMainWindow(parent), status_(new QLabel(this)) {
  setWindowTitle(QStringLiteral("KOV"));
  const QString prg = programFolder();
  const QString root = findNoCase(prg, QStringLiteral("interlinear"));
  const QStringList texts = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  QString text = QStringLiteral("Program folder: %1\n").arg(prg);
  if (texts.isEmpty())
    text += QStringLiteral("No database found in %1").arg(root);
  else
    text += QStringLiteral("Database folder: %1\nTexts: %2").arg(root, texts.join(QStringLiteral(", ")));
  status_->setText(text);
  status_->setMargin(16);
  setCentralWidget(status_);
  resize(800, 500);
}

}  // namespace kov
