// kov-import: builds the program's default database from open sources.
//
//   kov-import --out PROGRAM_FOLDER --morphhb DIR --strongs DIR [--n1904 TF_DIR]
//              [--sword-module engKJV2006eb] [--books books.ini]
//
// Everything is built in a temporary folder inside the program folder and moved into place at
// the end, so a failed build leaves the previous database as it was.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

#include "core/FileLookup.h"
#include "core/ProgramFolder.h"
#include "db/CBookRef.h"
#include "db/cIntLin.h"
#include "kov-import/DefaultDatabase.h"
#include "kov-import/Oshb.h"
#include "kov-import/TextFabric.h"
#include "texts/UWordGP.h"

using namespace kov;
using namespace kov::import;

namespace {

QTextStream out(stdout);
QTextStream err(stderr);

int failWith(const QString& message) {
  err << "kov-import: " << message << Qt::endl;
  return 1;
}

// Reads a text back with the program's own loader and prints what it holds.
bool summariseText(const QString& root, const QString& name) {
  TintLin db;
  GsReadResult gs;
  const TLoadReport report = db.openWithAllLists(root, name, &gs);
  if (!gs.valid || !report.ok()) {
    err << "kov-import: " << name << " does not read back: " << gs.errors.join(QStringLiteral("; ")) << " "
        << report.mainErrors.join(QStringLiteral("; ")) << Qt::endl;
    return false;
  }
  int verses = 0, words = 0, empty = 0;
  const auto& s = db.stream();
  for (std::int32_t p = 1; p <= db.lastPosition(); ++p) {
    const std::uint16_t c = s[std::size_t(p)];
    if (c >= 65000) {
      ++verses;
      const std::int32_t next = p + 2;
      if (next > db.lastPosition() || s[std::size_t(next)] >= 65000) ++empty;
      ++p;
    } else if (c < 64000) {
      ++words;
    }
  }
  int chapters = 0;
  for (int b = 1; b <= int(db.calc().bookCount()); ++b) chapters += db.calc().book(b).chapters;
  out << name << ": " << db.calc().bookCount() << " books, " << chapters << " chapters, " << verses << " verses ("
      << empty << " without text), " << words << " words, " << db.list(0).count << " distinct forms" << Qt::endl;
  for (int k = 1; k < db.appliedTable().slotCount; ++k)
    out << "  " << db.appliedTable().slot(k).fileName << ": " << db.list(k).count << " entries" << Qt::endl;
  return true;
}

bool summariseTranslation(const QString& dir, const QString& name) {
  TCalcpos calc;
  calc.setDir(dir);
  calc.setName(name);
  if (calc.Init() != 0) return false;
  TWordGP t(1);
  t.setDir(dir);
  t.setName(name);
  t.setCalcpos(&calc);
  if (!t.init()) {
    err << "kov-import: " << name << " does not read back: " << t.error() << Qt::endl;
    return false;
  }
  int verses = 0;
  for (int i = 0; i < calc.chapterCount(); ++i) verses += calc.chapterRecord(i).verses;
  out << name << ": " << calc.bookCount() << " books, " << verses << " verses, " << t.WordCount()
      << " distinct words" << Qt::endl;
  return true;
}

// Replaces `target` by `built` keeping the old one until the new one is in place.
bool moveIntoPlace(const QString& built, const QString& target) {
  const QString old = target + QStringLiteral(".old");
  QDir(old).removeRecursively();
  if (QFileInfo::exists(target) && !QDir().rename(target, old)) return false;
  if (!QDir().rename(built, target)) {
    QDir().rename(old, target);
    return false;
  }
  QDir(old).removeRecursively();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QString outDir, morphhb, strongs, n1904, books, swordModule = QStringLiteral("engKJV2006eb");
  const QStringList args = app.arguments();
  for (int i = 1; i < args.size(); ++i) {
    const QString a = args[i];
    const QString v = i + 1 < args.size() ? args[i + 1] : QString();
    if (a == QLatin1String("--out")) outDir = v, ++i;
    else if (a == QLatin1String("--morphhb")) morphhb = v, ++i;
    else if (a == QLatin1String("--strongs")) strongs = v, ++i;
    else if (a == QLatin1String("--n1904")) n1904 = v, ++i;
    else if (a == QLatin1String("--books")) books = v, ++i;
    else if (a == QLatin1String("--sword-module")) swordModule = v, ++i;
    else return failWith(QStringLiteral("unknown argument ") + a);
  }
  if (outDir.isEmpty() || morphhb.isEmpty() || strongs.isEmpty())
    return failWith(QStringLiteral("usage: kov-import --out DIR --morphhb DIR --strongs DIR [--n1904 DIR] "
                                   "[--sword-module NAME] [--books books.ini]"));
  outDir = withTrailingSlash(QDir(outDir).absolutePath());
  QElapsedTimer clock;
  clock.start();

  TbookRef names;
  QString error;
  if (!names.load(books.isEmpty() ? outDir : QFileInfo(books).absolutePath() + QLatin1Char('/'), &error))
    return failWith(error);

  SourceError se;
  std::vector<StrongEntry> hebrewDict, greekDict;
  if (!readStrongsFile(strongs + QStringLiteral("/hebrew/StrongHebrewG.xml"), true, hebrewDict, se) ||
      !readStrongsFile(strongs + QStringLiteral("/greek/StrongsGreekDictionaryXML_1.4/strongsgreek.xml"), false,
                       greekDict, se))
    return failWith(se.text());
  out << "Strong's dictionaries: " << hebrewDict.size() << " Hebrew, " << greekDict.size() << " Greek entries"
      << Qt::endl;

  const QString work = outDir + QStringLiteral(".kov-import/");
  QDir(work).removeRecursively();
  if (!QDir().mkpath(work + QStringLiteral("interlinear"))) return failWith(work + QStringLiteral(": cannot create"));

  std::vector<TranslationBook> kjv;
  if (!readSwordModule(swordModule, kjv, &se)) return failWith(se.text());

  std::vector<HebrewBook> ot;
  if (!readOshb(morphhb + QStringLiteral("/wlc"), ot, se)) return failWith(se.text());
  ConversionReport hebReport;
  IlText heb = hebrewText(ot, hebrewDict, names, hebReport);
  const int hebEmpty = addMissingVerses(heb, kjv);
  IlStats hebStats;
  if (!writeInterlinear(heb, work + QStringLiteral("interlinear/WLC"), &hebStats, &error)) return failWith(error);
  out << "WLC: parsing approximated in " << hebReport.parsingLossy << " of " << hebReport.words << " words ("
      << QString::number(100.0 * hebReport.parsingLossy / std::max(1, hebReport.words), 'f', 1) << " %), "
      << hebReport.parsingFailed << " unreadable; " << hebReport.formsWithoutCode << " forms without letter code; "
      << hebReport.joinedVerses << " source verses joined to the KJV's numbering, " << hebEmpty
      << " KJV verses without Hebrew text" << Qt::endl;
  for (const QString& p : hebReport.problems) out << "  " << p << Qt::endl;

  bool withNt = false;
  if (!n1904.isEmpty()) {
    std::vector<GreekBook> nt;
    GreekRepairs repairs;
    if (!readN1904(n1904, nt, repairs, se)) return failWith(se.text());
    ConversionReport grkReport;
    IlText grk = greekText(nt, greekDict, names, grkReport);
    const int grkEmpty = addMissingVerses(grk, kjv);
    IlStats grkStats;
    if (!writeInterlinear(grk, work + QStringLiteral("interlinear/N1904"), &grkStats, &error)) return failWith(error);
    out << "N1904: repaired " << repairs.dashSplits << " dash splits, " << repairs.brackets << " brackets, "
        << repairs.etaBreathing << " breathings; " << grkReport.formsWithoutCode << " forms without letter code; "
        << grkEmpty << " KJV verses without Greek text" << Qt::endl;
    withNt = true;
  } else {
    out << "No Greek New Testament: pass --n1904 with the Text-Fabric folder to add it." << Qt::endl;
  }

  if (!writeTranslation(work, QStringLiteral("KJV"), QStringLiteral("King James Version (1769)"), kjv, names, &error))
    return failWith(error);

  std::vector<StrongEntry> all = hebrewDict;
  all.insert(all.end(), greekDict.begin(), greekDict.end());
  if (!writeStrongNotes(work, QStringLiteral("Strongs"), all, &error)) return failWith(error);

  // Read everything back with the program's readers before it replaces the old database.
  if (!summariseText(work + QStringLiteral("interlinear/"), QStringLiteral("WLC"))) return 1;
  if (withNt && !summariseText(work + QStringLiteral("interlinear/"), QStringLiteral("N1904"))) return 1;
  if (!summariseTranslation(work + QStringLiteral("KJV.t/"), QStringLiteral("KJV"))) return 1;

  for (const QString& part : {QStringLiteral("interlinear"), QStringLiteral("KJV.t"), QStringLiteral("Strongs.s")})
    if (!moveIntoPlace(work + part, outDir + part))
      return failWith(QStringLiteral("cannot move ") + part + QStringLiteral(" into ") + outDir);
  QDir(work).removeRecursively();
  QDir().mkpath(outDir + QStringLiteral("olb"));
  QDir().mkpath(outDir + QStringLiteral("help"));
  out << "Database written to " << outDir << " in " << QString::number(clock.elapsed() / 1000.0, 'f', 1) << " s"
      << Qt::endl;
  return 0;
}
