#include "support/QtApp.h"

#include <QCoreApplication>

namespace kov::test {

void ensureCoreApp() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "kov_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
}

}  // namespace kov::test
