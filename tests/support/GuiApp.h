#pragma once
// Header-only so that only test folders that link QtGui pull it in.
#include <QGuiApplication>

namespace kov::test {

// Makes sure a QGuiApplication exists (offscreen unless the environment chose a platform). It is
// created once and deliberately never destroyed: tearing it down during static destruction,
// after fonts and the platform plugin are gone, can crash.
inline void ensureGuiApp() {
  if (QGuiApplication::instance()) return;
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "kov_display_tests";
  static char* argv[] = {name, nullptr};
  new QGuiApplication(argc, argv);
}

}  // namespace kov::test
