#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "core/IniFile.h"

namespace {

// A program folder with the factory files and one (empty) original text, and a config folder.
struct ProgramHome {
  QTemporaryDir tmp;
  QString home, config;
  ProgramHome() {
    home = tmp.path() + QStringLiteral("/home");
    config = tmp.path() + QStringLiteral("/config");
    QDir().mkpath(home + QStringLiteral("/interlinear/WLC"));
    QDir().mkpath(home + QStringLiteral("/Default.ini"));
    QDir().mkpath(config);
    const QDir data(QStringLiteral(KOV_DATA_DIR));
    QFile::copy(data.filePath(QStringLiteral("books.ini")), home + QStringLiteral("/books.ini"));
    for (const QString& f : QDir(data.filePath(QStringLiteral("Default.ini"))).entryList(QDir::Files))
      QFile::copy(data.filePath(QStringLiteral("Default.ini/") + f), home + QStringLiteral("/Default.ini/") + f);
  }
  void setUp(QProcess& p, const QString& screenshot = {}) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KOV_HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("KOV_TRACE_STARTUP"), QStringLiteral("1"));
    env.insert(QStringLiteral("USER"), QStringLiteral("kov-e2e-") + QString::number(QCoreApplication::applicationPid()));
    if (!screenshot.isEmpty()) env.insert(QStringLiteral("KOV_SCREENSHOT"), screenshot);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::SeparateChannels);
  }
  int startUpMode() const {
    kov::IniFile s(config + QStringLiteral("/KOV2/KOV.ini"));
    s.load();
    return s.readInteger(QStringLiteral("Misc"), QStringLiteral("StartUpMode"), -1);
  }
};

TEST(E2eStartup, KilledStartLeavesModeOneAndFullStartLeavesTwo) {
  ProgramHome h;
  {
    QProcess p;
    h.setUp(p);
    p.start(QStringLiteral(KOV_BINARY), {});
    ASSERT_TRUE(p.waitForStarted(10000));
    // Kill the program once it is past the settings and opening the database.
    bool reached = false;
    while (!reached && p.waitForReadyRead(20000)) {
      while (p.canReadLine())
        if (p.readLine().contains("startup: Load interlinear stream")) reached = true;
    }
    ASSERT_TRUE(reached) << p.readAllStandardError().toStdString();
    p.kill();
    p.waitForFinished(10000);
  }
  EXPECT_EQ(h.startUpMode(), 1);

  // The next start would ask the reset question; clear the mark so that this run needs no answer.
  kov::IniFile s(h.config + QStringLiteral("/KOV2/KOV.ini"));
  s.load();
  s.writeInteger(QStringLiteral("Misc"), QStringLiteral("StartUpMode"), 2);
  ASSERT_TRUE(s.save());
  const QString shot = h.tmp.path() + QStringLiteral("/shot.png");
  QProcess p;
  h.setUp(p, shot);
  p.start(QStringLiteral(KOV_BINARY), {});
  ASSERT_TRUE(p.waitForFinished(30000));
  EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  EXPECT_EQ(h.startUpMode(), 2);
  EXPECT_TRUE(QFile::exists(shot));
  // The factory presets were copied into the registry on the first start.
  EXPECT_TRUE(QFile::exists(h.config + QStringLiteral("/KOV2/Hebrew.pre")));
  EXPECT_TRUE(QFile::exists(h.config + QStringLiteral("/KOV2/Greek.pre")));
}

TEST(E2eStartup, NoOriginalTextEndsTheProgram) {
  ProgramHome h;
  QDir(h.home + QStringLiteral("/interlinear/WLC")).removeRecursively();
  QProcess p;
  h.setUp(p);
  // The error message box would wait for a click; the offscreen run has none to give, so the
  // trace is checked instead and the process is ended after the message is reached.
  p.start(QStringLiteral(KOV_BINARY), {});
  ASSERT_TRUE(p.waitForStarted(10000));
  bool reached = false;
  while (!reached && p.waitForReadyRead(20000))
    while (p.canReadLine())
      if (p.readLine().contains("error: No original text available. Program will terminate.")) reached = true;
  p.kill();
  p.waitForFinished(10000);
  EXPECT_TRUE(reached);
}

}  // namespace
