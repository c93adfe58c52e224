#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUuid>

#include "core/Tapp.h"
#include "ui/TFrmKOVMain.h"
#include "ui/TStartup.h"

namespace kov {
namespace {

TEST(UiStartup, SecondCopyGetsItsNumberAndOwnSettingsKey) {
  QTemporaryDir tmp;
  QDir().mkpath(tmp.path() + QStringLiteral("/home/interlinear/WLC"));
  QDir().mkpath(tmp.path() + QStringLiteral("/config"));
  qputenv("KOV_HOME", (tmp.path() + QStringLiteral("/home")).toUtf8());
  qputenv("XDG_CONFIG_HOME", (tmp.path() + QStringLiteral("/config")).toUtf8());
  qputenv("USER", QUuid::createUuid().toString(QUuid::Id128).left(10).toUtf8());

  QStringList errors;
  TStartup::Prompts prompts;
  prompts.error = [&](const QString& e) { errors << e; };
  prompts.confirm = [](const QString&) { return false; };

  TStartup first(prompts);
  ASSERT_TRUE(first.start());
  EXPECT_EQ(first.mainWindow()->windowTitle(), QStringLiteral("[1] KOV"));
  QStringList expected;
  for (const StartupStep& s : startupSteps())
    if (*s.status) expected << QString::fromLatin1(s.status);
  QStringList seen = first.statusLog();
  seen.removeAll(QString());
  EXPECT_EQ(seen, expected);

  TStartup second(prompts);
  ASSERT_TRUE(second.start());
  EXPECT_EQ(second.mainWindow()->windowTitle(), QStringLiteral("[2] KOV"));
  EXPECT_EQ(theApp().IniSuffix, QStringLiteral(".ini2"));
  second.shutdown();
  EXPECT_TRUE(QFile::exists(tmp.path() + QStringLiteral("/config/KOV2/KOV.ini2")));
  EXPECT_TRUE(theApp().closing);
  // books.ini is absent in this folder: reported, and the start went on.
  EXPECT_FALSE(errors.isEmpty());
  qunsetenv("KOV_HOME");
  qunsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace kov
