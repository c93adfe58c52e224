#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUuid>

#include "core/IniFile.h"
#include "db/cIntLin.h"
#include "support/IntLinFixtures.h"
#include "ui/TFrmKOVsplash.h"
#include "ui/TStartup.h"

namespace kov {
namespace {

// A preset naming the text and two sublinears, one of which is not there.
void writeFactory(const QString& prg) {
  QDir().mkpath(prg + QStringLiteral("Default.ini"));
  IniFile k(prg + QStringLiteral("Default.ini/KOV.ini"));
  k.writeString(QStringLiteral("misc"), QStringLiteral("presetName"), QStringLiteral("p"));
  k.writeString(QStringLiteral("misc"), QStringLiteral("presetNT"), QStringLiteral("p"));
  k.writeString(QStringLiteral("misc"), QStringLiteral("presetOT"), QStringLiteral("p"));
  ASSERT_TRUE(k.save());
  IniFile p(prg + QStringLiteral("Default.ini/p.pre"));
  p.writeString(QStringLiteral("OrgTxt"), QStringLiteral("1"), QStringLiteral("TST"));
  p.writeInteger(QStringLiteral("WL"), QStringLiteral("max"), 2);
  p.writeString(QStringLiteral("WL"), QStringLiteral("0Name"), QStringLiteral("TST.WL0"));
  p.writeString(QStringLiteral("WL"), QStringLiteral("1Name"), QStringLiteral("missing.wl"));
  p.writeString(QStringLiteral("WL"), QStringLiteral("2Name"), QStringLiteral("gloss.wl"));
  ASSERT_TRUE(p.save());
}

TEST(UiStartupDatabase, LoadsPresetTextAndLogsItsLists) {
  test::IntLinSpec desc;
  desc.text = "#MAT 1: logos kai 2: logos";
  desc.sublinears.push_back(test::sublinear(QStringLiteral("gloss.wl"), {{"logos", {"word"}}, {"kai", {"and"}}}, {},
                                            "<WL><id>GLS</id><desS>English gloss</desS><rights>public domain</rights></WL>"));
  auto fx = test::buildIntLin(desc);
  const QString prg = fx->dir.path() + QStringLiteral("/");
  writeFactory(prg);
  QTemporaryDir config;
  qputenv("KOV_HOME", prg.toUtf8());
  qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
  qputenv("USER", QUuid::createUuid().toString(QUuid::Id128).left(10).toUtf8());

  QStringList messages;
  TStartup::Prompts prompts;
  prompts.error = [&](const QString& e) { messages << e; };
  prompts.information = [&](const QString& e) { messages << e; };
  TStartup s(prompts);
  ASSERT_TRUE(s.start());
  ASSERT_NE(s.database(), nullptr);
  TintLin& db = *s.database();
  EXPECT_EQ(db.appliedMainName(), QStringLiteral("TST"));
  // The missing sublinear was dropped and the next one moved up into its slot.
  EXPECT_EQ(db.appliedTable().slotCount, 2);
  EXPECT_EQ(db.appliedTable().slot(1).fileName, QStringLiteral("gloss.wl"));
  EXPECT_EQ(db.cellText(1, fx->words[0]), "word");
  EXPECT_TRUE(s.splash()->logText().contains(QStringLiteral("Interlinear\nTST\t\u25CF")))
      << s.splash()->logText().toStdString();
  EXPECT_TRUE(s.splash()->logText().contains(QStringLiteral("GLS\t\u25CF English gloss \u25CF public domain")));
  // No translation folder: the count, then the closing words directly.
  EXPECT_TRUE(s.splash()->logText().contains(
      QStringLiteral("Translations\n\n0 translations loaded -  - for more info see Help - Database info")))
      << s.splash()->logText().toStdString();
  for (const QString& m : messages) EXPECT_FALSE(m.contains(QStringLiteral("Could not load"))) << m.toStdString();
  qunsetenv("KOV_HOME");
  qunsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace kov
