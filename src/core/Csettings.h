#pragma once
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <string>

#include "core/IniFile.h"
#include "core/PresetRecords.h"
#include "core/RegistryStore.h"

namespace kov {

// The desktop's work area, given by the caller so that the model needs no screen.
struct WorkArea {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
};

struct WindowRect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const WindowRect&) const = default;
};

// A stored passage: book code, chapter, verse and verse mark.
struct StoredRef {
  std::string bks;
  int chapter = 1;
  int verse = 1;
  char mark = ' ';
  bool operator==(const StoredRef&) const = default;
};

// A font as the model keeps it: no toolkit types.
struct FontSpec {
  QString name = QStringLiteral("Arial");
  qint32 height = -12;
  quint32 color = 0;  // $BBGGRR
  qint32 lineSpace = 0;
  int slot = 20;  // renderer font slot
  bool operator==(const FontSpec&) const = default;
};

// Translation ("Tran") and note ("Note") fonts, one per presentation.
struct TranslationFonts {
  std::array<FontSpec, kPresentations> tran{};
  std::array<FontSpec, kPresentations> note{};
  bool operator==(const TranslationFonts&) const = default;
};
TranslationFonts defaultTranslationFonts();

struct ColourInfo {
  const char* key;
  const char* displayName;
  quint32 factory;  // $BBGGRR
};
constexpr int kColourCount = 20;
const std::array<ColourInfo, kColourCount>& colourTable();
using Colours = std::array<quint32, kColourCount>;

// One dockable panel's place in a stored layout.
struct PanelLayout {
  qint32 dock = 0;
  qint32 dockPos = 0;
  qint32 height = 0;
  qint32 restoreTop = 0;
  bool minimized = false;
  bool maximized = false;
  bool maximizedMin = false;
  bool visible = false;
  qint32 colCount = 0;
  qint32 width = 0;
  double ratio = 0;  // interlinear and search-results panels: share of the translation columns
  bool operator==(const PanelLayout&) const = default;
};

// One of the five named layouts. Panels by tag - 1: interlinear, concordant view,
// search results, translations.
struct LayoutRecord {
  enum Panel { Int = 0, CV = 1, SR = 2, Trn = 3 };
  std::array<PanelLayout, 4> panels{};
  qint32 intLayoutMode = 0;
  bool operator==(const LayoutRecord&) const = default;
};
constexpr int kLayoutCount = 5;
// The factory value of layout n (1..5) laid over `base` (fields it does not name stay).
LayoutRecord factoryLayout(int n, LayoutRecord base = {});

// What the start should do with the stored settings given "StartUpMode".
enum class StartUpDecision { Keep, Reset, AskUser };
StartUpDecision decideStartUp(int startUpMode);

// Where the stores are.
struct SettingsPaths {
  QString registryRoot;          // stands for HKEY_CURRENT_USER\Software\KOV2
  QString defaultDir;            // the factory files ("Default.ini/")
  QString prgDir;                // the program folder
  QString iniSuffix = ".ini";    // ".ini", ".ini2", ".ini3"
};

// The settings object: every value the program keeps between runs that is not held
// by the database or a window, with the readers and writers of the stores.
class TSettings {
 public:
  static constexpr int kMetricRows = 22;
  static constexpr int kWindows = 25;
  static constexpr int kItemHeights = 11;
  static constexpr int kBookmarks = 10;
  static constexpr int kStrongNotes = 10;
  static constexpr int kColumnSets = 3;
  static constexpr int kColumns = 10;
  static constexpr int kVersion[4] = {2, 0, 7, 0};

  explicit TSettings(SettingsPaths paths);

  const SettingsPaths& paths() const { return paths_; }
  RegistryStore& registry() { return registry_; }
  QString settingsKey() const { return QStringLiteral("KOV") + paths_.iniSuffix; }

  // --- stores --------------------------------------------------------------
  bool openSettings(bool factory, QString* error = nullptr);
  bool closeSettings(QString* error = nullptr);  // writes what was changed
  bool openPreset(const QString& name, bool factory, QString* error = nullptr);
  bool closePreset(QString* error = nullptr);
  IniFile* settingsStore() { return settings_ ? &*settings_ : nullptr; }
  IniFile* presetStore() { return preset_ ? &*preset_ : nullptr; }
  bool keyExists(const QString& path) const { return registry_.keyExists(path); }
  // Presets in the registry: sub-keys whose name contains ".pre", named by what precedes it.
  QStringList presetNames() const;

  // --- settings store ------------------------------------------------------
  void readFormCoordinates(const WorkArea& desktop);
  void readSettings(const WorkArea& desktop);  // the settings store must be open
  bool writeSettings(bool factory, QString* error = nullptr);
  bool readColours();  // false when no store is open
  bool writeColours();
  // Developer command: the current preset and all settings become the factory files.
  bool saveAsFactoryState(QString* error = nullptr);

  // Single values: each opens and closes this copy's store.
  int readStartUpMode() const;
  bool writeStartUpMode(int value, QString* error = nullptr);
  int readSkipLngMsg() const;
  bool writeSkipLngMsg(int value, QString* error = nullptr);
  int readUpdateDays() const;
  bool writeUpdateDays(int value, QString* error = nullptr);
  static QString updateSection();

  // The start's choice between the stored and the factory settings. `reset` comes
  // from "StartUpMode" (and the user's answer); it is also forced when a preset
  // name is missing. Returns false when a store could not be read or written; the names of
  // the presets copied from the factory files go to *copiedPresets.
  bool selectSettings(bool reset, const WorkArea& desktop, QStringList* copiedPresets = nullptr,
                      QString* error = nullptr, bool* factoryTaken = nullptr);

  // --- presets -------------------------------------------------------------
  void readPreset(bool full);  // a preset store must be open
  void readPresetMetrics();
  void readPresetFonts();
  void writePreset(bool full);
  bool writePresetValue(const QString& section, const QString& key, bool value, QString* error = nullptr);
  bool writePresetValue(const QString& section, const QString& key, qint32 value, QString* error = nullptr);
  // Reads the factory preset, applies it and writes it as the registry preset.
  bool copyFactoryPreset(const QString& name, QString* error = nullptr);

  void applySettings();
  void discardSettings();

  // --- layout metrics ------------------------------------------------------
  double zoom() const { return zoom_; }
  void setZoom(double z);  // rescales presentation 0
  void setZoomIndex(int index);  // zoom = 1 + index / 16, index kept within 0..32
  void rescaleMetrics(int presentation);
  static std::array<std::array<qint32, kPresentations>, kMetricRows> defaultMetrics();
  std::array<std::array<qint32, kPresentations>, kMetricRows> metricsBase = defaultMetrics();
  std::array<std::array<qint32, kPresentations>, kMetricRows> metrics = defaultMetrics();  // scaled

  // --- values of the settings store ---------------------------------------
  int zoomIdx = 0;
  int dpanelMode = 1;
  QString presetName = QStringLiteral("default"), presetNT, presetOT;  // applied
  QString pendingPresetName = QStringLiteral("default"), pendingPresetNT, pendingPresetOT;
  bool autoPresetLoad = true, pendingAutoPresetLoad = true;
  QString vsDatabase, localBackupDir;
  QString tbxTheme = QStringLiteral("Office11Adaptive");
  int ySplitter = 50;
  QString olbDir() const;

  std::array<WindowRect, kWindows> windows{};
  std::array<int, kWindows> windowStates{};
  static int restoreState(int stateCode);  // 0, 2 normal; 1 minimised; 3 maximised

  bool nonInterlinearMode = false, menuFlag = true, cntwrdOn = true, initSize = true;
  bool synchronize2KOV = true, autoOrganize = true, translationInRam = false, interlinearInRam = false;
  bool helpform = true, synchronize = true, floatingCVbox = true;
  int srchLogicMode = 2, gndMode = 1, intMode = 1;

  // Division ratios of the views ("PanelInt" "ttline[p,v]", per mille in the store).
  std::array<std::array<double, 3>, kPresentations> ttline{{{0.25, 0.25, 0.25}, {0.4, 0, 0}, {0.4, 0, 0}}};
  std::array<LayoutRecord, kLayoutCount> layouts;  // layout n at index n - 1

  QStringList strongNotes;  // at most 10
  std::array<StoredRef, 2> passages{StoredRef{"MAT"}, StoredRef{"MAT"}};
  StoredRef searchRangeStart{"MAT", 1, 1};
  StoredRef searchRangeEnd{"REV", 22, 21};
  std::vector<StoredRef> bookmarks;  // at most 10
  std::array<std::array<QString, kColumns>, kColumnSets> columnNames;
  QStringList searchHistory;

  Colours colours{}, pendingColours{};
  static Colours factoryColours();

  TranslationFonts fonts = defaultTranslationFonts(), pendingFonts = defaultTranslationFonts();
  QString caption, pendingCaption;

  // --- values of the presets -----------------------------------------------
  // The database copies these into its own records (pending after a read; it fills
  // the applied ones before a write).
  LineOptions pendingLineOptions, lineOptions;
  PresetSublinearTable pendingTable, table;
  QString pendingMainText, mainText;  // "OrgTxt"
  ConcViewOptions concView;
  QString resetNonEntryChecked;  // "fMain" "MIresetNonEntrychecked"
  std::array<std::array<qint32, kPresentations>, kItemHeights> itemHeights{};

 private:
  bool writeSingle(const QString& section, const QString& key, int value, QString* error);
  int readSingle(const QString& section, const QString& key, int def) const;
  void writeSettingsTo(IniFile& s, bool factoryBookmarks);
  void readLayouts(const IniFile& s);
  void writeLayouts(IniFile& s) const;
  void keepOnDesktop(const WorkArea& d);

  SettingsPaths paths_;
  RegistryStore registry_;
  std::optional<IniFile> settings_;
  std::optional<IniFile> preset_;
  double zoom_ = 1.0;
};

}  // namespace kov
