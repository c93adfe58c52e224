#include "core/Csettings.h"

#include <QDir>

#include <algorithm>
#include <cmath>

#include "core/FileLookup.h"
#include "core/ProgramFolder.h"

namespace kov {

namespace {

QString qs(const char* s) { return QString::fromLatin1(s); }
QString num(int n) { return QString::number(n); }

const QString kMisc = QStringLiteral("Misc");
const QString kMiscLow = QStringLiteral("misc");

struct OptionKey {
  const char* key;
  int offset;
  bool def;
};

// Display options a preset keeps. The four commands that write their own key at
// once are marked so that writing a preset leaves them alone.
const OptionKey kPresetOptions[] = {
    {"cUnderline", LineOptions::CUnderline, false},
    {"CenterWord", LineOptions::CenterWord, false},
    {"Justify", LineOptions::Justify, false},
    {"ShowWordsConnect", LineOptions::ShowWordsConnect, false},
    {"nvnl", LineOptions::Nvnl, false},
    {"right2left", LineOptions::Right2Left, false},
    {"translit", LineOptions::Translit, false},
    {"ModernGreek", LineOptions::ModernGreek, false},
    {"TxtCmsShow", LineOptions::TxtCmsShow, true},
    {"TxtCmsSrch", LineOptions::TxtCmsSrch, false},
    {"toggles", LineOptions::Toggles, true},
    {"colorfill", LineOptions::ColorFill, true},
    {"ShowNonEntries", LineOptions::ShowNonEntries, false},
    {"BlankIfSameUp", LineOptions::BlankIfSameUp, false},
    {"BlankIfSameDn", LineOptions::BlankIfSameDn, false},
    {"ShowCompleteFields", LineOptions::ShowCompleteFields, true},
    {"variantsigns", LineOptions::VariantSigns, true},
    {"variantBool1", LineOptions::VariantBool1, true},
    {"variantBool2", LineOptions::VariantBool1 + 1, true},
    {"variantBool3", LineOptions::VariantBool1 + 2, true},
    {"variantBool4", LineOptions::VariantBool1 + 3, true},
    {"variantBool5", LineOptions::VariantBool1 + 4, true},
};
constexpr int kWrittenAtOnce = 4;  // the first four above

// Display options kept in the settings store instead of the preset.
const OptionKey kSettingsOptions[] = {
    {"lineBreak", LineOptions::LineBreak, true},
    {"ST_Bold", LineOptions::STBold, false},
    {"ST_RedLine", LineOptions::STRedLine, false},
    {"ST_YellowBG", LineOptions::STYellowBG, true},
};

const char* const kPanelSections[4] = {"PanelInt", "PanelCV", "PanelSR", "PanelTrn"};

// Chapters and verses outside what a reference can hold would wrap later on.
StoredRef readRef(const IniFile& s, const QString& sec, const QString& prefix, const QString& suffix,
                  const StoredRef& def) {
  StoredRef r;
  r.bks = s.readString(sec, prefix + QStringLiteral("bks") + suffix, QString::fromStdString(def.bks))
              .toLatin1()
              .toStdString();
  r.chapter = std::clamp(s.readInteger(sec, prefix + QStringLiteral("cr") + suffix, def.chapter), 1, 255);
  r.verse = std::clamp(s.readInteger(sec, prefix + QStringLiteral("vs") + suffix, def.verse), 1, 32767);
  return r;
}

void writeRef(IniFile& s, const QString& sec, const QString& prefix, const QString& suffix, const StoredRef& r) {
  s.writeString(sec, prefix + QStringLiteral("bks") + suffix, QString::fromLatin1(r.bks));
  s.writeInteger(sec, prefix + QStringLiteral("cr") + suffix, r.chapter);
  s.writeInteger(sec, prefix + QStringLiteral("vs") + suffix, r.verse);
}

}  // namespace

// ---------------------------------------------------------------------------
// tables and defaults

const std::array<ColourInfo, kColourCount>& colourTable() {
  static const std::array<ColourInfo, kColourCount> table{{
      {"clBgInt", "Interlinear Backgnd", 0xFFFFFF},
      {"clBgIntHdr", "Interlinear Header", 0xE8F4F9},
      {"clHorRule", "Interlinear Hor. Rule", 0xF5E5E0},
      {"clBgTN", "Translations Backgnd", 0xFFFFFF},
      {"clBgTNHdr", "Translations Header", 0xE8F4F9},
      {"clVsSelect", "Translations Verse Select", 0xFFE3D6},
      {"clBgCVhdr", "CView Header Bg", 0xE8F4F9},
      {"clBgCVtableHdr", "CView Table Header Bg", 0xF5F5F5},
      {"clBgCVtable", "CView Table Bg", 0xFFFFFF},
      {"clBgSrchResHdr", "SearchResults Header", 0xE8F4F9},
      {"clBgSrchRes", "SearchResults Backgnd", 0xFFFFFF},
      {"clSrchResMargin", "SearchResults Margin", 0xE8F4F9},
      {"clSrchResRefList", "SearchResults Ref. list", 0xFFFFFF},
      {"clListBg", "List Backgnd", 0xFFFFFF},
      {"clListHLpen", "List HighLight frame", 0xC66931},
      {"clListHL", "List HighLight Backgnd", 0xEFD3C6},
      {"clMoveFoc", "Mouse focus", 0xFF0000},
      {"clKeyBFoc", "Keyboard focus", 0xFF0000},
      {"clMsdnFoc", "Select focus", 0x0000FF},
      {"clSrchTag", "Search Tag BackGround", 0x80F8FF},
  }};
  return table;
}

Colours TSettings::factoryColours() {
  Colours c{};
  for (int i = 0; i < kColourCount; ++i) c[i] = colourTable()[i].factory;
  return c;
}

TranslationFonts defaultTranslationFonts() {
  TranslationFonts f;
  const qint32 heights[kPresentations] = {-12, -65, -45};
  for (int p = 0; p < kPresentations; ++p) {
    f.tran[p] = FontSpec{QStringLiteral("Arial"), heights[p], 0, 0, 20};
    f.note[p] = FontSpec{QStringLiteral("Arial"), heights[p], 0, 0, 21};
  }
  return f;
}

std::array<std::array<qint32, kPresentations>, TSettings::kMetricRows> TSettings::defaultMetrics() {
  std::array<std::array<qint32, kPresentations>, kMetricRows> m{};
  m[0] = {0, 200, 200};
  m[1] = {10, 100, 100};
  m[2] = {10, 0, 0};
  m[3] = {10, 50, 50};
  m[4] = {25, 50, 50};
  m[5] = {25, 75, 75};
  m[6] = {10, 100, 100};
  m[9] = {0, 100, 100};
  m[10] = {0, 50, 50};
  m[11] = {0, 300, 300};
  m[13] = {20, 0, 0};
  m[14] = {2, 0, 0};
  m[15] = {7, 0, 0};
  m[16] = {4, 0, 0};
  m[20] = {50, 600, 600};
  m[21] = {4, 60, 60};
  return m;
}

LayoutRecord factoryLayout(int n, LayoutRecord r) {
  enum { Client = 1, Right = 2 };
  static const int restoreTops[4] = {0, 300, 500, 700};
  for (int p = 0; p < 4; ++p) {
    PanelLayout& pl = r.panels[p];
    pl.dock = Client;
    pl.visible = true;
    pl.minimized = false;
    pl.height = 300;
    pl.restoreTop = restoreTops[p];
  }
  r.panels[LayoutRecord::Int].ratio = 0.2;
  r.panels[LayoutRecord::SR].ratio = 0.2;
  r.intLayoutMode = n == 5 ? 4 : 2;
  auto& trn = r.panels[LayoutRecord::Trn];
  auto& cv = r.panels[LayoutRecord::CV];
  auto& sr = r.panels[LayoutRecord::SR];
  switch (n) {
    case 1: {
      trn.dock = Right;
      trn.colCount = 1;
      trn.width = 250;
      const int pos[4] = {0, 0, 300, 600};
      for (int p = 0; p < 4; ++p) r.panels[p].dockPos = pos[p];
      break;
    }
    case 2:
      cv.minimized = sr.minimized = true;
      break;
    case 3:
      sr.minimized = true;
      trn.dock = Right;
      trn.visible = false;
      break;
    case 4:
      cv.minimized = true;
      trn.visible = false;
      break;
    default:
      cv.minimized = sr.minimized = true;
      trn.visible = false;
      break;
  }
  return r;
}

StartUpDecision decideStartUp(int startUpMode) {
  if (startUpMode <= 0) return StartUpDecision::Reset;
  if (startUpMode == 1) return StartUpDecision::AskUser;
  return StartUpDecision::Keep;
}

TSettings::TSettings(SettingsPaths paths) : paths_(std::move(paths)), registry_(paths_.registryRoot) {
  paths_.defaultDir = withTrailingSlash(paths_.defaultDir);
  paths_.prgDir = withTrailingSlash(paths_.prgDir);
  colours = pendingColours = factoryColours();
  for (auto& set : columnNames) set.fill(QStringLiteral("TAV"));
  for (int n = 1; n <= kLayoutCount; ++n) layouts[n - 1] = factoryLayout(n);
  pendingTable.entries.resize(1);
  pendingTable.entries[0].fonts = defaultSlotFonts(0);
  table = pendingTable;
}

QString TSettings::olbDir() const { return paths_.prgDir + QStringLiteral("olb/"); }

int TSettings::restoreState(int stateCode) {
  if (stateCode == 1) return 1;
  if (stateCode == 3) return 3;
  return 2;
}

// ---------------------------------------------------------------------------
// stores

bool TSettings::openSettings(bool factory, QString* error) {
  settings_.emplace();
  if (factory) {
    *settings_ = IniFile(findNoCase(paths_.defaultDir, QStringLiteral("KOV.ini")));
    return settings_->load(error);
  }
  return registry_.open(settingsKey(), *settings_, error);
}

bool TSettings::closeSettings(QString* error) {
  if (!settings_) return true;
  const bool ok = settings_->save(error);
  settings_.reset();
  return ok;
}

bool TSettings::openPreset(const QString& name, bool factory, QString* error) {
  preset_.emplace();
  const QString file = name + QStringLiteral(".pre");
  if (factory) {
    // A name with folder parts would leave the factory folder.
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) {
      if (error) *error = file + QStringLiteral(": not a preset name");
      return false;
    }
    *preset_ = IniFile(findNoCase(paths_.defaultDir, file));
    return preset_->load(error);
  }
  if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) {
    *preset_ = IniFile();
    if (error) *error = file + QStringLiteral(": not a preset name");
    return false;
  }
  return registry_.open(file, *preset_, error);
}

bool TSettings::closePreset(QString* error) {
  if (!preset_) return true;
  const bool ok = preset_->save(error);
  preset_.reset();
  return ok;
}

QStringList TSettings::presetNames() const {
  QStringList out;
  for (const QString& k : registry_.subKeys()) {
    const qsizetype at = k.indexOf(QLatin1String(".pre"), 0, Qt::CaseInsensitive);
    if (at >= 0) out << k.left(at);
  }
  return out;
}

// ---------------------------------------------------------------------------
// single values

int TSettings::readSingle(const QString& section, const QString& key, int def) const {
  IniFile f;
  if (!registry_.open(settingsKey(), f)) return def;
  return f.readInteger(section, key, def);
}

bool TSettings::writeSingle(const QString& section, const QString& key, int value, QString* error) {
  IniFile f;
  if (!registry_.open(settingsKey(), f, error)) return false;
  f.writeInteger(section, key, value);
  return f.save(error);
}

int TSettings::readStartUpMode() const { return readSingle(kMisc, QStringLiteral("StartUpMode"), -1); }
bool TSettings::writeStartUpMode(int v, QString* e) { return writeSingle(kMisc, QStringLiteral("StartUpMode"), v, e); }
int TSettings::readSkipLngMsg() const { return readSingle(kMisc, QStringLiteral("SkipLngMsg"), -1); }
bool TSettings::writeSkipLngMsg(int v, QString* e) { return writeSingle(kMisc, QStringLiteral("SkipLngMsg"), v, e); }
int TSettings::readUpdateDays() const { return readSingle(updateSection(), QStringLiteral("days"), -1); }
bool TSettings::writeUpdateDays(int v, QString* e) { return writeSingle(updateSection(), QStringLiteral("days"), v, e); }

QString TSettings::updateSection() {
  return QStringLiteral("UpdMsg%1.%2.%3.%4").arg(kVersion[0]).arg(kVersion[1]).arg(kVersion[2]).arg(kVersion[3]);
}

// ---------------------------------------------------------------------------
// window positions

void TSettings::readFormCoordinates(const WorkArea& d) {
  const int L = d.left, T = d.top, R = d.right, B = d.bottom, W = d.width(), H = d.height();
  auto& w = windows;
  auto set = [&](int n, int l, int t, int wd, int ht) { w[n] = WindowRect{l, t, wd, ht}; };
  // In table order: a default that uses another window takes its value as it stands.
  set(0, L, T, std::min(W, 1024), H);
  set(2, L, T + 100, 500, 400);
  set(4, W - 550, T, 550, 300);
  set(6, w[3].left + w[3].width, w[3].top, 485, 210);
  set(7, W - 556, w[3].top, 556, 450);
  set(8, R - 216, w[3].top, 216, 10);
  set(10, L, T + 300, w[0].width, H - (T + 300));
  set(11, R - W / 2, w[3].top, W / 2, B - w[3].top);
  set(12, 0, 0, 600, 400);
  set(13, (R + L - 214) / 2, (B + T - 224) / 2, 214, 224);
  set(14, L, T, 550, 300);
  set(15, R, T, W, H);
  set(16, (R + L - w[16].width) / 2, (B + T - w[16].height) / 2, 550, 400);
  set(17, R - w[18].width, B - w[18].height, 400, 200);
  set(18, R - 235, B - 165, 235, 165);
  set(19, R - 235, B - 330, 235, 165);
  set(20, R - 737, B - 240, 737, 240);
  set(21, R - 800, B - 600, 800, 600);
  set(22, R - 700, B - 500, 700, 500);
  set(23, R - 800, B - 400, 800, 400);
  set(24, R - 800, B - 400, 800, 400);

  if (settings_) {
    const QString sec = QStringLiteral("Form Coordinates");
    const QString st = QStringLiteral("Form Status");
    for (int n = 0; n < kWindows; ++n) {
      const QString k = QStringLiteral("F") + num(n);
      w[n].left = settings_->readInteger(sec, k + QStringLiteral(".l"), w[n].left);
      w[n].top = settings_->readInteger(sec, k + QStringLiteral(".t"), w[n].top);
      w[n].width = settings_->readInteger(sec, k + QStringLiteral(".w"), w[n].width);
      w[n].height = settings_->readInteger(sec, k + QStringLiteral(".h"), w[n].height);
      windowStates[n] = settings_->readInteger(st, k, 0);
    }
  }
  keepOnDesktop(d);
  if (windowStates[0] == 1) windowStates[0] = 2;
}

void TSettings::keepOnDesktop(const WorkArea& d) {
  for (int n = 0; n < kWindows; ++n) {
    WindowRect& r = windows[n];
    // A desktop smaller than the least size wins: the window must fit on it.
    r.width = std::min(std::max(r.width, n == 0 ? 210 : 100), std::max(d.width(), 0));
    r.height = std::min(std::max(r.height, 50), std::max(d.height(), 0));
    if (r.left + r.width > d.right) r.left = d.right - r.width;
    if (r.top + r.height > d.bottom) r.top = d.bottom - r.height;
    r.left = std::max(r.left, d.left);
    r.top = std::max(r.top, d.top);
  }
}

// ---------------------------------------------------------------------------
// settings store

void TSettings::readSettings(const WorkArea& desktop) {
  readFormCoordinates(desktop);
  if (!settings_) return;
  const IniFile& s = *settings_;
  zoomIdx = s.readInteger(kMisc, QStringLiteral("ZoomIdx"), 0);
  setZoomIndex(zoomIdx);
  dpanelMode = s.readInteger(kMisc, QStringLiteral("DpanelMode"), 1);
  pendingPresetName = s.readString(kMiscLow, QStringLiteral("presetName"), QStringLiteral("default"));
  pendingPresetNT = s.readString(kMiscLow, QStringLiteral("presetNT"), {});
  pendingPresetOT = s.readString(kMiscLow, QStringLiteral("presetOT"), {});
  pendingAutoPresetLoad = s.readBool(kMiscLow, QStringLiteral("AutoPresetLoad"), true);
  vsDatabase = s.readString(kMiscLow, QStringLiteral("VSdatabase"), {});
  localBackupDir = s.readString(kMiscLow, QStringLiteral("LocalBackupDir"), {});
  tbxTheme = s.readString(kMiscLow, QStringLiteral("TBXTheme"), QStringLiteral("Office11Adaptive"));
  ySplitter = s.readInteger(kMiscLow, QStringLiteral("Ysplitter"), 50);

  for (const OptionKey& o : kSettingsOptions)
    pendingLineOptions.setFlag(o.offset, s.readBool(QStringLiteral("LineOption"), qs(o.key), o.def));

  const QString bo = QStringLiteral("Booleans");
  nonInterlinearMode = s.readBool(bo, QStringLiteral("NonInterlinearMode"), false);
  menuFlag = s.readBool(bo, QStringLiteral("MenuFlag"), true);
  cntwrdOn = s.readBool(bo, QStringLiteral("cntwrdOn"), true);
  initSize = s.readBool(bo, QStringLiteral("InitSize"), true);
  synchronize2KOV = s.readBool(bo, QStringLiteral("Synchronize2KOV"), true);
  autoOrganize = s.readBool(bo, QStringLiteral("AutoOrganize"), true);
  helpform = s.readBool(bo, QStringLiteral("helpform"), true);
  synchronize = s.readBool(bo, QStringLiteral("Synchronize"), true);
  floatingCVbox = s.readBool(QStringLiteral("fSelPas"), QStringLiteral("FloatingCVbox"), true);
  srchLogicMode = s.readInteger(QStringLiteral("fSrchText"), QStringLiteral("SrchLogicMode"), 2);
  gndMode = s.readInteger(QStringLiteral("modes"), QStringLiteral("Gndmode"), 1);
  intMode = s.readInteger(QStringLiteral("modes"), QStringLiteral("Intmode"), 1);

  static const int ttDefaults[3][3] = {{250, 250, 250}, {400, 0, 0}, {400, 0, 0}};
  for (int m = 0; m < kPresentations; ++m)
    for (int i = 0; i < 3; ++i) {
      int v = s.readInteger(QStringLiteral("PanelInt"), QStringLiteral("ttline[%1,%2]").arg(m).arg(i),
                            ttDefaults[m][i]);
      if (m == 0) v = std::clamp(v, 50, 950);
      ttline[m][i] = v / 1000.0;
    }
  readLayouts(s);

  const QString sn = QStringLiteral("StrongNotes");
  strongNotes.clear();
  const int count = std::clamp(s.readInteger(sn, QStringLiteral("count"), 0), 0, kStrongNotes);
  for (int i = 1; i <= count; ++i) strongNotes << s.readString(sn, num(i), {});

  for (int i = 0; i < 2; ++i) passages[i] = readRef(s, QStringLiteral("Passage"), {}, num(i), StoredRef{"MAT"});
  searchRangeStart = readRef(s, QStringLiteral("SearchRangeStart"), {}, {}, StoredRef{"MAT", 1, 1});
  searchRangeEnd = readRef(s, QStringLiteral("SearchRangeEnd"), {}, {}, StoredRef{"REV", 22, 21});

  bookmarks.clear();
  for (int n = 1; n <= kBookmarks; ++n) {
    const StoredRef b = readRef(s, QStringLiteral("Bookmarks"), num(n), {}, StoredRef{""});
    if (b.bks.empty()) break;
    bookmarks.push_back(b);
  }

  auto readFonts = [&](const QString& sec, std::array<FontSpec, kPresentations>& set) {
    for (int i = 0; i < kPresentations; ++i) {
      FontSpec& f = set[i];
      const QString name = s.readString(sec, num(i) + QStringLiteral("_FontName"), f.name);
      if (!name.isEmpty()) f.name = name.left(50);
      const qint32 h = s.readInteger(sec, num(i) + QStringLiteral("_Fontheight"), f.height);
      if (h != 0) f.height = h;
      f.color = static_cast<quint32>(s.readInteger(sec, num(i) + QStringLiteral("_FontColor"), static_cast<qint32>(f.color)));
      f.lineSpace = s.readInteger(sec, num(i) + QStringLiteral("_linespace"), f.lineSpace);
    }
  };
  readFonts(QStringLiteral("Tran"), pendingFonts.tran);
  readFonts(QStringLiteral("Note"), pendingFonts.note);

  for (int set = 0; set < kColumnSets; ++set)
    for (int c = 0; c < kColumns; ++c)
      columnNames[set][c] = s.readString(QStringLiteral("DBname") + num(set + 1), num(c + 1), QStringLiteral("TAV"));

  readColours();
}

void TSettings::readLayouts(const IniFile& s) {
  for (int n = 1; n <= kLayoutCount; ++n) {
    LayoutRecord& r = layouts[n - 1];
    for (int p = 0; p < 4; ++p) {
      const QString sec = qs(kPanelSections[p]) + num(n);
      PanelLayout& pl = r.panels[p];
      pl.dock = s.readInteger(sec, QStringLiteral("dockTag"), pl.dock);
      pl.dockPos = s.readInteger(sec, QStringLiteral("DockPos"), pl.dockPos);
      pl.height = std::min(s.readInteger(sec, QStringLiteral("SplitHeight"), pl.height), 9999);
      pl.restoreTop = s.readInteger(sec, QStringLiteral("restoreTop"), pl.restoreTop);
      pl.visible = s.readBool(sec, QStringLiteral("visible"), pl.visible);
      pl.minimized = s.readBool(sec, QStringLiteral("Minimized"), pl.minimized);
      pl.maximized = s.readBool(sec, QStringLiteral("Maximized"), pl.maximized);
      pl.maximizedMin = s.readBool(sec, QStringLiteral("MaximizedMin"), pl.maximizedMin);
      pl.width = s.readInteger(sec, QStringLiteral("Width"), pl.width);
      if (p != LayoutRecord::CV) {
        const qint32 c = s.readInteger(sec, QStringLiteral("TNcolCnt"), pl.colCount);
        pl.colCount = p == LayoutRecord::Trn ? std::clamp(c, 1, 10) : std::min(c, 10);
      }
      if (p == LayoutRecord::Int || p == LayoutRecord::SR)
        pl.ratio = s.readInteger(sec, QStringLiteral("ttline"), static_cast<qint32>(std::lround(pl.ratio * 1000))) / 1000.0;
    }
    r.intLayoutMode = s.readInteger(qs("PanelInt") + num(n), QStringLiteral("nIntLayoutMode"), r.intLayoutMode);
  }
}

void TSettings::writeLayouts(IniFile& s) const {
  for (int n = 1; n <= kLayoutCount; ++n) {
    const LayoutRecord& r = layouts[n - 1];
    for (int p = 0; p < 4; ++p) {
      const QString sec = qs(kPanelSections[p]) + num(n);
      const PanelLayout& pl = r.panels[p];
      s.writeInteger(sec, QStringLiteral("dockTag"), pl.dock);
      s.writeInteger(sec, QStringLiteral("DockPos"), pl.dockPos);
      s.writeInteger(sec, QStringLiteral("SplitHeight"), pl.height);
      s.writeInteger(sec, QStringLiteral("restoreTop"), pl.restoreTop);
      s.writeBool(sec, QStringLiteral("visible"), pl.visible);
      s.writeBool(sec, QStringLiteral("Minimized"), pl.minimized);
      s.writeBool(sec, QStringLiteral("Maximized"), pl.maximized);
      s.writeBool(sec, QStringLiteral("MaximizedMin"), pl.maximizedMin);
      if (p != LayoutRecord::CV) s.writeInteger(sec, QStringLiteral("TNcolCnt"), pl.colCount);
      s.writeInteger(sec, QStringLiteral("Width"), pl.width);
      if (p == LayoutRecord::Int || p == LayoutRecord::SR)
        s.writeInteger(sec, QStringLiteral("ttline"), static_cast<qint32>(std::lround(pl.ratio * 1000)));
    }
    s.writeInteger(qs("PanelInt") + num(n), QStringLiteral("nIntLayoutMode"), r.intLayoutMode);
  }
}

bool TSettings::readColours() {
  if (!settings_) return false;
  for (int i = 0; i < kColourCount; ++i)
    pendingColours[i] = static_cast<quint32>(settings_->readInteger(
                            QStringLiteral("Colors"), qs(colourTable()[i].key),
                            static_cast<qint32>(colourTable()[i].factory))) & 0xFFFFFFu;
  return true;
}

bool TSettings::writeColours() {
  if (!settings_) return false;
  for (int i = 0; i < kColourCount; ++i)
    settings_->writeInteger(QStringLiteral("Colors"), qs(colourTable()[i].key), static_cast<qint32>(colours[i]));
  return true;
}

void TSettings::writeSettingsTo(IniFile& s, bool factoryBookmarks) {
  s.writeInteger(kMisc, QStringLiteral("ZoomIdx"), zoomIdx);
  s.writeInteger(kMisc, QStringLiteral("DpanelMode"), dpanelMode);
  s.writeString(kMiscLow, QStringLiteral("presetName"), presetName);
  s.writeString(kMiscLow, QStringLiteral("presetNT"), presetNT);
  s.writeString(kMiscLow, QStringLiteral("presetOT"), presetOT);
  s.writeBool(kMiscLow, QStringLiteral("AutoPresetLoad"), autoPresetLoad);
  s.writeString(kMiscLow, QStringLiteral("VSdatabase"), vsDatabase);
  s.writeString(kMiscLow, QStringLiteral("LocalBackupDir"), localBackupDir);
  s.writeString(kMiscLow, QStringLiteral("TBXTheme"), tbxTheme);
  s.writeInteger(kMiscLow, QStringLiteral("Ysplitter"), ySplitter);
  s.writeString(kMiscLow, QStringLiteral("dir_olb"), olbDir());

  for (int n = 0; n < kWindows; ++n) {
    const QString k = QStringLiteral("F") + num(n);
    const QString sec = QStringLiteral("Form Coordinates");
    s.writeInteger(sec, k + QStringLiteral(".l"), windows[n].left);
    s.writeInteger(sec, k + QStringLiteral(".t"), windows[n].top);
    s.writeInteger(sec, k + QStringLiteral(".w"), windows[n].width);
    s.writeInteger(sec, k + QStringLiteral(".h"), windows[n].height);
  }
  for (int n = 0; n < kWindows; ++n)
    s.writeInteger(QStringLiteral("Form Status"), QStringLiteral("F") + num(n), windowStates[n]);

  for (const OptionKey& o : kSettingsOptions)
    s.writeBool(QStringLiteral("LineOption"), qs(o.key), lineOptions.flag(o.offset));

  const QString bo = QStringLiteral("Booleans");
  s.writeBool(bo, QStringLiteral("NonInterlinearMode"), nonInterlinearMode);
  s.writeBool(bo, QStringLiteral("MenuFlag"), menuFlag);
  s.writeBool(bo, QStringLiteral("cntwrdOn"), cntwrdOn);
  s.writeBool(bo, QStringLiteral("InitSize"), false);
  s.writeBool(bo, QStringLiteral("Synchronize2KOV"), synchronize2KOV);
  s.writeBool(bo, QStringLiteral("AutoOrganize"), autoOrganize);
  s.writeBool(bo, QStringLiteral("TranslationInRam"), translationInRam);
  s.writeBool(bo, QStringLiteral("InterlinearInRam"), interlinearInRam);
  s.writeBool(bo, QStringLiteral("helpform"), helpform);
  s.writeBool(bo, QStringLiteral("Synchronize"), synchronize);
  s.writeBool(QStringLiteral("fSelPas"), QStringLiteral("FloatingCVbox"), floatingCVbox);
  s.writeInteger(QStringLiteral("fSrchText"), QStringLiteral("SrchLogicMode"), srchLogicMode);
  s.writeInteger(QStringLiteral("modes"), QStringLiteral("Gndmode"), gndMode);
  s.writeInteger(QStringLiteral("modes"), QStringLiteral("Intmode"), intMode);

  for (int m = 0; m < kPresentations; ++m)
    for (int i = 0; i < 3; ++i)
      s.writeInteger(QStringLiteral("PanelInt"), QStringLiteral("ttline[%1,%2]").arg(m).arg(i),
                     static_cast<qint32>(std::lround(ttline[m][i] * 1000)));
  writeLayouts(s);

  const int count = static_cast<int>(std::min<qsizetype>(strongNotes.size(), kStrongNotes));
  s.writeInteger(QStringLiteral("StrongNotes"), QStringLiteral("count"), count);
  for (int i = 1; i <= count; ++i) s.writeString(QStringLiteral("StrongNotes"), num(i), strongNotes[i - 1]);

  for (int i = 0; i < 2; ++i) {
    writeRef(s, QStringLiteral("Passage"), {}, num(i), passages[i]);
    s.writeString(QStringLiteral("Passage"), QStringLiteral("vsx") + num(i), QString(QLatin1Char(passages[i].mark)));
  }
  writeRef(s, QStringLiteral("SearchRangeStart"), {}, {}, searchRangeStart);
  writeRef(s, QStringLiteral("SearchRangeEnd"), {}, {}, searchRangeEnd);

  // Slots past the last bookmark are cleared so that a shorter list reads back as itself.
  for (int n = 1; n <= kBookmarks; ++n) {
    StoredRef b{""};
    if (n <= static_cast<int>(bookmarks.size())) b = factoryBookmarks ? StoredRef{"MAT", 1, 1} : bookmarks[n - 1];
    writeRef(s, QStringLiteral("Bookmarks"), num(n), {}, b);
  }

  auto writeFonts = [&](const QString& sec, const std::array<FontSpec, kPresentations>& set) {
    for (int i = 0; i < kPresentations; ++i) {
      s.writeString(sec, num(i) + QStringLiteral("_FontName"), set[i].name);
      s.writeInteger(sec, num(i) + QStringLiteral("_Fontheight"), set[i].height);
      s.writeInteger(sec, num(i) + QStringLiteral("_FontColor"), static_cast<qint32>(set[i].color));
      s.writeInteger(sec, num(i) + QStringLiteral("_linespace"), set[i].lineSpace);
    }
  };
  writeFonts(QStringLiteral("Tran"), fonts.tran);
  writeFonts(QStringLiteral("Note"), fonts.note);

  for (int set = 0; set < kColumnSets; ++set)
    for (int c = 0; c < kColumns; ++c)
      s.writeString(QStringLiteral("DBname") + num(set + 1), num(c + 1), columnNames[set][c]);

  // The history is written whole; older entries beyond its length go.
  s.eraseSection(QStringLiteral("SearchHistory"));
  for (int i = 0; i < searchHistory.size(); ++i)
    s.writeString(QStringLiteral("SearchHistory"), num(i), searchHistory[i]);

  for (int i = 0; i < kColourCount; ++i)
    s.writeInteger(QStringLiteral("Colors"), qs(colourTable()[i].key), static_cast<qint32>(colours[i]));
}

bool TSettings::writeSettings(bool factory, QString* error) {
  if (!openSettings(factory, error)) {
    settings_.reset();
    return false;
  }
  writeSettingsTo(*settings_, false);
  return closeSettings(error);
}

bool TSettings::saveAsFactoryState(QString* error) {
  if (!openPreset(presetName, true, error)) {
    preset_.reset();
    return false;
  }
  writePreset(true);
  if (!closePreset(error)) return false;
  if (!openSettings(true, error)) {
    settings_.reset();
    return false;
  }
  writeSettingsTo(*settings_, true);
  return closeSettings(error);
}

bool TSettings::selectSettings(bool reset, const WorkArea& desktop, QStringList* copiedPresets, QString* error,
                               bool* factoryTaken) {
  {
    IniFile s;
    registry_.open(settingsKey(), s);
    const QString name = s.readString(kMiscLow, QStringLiteral("presetName"), QStringLiteral("default"));
    const QString nt = s.readString(kMiscLow, QStringLiteral("presetNT"), {});
    const QString ot = s.readString(kMiscLow, QStringLiteral("presetOT"), {});
    if (name.isEmpty() || nt.isEmpty() || ot.isEmpty()) reset = true;
  }
  const bool useFactory = reset || !registry_.keyExists(settingsKey());
  if (factoryTaken) *factoryTaken = useFactory;
  bool ok = true;
  if (useFactory) {
    if (openSettings(true, error)) readSettings(desktop);
    else ok = false;
    settings_.reset();
    applySettings();
    ok = writeSettings(false, error) && ok;
    ok = writeSkipLngMsg(-1, error) && ok;
  } else if (openSettings(false, error)) {
    readSettings(desktop);
    settings_.reset();
    applySettings();
  } else {
    ok = false;
  }
  for (const QString& name : {presetName, presetNT, presetOT}) {
    if (name.isEmpty()) continue;
    if (!reset && registry_.keyExists(name + QStringLiteral(".pre"))) continue;
    ok = copyFactoryPreset(name, error) && ok;
    if (copiedPresets) *copiedPresets << name;
  }
  return ok;
}

// ---------------------------------------------------------------------------
// presets

void TSettings::readPreset(bool full) {
  if (!preset_) return;
  const IniFile& p = *preset_;
  const QString lo = QStringLiteral("LineOption");
  for (const OptionKey& o : kPresetOptions) pendingLineOptions.setFlag(o.offset, p.readBool(lo, qs(o.key), o.def));
  pendingLineOptions.setShowVarMode(p.readInteger(lo, QStringLiteral("ShowVarMode"), 0));
  pendingLineOptions.setFlag(LineOptions::PresetLoaded, true);
  pendingLineOptions.setFlag(LineOptions::FlipWord, false);

  if (full) {
    resetNonEntryChecked = p.readString(QStringLiteral("fMain"), QStringLiteral("MIresetNonEntrychecked"), {});
    const QString cv = QStringLiteral("fConcView");
    for (int n = 0; n < ConcViewOptions::kColumns; ++n) {
      concView.columnList[n] = p.readString(cv, QStringLiteral("CVcolWL") + num(n), {});
      concView.columnWidth[n] = p.readInteger(cv, QStringLiteral("CVcolWidth") + num(n), 100);
    }
    concView.sortColumn = p.readInteger(cv, QStringLiteral("SortColumn"), 0);
    concView.showCount = p.readBool(cv, QStringLiteral("ShowCount"), true);
    concView.autoBlanking = p.readBool(cv, QStringLiteral("AutoBlanking"), false);
    concView.autoColWidth = p.readBool(cv, QStringLiteral("AutoColWidth"), true);
    concView.allRenderings = p.readBool(cv, QStringLiteral("AllRenderings"), true);
    concView.strongStep = p.readBool(cv, QStringLiteral("StrongStep"), false);
    concView.zoom = p.readInteger(cv, QStringLiteral("Zoom"), 0);
    concView.colWMode = p.readInteger(cv, QStringLiteral("ColWMode"), 0);
  }
  pendingMainText = p.readString(QStringLiteral("OrgTxt"), QStringLiteral("1"), mainText);

  const QString wl = QStringLiteral("WL");
  // Negative counts read as the main text alone; more than the table holds are cut.
  const int count = std::clamp(p.readInteger(wl, QStringLiteral("max"), 0), 0, kMaxSlots - 1) + 1;
  auto& entries = pendingTable.entries;
  const auto old = entries;
  entries.assign(static_cast<std::size_t>(count), PresetSublinear{});
  for (int n = 0; n < count; ++n) {
    PresetSublinear& s = entries[n];
    s.fonts = n < static_cast<int>(old.size()) ? old[n].fonts : defaultSlotFonts(n);
    s.fileName = p.readString(wl, num(n) + QStringLiteral("name"), {});
    s.visible = p.readBool(wl, num(n) + QStringLiteral("visible"), true);
    s.column = p.readInteger(QStringLiteral("WLCols"), num(n), n);
    s.columnWidth = p.readInteger(QStringLiteral("WLColsWidth"), num(n), 50);
  }
  readPresetMetrics();
  readPresetFonts();
}

void TSettings::readPresetMetrics() {
  if (!preset_) return;
  const IniFile& p = *preset_;
  const auto defs = defaultMetrics();
  const auto pres = defaultPresentations();
  const QString wl = QStringLiteral("WL");
  for (int m = 0; m < kPresentations; ++m) {
    if (m > 0) {
      for (int r = 0; r <= 6; ++r)
        metricsBase[r][m] = p.readInteger(QStringLiteral("Wxa"), num(r) + QLatin1Char(' ') + num(m), defs[r][m]);
      for (int r = 8; r <= 11; ++r)
        metricsBase[r][m] = p.readInteger(QStringLiteral("Wya"), num(r - 8) + QLatin1Char(' ') + num(m), defs[r][m]);
    }
    PresentationMetrics& pm = pendingTable.presentations[m];
    pm.dyFirst = p.readInteger(wl, num(m) + QStringLiteral("_dyFirst"), pres[m].dyFirst);
    pm.dyLast = p.readInteger(wl, num(m) + QStringLiteral("_dyLast"), pres[m].dyLast);
    pm.dyLine = p.readInteger(wl, num(m) + QStringLiteral("_dyLine"), pres[m].dyLine);
    pm.spcWdth = p.readInteger(wl, num(m) + QStringLiteral("_spcWdth"), pres[m].spcWdth);
    rescaleMetrics(m);
  }
  for (int n = 0; n < kItemHeights; ++n)
    for (int m = 0; m < kPresentations; ++m) {
      const qint32 v = p.readInteger(QStringLiteral("ItemHeight"), num(n) + QLatin1Char(' ') + num(m), itemHeights[n][m]);
      if (v != 0) itemHeights[n][m] = v;
    }
}

void TSettings::readPresetFonts() {
  if (!preset_) return;
  const IniFile& p = *preset_;
  for (PresetSublinear& s : pendingTable.entries) {
    if (s.fileName.isEmpty()) continue;
    for (int m = 0; m < kPresentations; ++m) {
      SlotFont& f = s.fonts[m];
      // A value missing, an empty name or a height of 0 keep what the slot has.
      const QString name = p.readString(s.fileName, num(m) + QStringLiteral("_FontName"), f.name);
      if (!name.isEmpty()) f.name = name;
      const qint32 h = p.readInteger(s.fileName, num(m) + QStringLiteral("_Fontheight"), f.height);
      if (h != 0) f.height = h;
      f.color = static_cast<quint32>(p.readInteger(s.fileName, num(m) + QStringLiteral("_FontColor"), static_cast<qint32>(f.color)));
      f.dyH = p.readInteger(s.fileName, num(m) + QStringLiteral("_WL_dyH"), f.dyH);
      f.dyL = p.readInteger(s.fileName, num(m) + QStringLiteral("_WL_dyL"), f.dyL);
    }
  }
}

void TSettings::writePreset(bool full) {
  if (!preset_) return;
  IniFile& p = *preset_;
  const QString lo = QStringLiteral("LineOption");
  for (std::size_t i = kWrittenAtOnce; i < std::size(kPresetOptions); ++i)
    p.writeBool(lo, qs(kPresetOptions[i].key), lineOptions.flag(kPresetOptions[i].offset));
  p.writeInteger(lo, QStringLiteral("ShowVarMode"), lineOptions.showVarMode());
  p.writeBool(lo, QStringLiteral("flipword"), lineOptions.flag(LineOptions::FlipWord));
  p.writeString(QStringLiteral("fMain"), QStringLiteral("MIresetNonEntrychecked"), resetNonEntryChecked);
  if (full) {
    const QString cv = QStringLiteral("fConcView");
    for (int n = 0; n < ConcViewOptions::kColumns; ++n) {
      p.writeString(cv, QStringLiteral("CVcolWL") + num(n), concView.columnList[n]);
      p.writeInteger(cv, QStringLiteral("CVcolWidth") + num(n), concView.columnWidth[n]);
    }
    p.writeInteger(cv, QStringLiteral("SortColumn"), concView.sortColumn);
    p.writeBool(cv, QStringLiteral("ShowCount"), concView.showCount);
    p.writeBool(cv, QStringLiteral("AutoBlanking"), concView.autoBlanking);
    p.writeBool(cv, QStringLiteral("AutoColWidth"), concView.autoColWidth);
    p.writeBool(cv, QStringLiteral("AllRenderings"), concView.allRenderings);
    p.writeBool(cv, QStringLiteral("StrongStep"), concView.strongStep);
    p.writeInteger(cv, QStringLiteral("Zoom"), concView.zoom);
    p.writeInteger(cv, QStringLiteral("ColWMode"), concView.colWMode);
  }
  p.writeString(QStringLiteral("OrgTxt"), QStringLiteral("1"), mainText);

  const QString wl = QStringLiteral("WL");
  const int count = static_cast<int>(std::min<std::size_t>(table.entries.size(), kMaxSlots));
  p.writeInteger(wl, QStringLiteral("max"), std::max(count - 1, 0));
  for (int n = 0; n < count; ++n) {
    p.writeString(wl, num(n) + QStringLiteral("Name"), table.entries[n].fileName);
    p.writeBool(wl, num(n) + QStringLiteral("visible"), table.entries[n].visible);
  }
  for (int m = 0; m < kPresentations; ++m) {
    const PresentationMetrics& pm = table.presentations[m];
    p.writeInteger(wl, num(m) + QStringLiteral("_dyFirst"), pm.dyFirst);
    p.writeInteger(wl, num(m) + QStringLiteral("_dyLast"), pm.dyLast);
    p.writeInteger(wl, num(m) + QStringLiteral("_dyLine"), pm.dyLine);
    p.writeInteger(wl, num(m) + QStringLiteral("_spcWdth"), pm.spcWdth);
  }
  for (int n = 0; n < count; ++n) {
    p.writeInteger(QStringLiteral("WLCols"), num(n), table.entries[n].column);
    p.writeInteger(QStringLiteral("WLColsWidth"), num(n), table.entries[n].columnWidth);
  }
  for (int m = 1; m < kPresentations; ++m) {
    for (int r = 0; r <= 6; ++r) p.writeInteger(QStringLiteral("Wxa"), num(r) + QLatin1Char(' ') + num(m), metricsBase[r][m]);
    for (int r = 8; r <= 11; ++r)
      p.writeInteger(QStringLiteral("Wya"), num(r - 8) + QLatin1Char(' ') + num(m), metricsBase[r][m]);
  }
  for (int n = 0; n < kItemHeights; ++n)
    for (int m = 0; m < kPresentations; ++m)
      p.writeInteger(QStringLiteral("ItemHeight"), num(n) + QLatin1Char(' ') + num(m), itemHeights[n][m]);
  for (int n = 0; n < count; ++n) {
    const PresetSublinear& s = table.entries[n];
    if (s.fileName.isEmpty()) continue;
    for (int m = 0; m < kPresentations; ++m) {
      const SlotFont& f = s.fonts[m];
      p.writeString(s.fileName, num(m) + QStringLiteral("_FontName"), f.name);
      p.writeInteger(s.fileName, num(m) + QStringLiteral("_Fontheight"), f.height);
      p.writeInteger(s.fileName, num(m) + QStringLiteral("_FontColor"), static_cast<qint32>(f.color));
      p.writeInteger(s.fileName, num(m) + QStringLiteral("_WL_dyH"), f.dyH);
      p.writeInteger(s.fileName, num(m) + QStringLiteral("_WL_dyL"), f.dyL);
    }
  }
}

bool TSettings::writePresetValue(const QString& section, const QString& key, bool value, QString* error) {
  return writePresetValue(section, key, static_cast<qint32>(value ? 1 : 0), error);
}

bool TSettings::writePresetValue(const QString& section, const QString& key, qint32 value, QString* error) {
  // Its own store, so that an open preset is not disturbed.
  IniFile f;
  if (presetName.contains(QLatin1Char('/')) || presetName.contains(QLatin1Char('\\')) ||
      !registry_.open(presetName + QStringLiteral(".pre"), f, error)) {
    if (error && error->isEmpty()) *error = presetName + QStringLiteral(": not a preset name");
    return false;
  }
  f.writeInteger(section, key, value);
  return f.save(error);
}

bool TSettings::copyFactoryPreset(const QString& name, QString* error) {
  if (!openPreset(name, true, error)) {
    preset_.reset();
    return false;
  }
  readPreset(true);
  preset_.reset();
  lineOptions = pendingLineOptions;
  table = pendingTable;
  mainText = pendingMainText;
  if (!openPreset(name, false, error)) {
    preset_.reset();
    return false;
  }
  writePreset(true);
  return closePreset(error);
}

void TSettings::applySettings() {
  presetName = pendingPresetName;
  presetNT = pendingPresetNT;
  presetOT = pendingPresetOT;
  autoPresetLoad = pendingAutoPresetLoad;
  colours = pendingColours;
  fonts = pendingFonts;
  caption = pendingCaption;
  lineOptions = pendingLineOptions;
  table = pendingTable;
  mainText = pendingMainText;
}

void TSettings::discardSettings() {
  pendingPresetName = presetName;
  pendingPresetNT = presetNT;
  pendingPresetOT = presetOT;
  pendingAutoPresetLoad = autoPresetLoad;
  pendingColours = colours;
  pendingFonts = fonts;
  pendingCaption = caption;
  pendingLineOptions = lineOptions;
  pendingTable = table;
  pendingMainText = mainText;
}

// ---------------------------------------------------------------------------
// metrics

void TSettings::setZoom(double z) {
  zoom_ = z;
  rescaleMetrics(0);
}

void TSettings::setZoomIndex(int index) {
  zoomIdx = std::clamp(index, 0, 32);
  setZoom(1.0 + zoomIdx / 16.0);
}

void TSettings::rescaleMetrics(int presentation) {
  if (presentation < 0 || presentation >= kPresentations) return;
  // Only the screen follows the zoom; printing scales its own presentations.
  const double factor = presentation == 0 ? zoom_ : 1.0;
  for (int r = 0; r < kMetricRows; ++r)
    metrics[r][presentation] = static_cast<qint32>(std::lround(metricsBase[r][presentation] * factor));
}

}  // namespace kov
