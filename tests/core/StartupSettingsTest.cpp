#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/Csettings.h"
#include "core/StartupSettings.h"
#include "core/Tapp.h"

namespace kov {
namespace {

void writeFile(const QString& path, const QByteArray& text) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(text);
}

// A program folder with factory settings and three factory presets, and an empty registry.
struct StartupFixture {
  QTemporaryDir tmp;
  SettingsPaths paths;
  WorkArea desk{0, 0, 1600, 1000};
  StartupFixture() {
    QDir(tmp.path()).mkpath(QStringLiteral("prg/Default.ini"));
    QDir(tmp.path()).mkpath(QStringLiteral("reg"));
    paths.prgDir = tmp.path() + QStringLiteral("/prg/");
    paths.defaultDir = paths.prgDir + QStringLiteral("Default.ini/");
    paths.registryRoot = tmp.path() + QStringLiteral("/reg/");
    writeFile(paths.defaultDir + QStringLiteral("KOV.ini"),
              "[misc]\npresetName=main\npresetNT=greek\npresetOT=hebrew\n");
    for (const char* p : {"main", "greek", "hebrew"})
      writeFile(paths.defaultDir + QString::fromLatin1(p) + QStringLiteral(".pre"),
                "[LineOption]\nJustify=1\n[WL]\nmax=1\nOrgTxt=WLC\n");
  }
  StartupSettingsResult start(int answers, int* asked, Tapp& app) {
    TSettings s(paths);
    return selectStartupSettings(s, app, desk, [&] {
      ++*asked;
      return answers == 1;
    });
  }
  int storedMode() { return TSettings(paths).readStartUpMode(); }
};

TEST(StartupSettings, FirstStartCopiesFactorySettingsAndPresets) {
  StartupFixture f;
  Tapp app;
  int asked = 0;
  const StartupSettingsResult r = f.start(0, &asked, app);
  EXPECT_EQ(asked, 0);
  EXPECT_TRUE(app.ResetSettings);
  EXPECT_TRUE(r.factoryTaken);
  EXPECT_EQ(r.copiedPresets, QStringList({"main", "greek", "hebrew"}));
  EXPECT_TRUE(r.errors.isEmpty()) << r.errors.join('\n').toStdString();
  EXPECT_EQ(f.storedMode(), 1);  // a start that dies from here on leaves 1 behind
  TSettings s(f.paths);
  EXPECT_TRUE(s.keyExists(QStringLiteral("hebrew.pre")));
}

TEST(StartupSettings, UnfinishedStartAsksAndFinishedStartKeeps) {
  struct Case {
    int mode;
    int answer;  // 1 yes
    int asked;
    bool reset;
  };
  const Case cases[] = {{1, 1, 1, true}, {1, 0, 1, false}, {2, 1, 0, false}};
  for (const Case& c : cases) {
    StartupFixture f;
    Tapp first;
    int asked = 0;
    f.start(0, &asked, first);
    TSettings changed(f.paths);
    ASSERT_TRUE(changed.writeStartUpMode(c.mode));

    Tapp app;
    asked = 0;
    const StartupSettingsResult r = f.start(c.answer, &asked, app);
    EXPECT_EQ(app.StartUpMode, c.mode);
    EXPECT_EQ(asked, c.asked) << c.mode;
    EXPECT_EQ(app.ResetSettings, c.reset) << c.mode;
    EXPECT_EQ(r.factoryTaken, c.reset) << c.mode;
    EXPECT_EQ(r.copiedPresets.size(), c.reset ? 3 : 0) << c.mode;
  }
}

}  // namespace
}  // namespace kov
