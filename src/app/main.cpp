#include <QApplication>

#include "ui/TFrmKOVMain.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("KOV"));
  kov::TFrmKOVMain w;
  w.show();
  return QApplication::exec();
}
