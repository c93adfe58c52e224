#pragma once
#include <QString>
#include <QStringList>
#include <array>

namespace kov {

// Application identity and the process-wide values many parts of the program read.
// One instance for the process (`theApp()`); everything runs on the UI thread.
struct Tapp {
  QString productName = QStringLiteral("Vantrelle");
  QString shortName = QStringLiteral("KOV");
  QString registryRoot = QStringLiteral("KOV2");
  std::array<int, 4> version{2, 0, 7, 0};
  bool starting = false;
  bool closing = false;

  QString PrgDir;          // program folder, ends in '/'
  QString DefaultDir;      // PrgDir + "Default.ini/"
  QString interlinearRoot; // PrgDir + "interlinear/"
  QString helpFile;        // PrgDir + "help/index.html"

  int InstanceNo = 1;               // 1..3
  QString IniSuffix = QStringLiteral(".ini");
  std::array<QString, 4> instanceTable;  // [1..3]: the other copies' endpoints, empty when none
  bool ResetSettings = false;
  int StartUpMode = -1;
  bool languageSupportMissing = false;
  QStringList translations;  // at most 10 folder names found at start

  // Fonts used to initialise every font slot.
  QString greekFont = QStringLiteral("koine KOV");
  QString hebrewFont = QStringLiteral("Hebrew KOV");
  QString arialFont = QStringLiteral("Arial");
  QString symbolFont = QStringLiteral("symbol");
  QString systemFont = QStringLiteral("system");
  QString timesFont = QStringLiteral("Times New Roman");

  // Sets the folders from a program folder (ends in '/').
  void setProgramFolder(const QString& prgDir);
  // ".ini" for the first copy, ".ini2"/".ini3" for the others.
  static QString iniSuffixFor(int instanceNo);
  QString versionText() const;  // "2.0.7.0"
};

Tapp& theApp();

}  // namespace kov
