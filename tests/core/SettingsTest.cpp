#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/Csettings.h"

namespace kov {
namespace {

class SettingsFixture : public ::testing::Test {
 protected:
  QTemporaryDir tmp;
  const WorkArea desktop{0, 0, 1920, 1040};

  SettingsPaths paths() const {
    return {tmp.path() + "/KOV2/", tmp.path() + "/prg/Default.ini/", tmp.path() + "/prg/", ".ini"};
  }
  void write(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
  }
  IniFile key(const QString& k) {
    IniFile f;
    RegistryStore(paths().registryRoot).open(k, f);
    return f;
  }
  // Reads this copy's settings store as the start does.
  TSettings loaded(const QByteArray& stored) {
    write(paths().registryRoot + "KOV.ini", stored);
    return reread();
  }
  TSettings reread() {
    TSettings s(paths());
    EXPECT_TRUE(s.openSettings(false));
    s.readSettings(desktop);
    s.closeSettings();
    return s;
  }
};

TEST(SettingsStartUp, StartUpModeDecidesWhetherToTrustTheStore) {
  struct Case { int mode; StartUpDecision expected; };
  for (const Case& c : {Case{-1, StartUpDecision::Reset}, Case{0, StartUpDecision::Reset},
                        Case{1, StartUpDecision::AskUser}, Case{2, StartUpDecision::Keep}})
    EXPECT_EQ(decideStartUp(c.mode), c.expected) << c.mode;
}

TEST_F(SettingsFixture, StartChoosesBetweenStoredAndFactorySettings) {
  const QByteArray factory = "[misc]\npresetName=std\npresetNT=nt\npresetOT=ot\n[Misc]\nZoomIdx=5\n";
  const QByteArray stored = "[misc]\npresetName=std\npresetNT=nt\npresetOT=ot\n[Misc]\nZoomIdx=2\n";
  const QByteArray noNT = "[misc]\npresetName=std\npresetOT=ot\n[Misc]\nZoomIdx=2\n";
  struct Case {
    const char* name;
    const char* storedSettings;  // nullptr: no settings key
    QStringList storedPresets;
    bool reset;
    int zoomIdx;
    QStringList copied;
  };
  const Case cases[] = {
      {"first start", nullptr, {}, false, 5, {"std", "nt", "ot"}},
      {"stored kept", stored.constData(), {"std", "nt", "ot"}, false, 2, {}},
      {"missing preset key", stored.constData(), {"std", "ot"}, false, 2, {"nt"}},
      {"missing preset name", noNT.constData(), {"std", "nt", "ot"}, false, 5, {"std", "nt", "ot"}},
      {"reset asked", stored.constData(), {"std", "nt", "ot"}, true, 5, {"std", "nt", "ot"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QDir(tmp.path()).removeRecursively();
    write(paths().defaultDir + "KOV.ini", factory);
    for (const char* p : {"std", "nt", "ot"})
      write(paths().defaultDir + p + ".pre", QByteArray("[OrgTxt]\n1=factory-") + p + "\n");
    if (c.storedSettings) write(paths().registryRoot + "KOV.ini", c.storedSettings);
    for (const QString& p : c.storedPresets) write(paths().registryRoot + p + ".pre", "[OrgTxt]\n1=mine\n");

    TSettings s(paths());
    QStringList copied;
    QString error;
    EXPECT_TRUE(s.selectSettings(c.reset, desktop, &copied, &error)) << error.toStdString();
    EXPECT_EQ(s.zoomIdx, c.zoomIdx);
    EXPECT_EQ(copied, c.copied);
    EXPECT_EQ(key("KOV.ini").readInteger("misc", "zoomidx", -9), c.zoomIdx);  // the store now holds them
    EXPECT_EQ(s.readSkipLngMsg(), -1);
    for (const char* p : {"std", "nt", "ot"}) {
      const QString expected = c.copied.contains(p) ? QString("factory-") + p : QString("mine");
      EXPECT_EQ(key(QString(p) + ".pre").readString("OrgTxt", "1", {}), expected) << p;
    }
  }
}

TEST_F(SettingsFixture, ZoomScalesTheScreenMetricsOnly) {
  TSettings s(paths());
  struct Case { int index; double zoom; qint32 row4screen; qint32 row20screen; };
  for (const Case& c : {Case{0, 1.0, 25, 50}, Case{8, 1.5, 38, 75}, Case{16, 2.0, 50, 100},
                        Case{40, 3.0, 75, 150}, Case{-3, 1.0, 25, 50}}) {
    s.setZoomIndex(c.index);
    EXPECT_DOUBLE_EQ(s.zoom(), c.zoom) << c.index;
    EXPECT_EQ(s.metrics[4][0], c.row4screen) << c.index;
    EXPECT_EQ(s.metrics[20][0], c.row20screen) << c.index;
    EXPECT_EQ(s.metrics[20][1], 600) << c.index;  // print presentations keep their values
  }
  EXPECT_EQ(s.metricsBase[4][0], 25);  // the base table is never scaled

  // A preset's print metrics are rescaled as they are read.
  write(paths().registryRoot + "p.pre", "[Wxa]\n4 1=80\n[Wya]\n3 2=333\n");
  s.setZoomIndex(16);
  ASSERT_TRUE(s.openPreset("p", false));
  s.readPreset(false);
  s.closePreset();
  EXPECT_EQ(s.metrics[4][1], 80);
  EXPECT_EQ(s.metrics[11][2], 333);
  EXPECT_EQ(s.metrics[4][0], 50);
}

TEST_F(SettingsFixture, WindowsAreKeptOnTheDesktop) {
  struct Case {
    const char* name;
    WorkArea desk;
    QByteArray stored;
    int window;
    WindowRect expected;
  };
  const WorkArea offset{100, 30, 1380, 830};
  const Case cases[] = {
      {"first start: main fills the work area up to 1024", desktop, "", 0, {0, 0, 1024, 1040}},
      {"narrow work area", {0, 0, 800, 600}, "", 0, {0, 0, 800, 600}},
      {"computed default, centred", desktop, "", 13, {853, 408, 214, 224}},
      {"computed default from the work area width", offset, "", 4, {730, 30, 550, 300}},
      {"main window too narrow", desktop, "[Form Coordinates]\nF0.w=50\nF0.h=20\n", 0, {0, 0, 210, 50}},
      {"other window too small", desktop, "[Form Coordinates]\nF2.w=50\nF2.h=20\n", 2, {0, 100, 100, 50}},
      {"before the desktop", offset, "[Form Coordinates]\nF2.l=-300\nF2.t=0\n", 2, {100, 30, 500, 400}},
      {"past the right and bottom", desktop, "[Form Coordinates]\nF2.l=1800\nF2.t=1000\n", 2, {1420, 640, 500, 400}},
      {"larger than the desktop", offset, "[Form Coordinates]\nF2.w=5000\nF2.h=5000\n", 2, {100, 30, 1280, 800}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    write(paths().registryRoot + "KOV.ini", c.stored);
    TSettings s(paths());
    ASSERT_TRUE(s.openSettings(false));
    s.readFormCoordinates(c.desk);
    EXPECT_EQ(s.windows[c.window], c.expected);
  }
  TSettings s = loaded("[Form Status]\nF0=1\nF3=1\n");
  EXPECT_EQ(s.windowStates[0], 2);  // the main window never starts minimised
  EXPECT_EQ(s.windowStates[3], 1);
  EXPECT_EQ(TSettings::restoreState(0), 2);
}

TEST_F(SettingsFixture, ReadLimitsAndDefaults) {
  TSettings s = loaded(
      "[Bookmarks]\n1bks=GEN\n1cr=3\n1vs=4\n2bks=JHN\n3bks=\n4bks=REV\n"
      "[PanelInt]\nttline[0,0]=990\nttline[0,1]=10\nttline[1,0]=990\n"
      "[Passage]\nbks0=LUK\ncr0=0\nvs0=-5\ncr1=300\n"
      "[Colors]\nclBgInt=$00FF00\nclHorRule=oops\n"
      "[Tran]\n0_FontName=\n0_Fontheight=0\n1_FontName=Gentium\n"
      "[PanelTrn2]\nTNcolCnt=0\n[PanelSR3]\nTNcolCnt=40\nSplitHeight=20000\nttline=350\n"
      "[StrongNotes]\ncount=99\n1=Strong\n");
  ASSERT_EQ(s.bookmarks.size(), 2u);  // reading stops at the first empty book code
  EXPECT_EQ(s.bookmarks[0], (StoredRef{"GEN", 3, 4}));
  EXPECT_EQ(s.bookmarks[1], (StoredRef{"JHN", 1, 1}));
  EXPECT_DOUBLE_EQ(s.ttline[0][0], 0.95);
  EXPECT_DOUBLE_EQ(s.ttline[0][1], 0.05);
  EXPECT_DOUBLE_EQ(s.ttline[0][2], 0.25);
  EXPECT_DOUBLE_EQ(s.ttline[1][0], 0.99);  // only the screen row is limited
  EXPECT_EQ(s.passages[0], (StoredRef{"LUK", 1, 1}));
  EXPECT_EQ(s.passages[1], (StoredRef{"MAT", 255, 1}));
  EXPECT_EQ(s.searchRangeEnd, (StoredRef{"REV", 22, 21}));
  EXPECT_EQ(s.pendingColours[0], 0x00FF00u);
  EXPECT_EQ(s.pendingColours[2], 0xF5E5E0u);
  EXPECT_EQ(s.pendingFonts.tran[0], defaultTranslationFonts().tran[0]);  // empty name and height 0 keep it
  EXPECT_EQ(s.pendingFonts.tran[1].name, "Gentium");
  EXPECT_EQ(s.layouts[1].panels[LayoutRecord::Trn].colCount, 1);
  EXPECT_EQ(s.layouts[2].panels[LayoutRecord::SR].colCount, 10);
  EXPECT_EQ(s.layouts[2].panels[LayoutRecord::SR].height, 9999);
  EXPECT_DOUBLE_EQ(s.layouts[2].panels[LayoutRecord::SR].ratio, 0.35);
  EXPECT_EQ(s.layouts[4].intLayoutMode, 4);  // factory value where nothing is stored
  EXPECT_EQ(s.strongNotes.size(), 10);
  EXPECT_EQ(s.pendingPresetName, "default");
  EXPECT_TRUE(s.pendingLineOptions.flag(LineOptions::LineBreak));
  EXPECT_TRUE(s.pendingLineOptions.flag(LineOptions::STYellowBG));
}

TEST_F(SettingsFixture, SettingsSurviveWriteAndRead) {
  TSettings a(paths());
  a.zoomIdx = 7;
  a.pendingPresetName = "mine";
  a.pendingPresetNT = "nt";
  a.pendingColours[5] = 0x123456;
  a.pendingFonts.note[2].name = "Ezra SIL";
  a.pendingLineOptions.setFlag(LineOptions::LineBreak, false);
  a.applySettings();
  a.windows[2] = {10, 120, 300, 200};
  a.windowStates[2] = 3;
  a.bookmarks = {StoredRef{"GEN", 1, 2}, StoredRef{"EXO", 3, 4}};
  a.searchRangeStart = {"ROM", 2, 3};
  a.ttline[2][0] = 0.375;
  a.layouts[0].panels[LayoutRecord::Int].dockPos = 77;
  a.columnNames[2][9] = "KJV";
  a.strongNotes = {"StrongG", "StrongH"};
  a.searchHistory = {"love", "G26"};
  QString error;
  ASSERT_TRUE(a.writeSettings(false, &error)) << error.toStdString();
  ASSERT_TRUE(QFile::exists(paths().registryRoot + "KOV.ini"));

  TSettings b(paths());
  ASSERT_TRUE(b.openSettings(false));
  b.readSettings(desktop);
  b.closeSettings();
  b.applySettings();
  EXPECT_EQ(b.zoomIdx, 7);
  EXPECT_DOUBLE_EQ(b.zoom(), 1.0 + 7 / 16.0);
  EXPECT_EQ(b.presetName, "mine");
  EXPECT_EQ(b.presetNT, "nt");
  EXPECT_EQ(b.colours, a.colours);
  EXPECT_EQ(b.fonts, a.fonts);
  EXPECT_FALSE(b.lineOptions.flag(LineOptions::LineBreak));
  EXPECT_EQ(b.windows[2], a.windows[2]);
  EXPECT_EQ(b.windowStates[2], 3);
  EXPECT_EQ(b.bookmarks, a.bookmarks);
  EXPECT_EQ(b.searchRangeStart, a.searchRangeStart);
  EXPECT_DOUBLE_EQ(b.ttline[2][0], 0.375);
  EXPECT_EQ(b.layouts[0], a.layouts[0]);
  EXPECT_EQ(b.columnNames, a.columnNames);
  EXPECT_EQ(b.strongNotes, a.strongNotes);
  EXPECT_FALSE(key("KOV.ini").readBool("Booleans", "InitSize", true));  // always written off
  EXPECT_EQ(key("KOV.ini").readString("misc", "dir_olb", {}), paths().prgDir + "olb/");

  // Fewer bookmarks later must not bring old ones back.
  b.bookmarks.resize(1);
  ASSERT_TRUE(b.writeSettings(false));
  EXPECT_EQ(reread().bookmarks, b.bookmarks);
}

TEST_F(SettingsFixture, SingleValuesUseTheirOwnSectionsAndCopyKeys) {
  SettingsPaths second = paths();
  second.iniSuffix = ".ini2";
  TSettings one(paths()), two(second);
  EXPECT_EQ(one.readStartUpMode(), -1);
  ASSERT_TRUE(one.writeStartUpMode(1));
  ASSERT_TRUE(two.writeStartUpMode(2));
  ASSERT_TRUE(one.writeUpdateDays(17));
  EXPECT_EQ(one.readStartUpMode(), 1);
  EXPECT_EQ(two.readStartUpMode(), 2);
  EXPECT_EQ(one.readUpdateDays(), 17);
  EXPECT_EQ(key("KOV.ini").readInteger("UpdMsg2.0.7.0", "days", -1), 17);
  EXPECT_TRUE(one.keyExists("KOV.ini2"));
}

TEST_F(SettingsFixture, PresetRoundTrip) {
  TSettings a(paths());
  a.mainText = "WLC";
  a.lineOptions.setFlag(LineOptions::Nvnl, true);
  a.lineOptions.setFlag(LineOptions::TxtCmsShow, false);
  a.lineOptions.setFlag(LineOptions::FlipWord, true);
  a.lineOptions.setFlag(LineOptions::Justify, true);  // written only by its own command
  a.lineOptions.setShowVarMode(2);
  a.table.entries.resize(3);
  a.table.entries[0] = {"WLC.WL0", true, defaultSlotFonts(0), 0, 50};
  a.table.entries[1] = {"strong.wl", false, defaultSlotFonts(1), 2, 80};
  a.table.entries[2] = {"gloss.wl", true, defaultSlotFonts(2), 1, 120};
  a.table.entries[1].fonts[2] = {"Gentium Plus", -44, 0x0000FF, 3, 4};
  a.table.presentations[1].dyFirst = 91;
  a.metricsBase[5][2] = 123;
  a.itemHeights[10][2] = 17;
  a.concView.columnList[3] = "lemma.wl";
  a.concView.strongStep = true;
  a.resetNonEntryChecked = "yes";
  ASSERT_TRUE(a.openPreset("Greek", false));
  a.writePreset(true);
  ASSERT_TRUE(a.closePreset());
  EXPECT_FALSE(key("Greek.pre").valueExists("LineOption", "Justify"));
  ASSERT_TRUE(a.writePresetValue("LineOption", "CenterWord", true));  // into the current preset
  EXPECT_TRUE(key("default.pre").readBool("LineOption", "centerword", false));

  TSettings b(paths());
  ASSERT_TRUE(b.openPreset("greek", false));
  b.readPreset(true);
  b.closePreset();
  EXPECT_EQ(b.pendingMainText, "WLC");
  EXPECT_EQ(b.pendingTable, a.table);
  EXPECT_EQ(b.metricsBase[5][2], 123);
  EXPECT_EQ(b.itemHeights[10][2], 17);
  EXPECT_EQ(b.concView, a.concView);
  EXPECT_EQ(b.resetNonEntryChecked, "yes");
  LineOptions expected = a.lineOptions;
  expected.setFlag(LineOptions::Justify, false);
  expected.setFlag(LineOptions::FlipWord, false);  // a loaded preset never starts flipped
  expected.setFlag(LineOptions::PresetLoaded, true);
  EXPECT_EQ(b.pendingLineOptions, expected);
  EXPECT_EQ(b.pendingLineOptions.showVarMode(), 2);

  // A preset naming more slots than the table holds is cut to 20.
  write(paths().registryRoot + "big.pre", "[WL]\nmax=30\n");
  ASSERT_TRUE(b.openPreset("big", false));
  b.readPreset(false);
  b.closePreset();
  EXPECT_EQ(b.pendingTable.entries.size(), 20u);
  EXPECT_FALSE(b.openPreset("../KOV", false));
  EXPECT_EQ(b.presetNames(), (QStringList{"big", "default", "Greek"}));
}

TEST_F(SettingsFixture, ApplyAndDiscardMovePendingValues) {
  TSettings s(paths());
  s.pendingColours[0] = 0x010203;
  s.pendingPresetOT = "ot";
  s.discardSettings();
  EXPECT_EQ(s.pendingColours, TSettings::factoryColours());
  EXPECT_TRUE(s.pendingPresetOT.isEmpty());
  s.pendingColours[0] = 0x010203;
  s.pendingPresetOT = "ot";
  s.applySettings();
  EXPECT_EQ(s.colours[0], 0x010203u);
  EXPECT_EQ(s.presetOT, "ot");
}

}  // namespace
}  // namespace kov
