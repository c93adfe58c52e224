#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/AtomicFile.h"
#include "core/FileLookup.h"
#include "core/ProgramFolder.h"

namespace kov {
namespace {

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(CoreFiles, FindNoCaseMatchesAnyCaseAndPrefersExact) {
  QTemporaryDir tmp;
  QDir(tmp.path()).mkpath(QStringLiteral("Interlinear/WLC"));
  QFile(tmp.path() + QStringLiteral("/Interlinear/WLC/wlc.GS")).open(QIODevice::WriteOnly);
  const QString base = withTrailingSlash(tmp.path());
  EXPECT_EQ(findPathNoCase(base, QStringLiteral("interlinear/wlc/WLC.gs")),
            base + QStringLiteral("Interlinear/WLC/wlc.GS"));
  // A missing name comes back as asked, so the caller's error names what it looked for.
  EXPECT_EQ(findNoCase(base, QStringLiteral("olb")), base + QStringLiteral("olb"));
}

TEST(CoreFiles, AtomicWriteReplacesAndKeepsOldOnFailure) {
  QTemporaryDir tmp;
  const QString path = tmp.path() + QStringLiteral("/list.wl");
  ASSERT_TRUE(writeFileAtomic(path, "first"));
  ASSERT_TRUE(writeFileAtomic(path, "second"));
  EXPECT_EQ(readAll(path), QByteArray("second"));
  EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files).size(), 1);  // no temporary left behind

  // The target is a folder: the write must fail and say so, and the folder stays.
  const QString dirPath = tmp.path() + QStringLiteral("/sub");
  QDir(tmp.path()).mkdir(QStringLiteral("sub"));
  QString error;
  EXPECT_FALSE(writeFileAtomic(dirPath, "x", &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_TRUE(QFileInfo(dirPath).isDir());
}

TEST(CoreFiles, ProgramFolderComesFromEnvironment) {
  qputenv("KOV_HOME", "/tmp/kovhome");
  EXPECT_EQ(programFolder(), QStringLiteral("/tmp/kovhome/"));
  qunsetenv("KOV_HOME");
}

}  // namespace
}  // namespace kov
