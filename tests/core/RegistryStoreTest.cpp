#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <latch>
#include <thread>

#include "core/IniFile.h"
#include "core/RegistryStore.h"

namespace kov {
namespace {

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(RegistryIni, SectionsAndKeysIgnoreCaseAndKeepTheirFirstSpelling) {
  IniFile f;
  f.parse("[Misc]\nZoomIdx=3\n[misc]\npresetName=std\nzoomidx=9\n");
  EXPECT_EQ(f.sections(), QStringList{"Misc"});  // the second spelling joins the first
  EXPECT_EQ(f.readInteger("MISC", "zoomIDX", 0), 3);  // the first of duplicate keys wins
  EXPECT_EQ(f.readString("misc", "PRESETNAME", {}), "std");

  f.writeInteger("misc", "ZOOMIDX", 4);
  f.writeBool("Booleans", "MenuFlag", true);
  f.deleteKey("MISC", "presetname");
  EXPECT_EQ(f.serialize(), QByteArray("[Misc]\nZoomIdx=4\n\n[Booleans]\nMenuFlag=1\n"));
  f.eraseSection("BOOLEANS");
  EXPECT_FALSE(f.sectionExists("booleans"));
}

TEST(RegistryIni, TypedReadsGiveTheDefaultForMissingOrMalformedValues) {
  IniFile f;
  f.parse(
      "[s]\nint=-42\nhex=$E8F4F9\nbig=99999999999\nword=abc\nempty=\nunsigned=4294967295\n"
      "t=1\nf=0\nT=true\nseven=7\nd=2.5\nnan=nan\n");
  struct IntCase { const char* key; qint32 expected; };
  for (const IntCase& c : {IntCase{"int", -42}, IntCase{"hex", 0xE8F4F9}, IntCase{"big", 77},
                           IntCase{"word", 77}, IntCase{"empty", 77}, IntCase{"missing", 77},
                           IntCase{"unsigned", -1}, IntCase{"d", 77}})
    EXPECT_EQ(f.readInteger("S", c.key, 77), c.expected) << c.key;
  struct BoolCase { const char* key; bool def; bool expected; };
  for (const BoolCase& c : {BoolCase{"t", false, true}, BoolCase{"f", true, false}, BoolCase{"T", false, true},
                            BoolCase{"seven", false, true}, BoolCase{"word", true, true},
                            BoolCase{"word", false, false}, BoolCase{"missing", true, true}})
    EXPECT_EQ(f.readBool("s", c.key, c.def), c.expected) << c.key;
  EXPECT_DOUBLE_EQ(f.readFloat("s", "d", 0), 2.5);
  EXPECT_DOUBLE_EQ(f.readFloat("s", "nan", 1.5), 1.5);
  EXPECT_DOUBLE_EQ(f.readFloat("s", "word", 1.5), 1.5);
  EXPECT_EQ(f.readString("s", "missing", "dflt"), "dflt");
  EXPECT_EQ(f.readString("s", "empty", "dflt"), "");  // present but empty is a value
}

TEST(RegistryIni, AnyTextSurvivesWriteAndRead) {
  const QString awkward[] = {" lead and trail ", "a=b", "line\nbreak\r", "C:\\dir\\", "[not a section]",
                             "; not a comment", "\t", QString::fromUtf8("\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d")};
  IniFile out;
  int n = 0;
  for (const QString& s : awkward) {
    out.writeString("sec]tion", s + QString::number(n), s);
    out.writeFloat("num", QString::number(n), 0.1 * n);
    ++n;
  }
  IniFile in;
  in.parse(out.serialize());
  n = 0;
  for (const QString& s : awkward) {
    EXPECT_EQ(in.readString("sec]tion", s + QString::number(n), "?"), s);
    EXPECT_EQ(in.readFloat("num", QString::number(n), -1), 0.1 * n);  // exact: doubles keep every digit
    ++n;
  }
}

class RegistryStoreTest : public ::testing::Test {
 protected:
  QTemporaryDir tmp;
  QString root() const { return tmp.path() + "/KOV2/"; }

  void makeKey(RegistryStore& reg, const QString& key, const QString& value) {
    IniFile f;
    ASSERT_TRUE(reg.open(key, f));
    f.writeString("s", "k", value);
    QString error;
    ASSERT_TRUE(f.save(&error)) << error.toStdString();
  }
};

TEST_F(RegistryStoreTest, KeysAreFilesAndSubKeysFolders) {
  RegistryStore reg(root());
  makeKey(reg, "KOV.ini", "settings");
  makeKey(reg, "default.pre", "preset");
  makeKey(reg, "EditInfo\\WL\\NA28", "stats");

  EXPECT_TRUE(QFile::exists(root() + "EditInfo/WL/NA28"));
  for (const char* k : {"kov.INI", "DEFAULT.PRE", "editinfo/wl/na28", "EditInfo\\WL", ""})
    EXPECT_TRUE(reg.keyExists(k)) << k;
  for (const char* k : {"other.pre", "EditInfo/XX", "../KOV2/KOV.ini", "EditInfo/./WL"})
    EXPECT_FALSE(reg.keyExists(k)) << k;
  EXPECT_EQ(reg.subKeys(), (QStringList{"default.pre", "EditInfo", "KOV.ini"}));  // no lock files
  EXPECT_EQ(reg.subKeys("editinfo\\wl"), QStringList{"NA28"});

  IniFile f;
  ASSERT_TRUE(reg.open("Default.Pre", f));  // another spelling finds the same file
  EXPECT_EQ(f.readString("S", "K", {}), "preset");
  EXPECT_FALSE(reg.open("..\\escape", f));

  EXPECT_TRUE(reg.eraseKey("EDITINFO"));
  EXPECT_FALSE(reg.keyExists("EditInfo/WL/NA28"));
  EXPECT_TRUE(reg.eraseKey("EditInfo"));  // already gone is fine
  EXPECT_EQ(reg.subKeys(), (QStringList{"default.pre", "KOV.ini"}));
}

TEST_F(RegistryStoreTest, DefaultRootFollowsXdgConfigHome) {
  const QByteArray old = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", tmp.path().toUtf8());
  EXPECT_EQ(RegistryStore::defaultRoot(), tmp.path() + "/KOV2/");
  qunsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(RegistryStore::defaultRoot(), QDir::homePath() + "/.config/KOV2/");
  if (!old.isEmpty()) qputenv("XDG_CONFIG_HOME", old);
}

TEST_F(RegistryStoreTest, FailedSaveKeepsTheOldFileAndTheChanges) {
  RegistryStore reg(root());
  makeKey(reg, "a.pre", "old");
  const QByteArray before = readAll(root() + "a.pre");

  // Another writer's lock that never goes away.
  ASSERT_TRUE(QDir().mkpath(root() + ".a.pre.lock"));
  IniFile f;
  ASSERT_TRUE(reg.open("a.pre", f));
  f.setLockTimeout(0);
  f.writeString("s", "k", "new");
  QString error;
  EXPECT_FALSE(f.save(&error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(readAll(root() + "a.pre"), before);
  EXPECT_TRUE(f.isModified());

  ASSERT_TRUE(QDir(root() + ".a.pre.lock").removeRecursively());
  EXPECT_TRUE(f.save(&error)) << error.toStdString();
  EXPECT_FALSE(f.isModified());
  IniFile back;
  ASSERT_TRUE(reg.open("a.pre", back));
  EXPECT_EQ(back.readString("s", "k", {}), "new");
}

TEST_F(RegistryStoreTest, KeyThatIsAFolderCannotBeWritten) {
  RegistryStore reg(root());
  makeKey(reg, "Parent\\child", "v");
  IniFile f;
  QString error;
  EXPECT_FALSE(reg.open("Parent", f, &error));  // holds sub-keys, not values
  f.writeString("s", "k", "v");
  EXPECT_FALSE(f.save(&error));
  EXPECT_TRUE(reg.keyExists("parent/CHILD"));
}

TEST_F(RegistryStoreTest, SaveKeepsWhatAnotherWriterSavedMeanwhile) {
  RegistryStore reg(root());
  IniFile first, second;
  ASSERT_TRUE(reg.open("shared.pre", first));
  ASSERT_TRUE(reg.open("shared.pre", second));
  first.writeInteger("LineOption", "Justify", 1);
  first.writeInteger("WL", "max", 3);
  second.writeInteger("LineOption", "CENTERWORD", 1);
  second.writeInteger("wl", "MAX", 5);
  ASSERT_TRUE(first.save());
  ASSERT_TRUE(second.save());
  IniFile back;
  ASSERT_TRUE(reg.open("shared.pre", back));
  EXPECT_EQ(back.readInteger("LineOption", "Justify", 0), 1);
  EXPECT_EQ(back.readInteger("LineOption", "CenterWord", 0), 1);
  EXPECT_EQ(back.readInteger("WL", "max", 0), 5);  // the later save wins a shared value
  EXPECT_EQ(back.keys("WL"), QStringList{"max"});  // spelled as first written
}

TEST_F(RegistryStoreTest, ConcurrentSavesOfOnePresetLoseNothing) {
  RegistryStore reg(root());
  constexpr int kRounds = 25;
  constexpr int kWriters = 2;
  std::latch start(kWriters);
  auto writer = [&](int id, QString* failure) {
    start.arrive_and_wait();
    for (int round = 0; round < kRounds; ++round) {
      IniFile f;
      if (!reg.open("shared.pre", f, failure)) return;
      f.writeInteger(QString("w%1").arg(id), QString("k%1").arg(round), round);
      f.writeString("common", "last", QString("w%1").arg(id));
      if (!f.save(failure)) return;
    }
  };
  QString failures[kWriters];
  std::thread threads[kWriters];
  for (int i = 0; i < kWriters; ++i) threads[i] = std::thread(writer, i, &failures[i]);
  for (auto& t : threads) t.join();
  for (const QString& e : failures) EXPECT_TRUE(e.isEmpty()) << e.toStdString();

  IniFile back;
  ASSERT_TRUE(reg.open("shared.pre", back));
  for (int id = 0; id < kWriters; ++id)
    for (int round = 0; round < kRounds; ++round)
      EXPECT_EQ(back.readInteger(QString("w%1").arg(id), QString("k%1").arg(round), -1), round);
  EXPECT_TRUE(back.readString("common", "last", {}).startsWith('w'));
  EXPECT_EQ(reg.subKeys(), QStringList{"shared.pre"});  // no temporary or lock files left
}

}  // namespace
}  // namespace kov
