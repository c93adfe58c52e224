// kov-query: runs one search over a program folder's database and prints the hit verses.
//
//   kov-query [--home DIR] [--text WLC] --col "strong=H430" [--col "strong=H1254;Gloss=create"] ...
//   kov-query [--home DIR] --translation KJV --line "in the beginning"
//   options: --mode any|order|phrase   --from GEN1:1 --to MAL4:6   --case
//
// A column gives one pattern per sublinear, the sublinear named by its file name without
// extension or by its id. Exit status 0 on success, 2 on a bad query (with what is wrong).
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <cstdio>
#include <optional>

#include "core/FileLookup.h"
#include "core/ProgramFolder.h"
#include "db/References.h"
#include "db/StreamLimits.h"
#include "db/cGndStream.h"
#include "db/cIntLin.h"
#include "search/CSearch.h"
#include "search/CSearchQuery.h"
#include "search/SearchErrors.h"
#include "texts/UWordGP.h"
#include "texts/cTranslations.h"

using namespace kov;

namespace {

QTextStream out(stdout);
QTextStream err(stderr);

int bad(const QString& message) {
  err << "kov-query: " << message << Qt::endl;
  return 2;
}

int failed(const QString& message) {
  err << "kov-query: " << message << Qt::endl;
  return 1;
}

QString refText(const VerseRef& r) {
  return QStringLiteral("%1 %2:%3").arg(QString::fromStdString(r.Bks)).arg(r.chapter).arg(r.verse);
}

// The slot of a sublinear named by its file name without extension or by its id.
int slotNamed(const TWl& t, const QString& name) {
  for (int s = 0; s < t.slotCount; ++s) {
    const Tsubl& sl = t.slot(s);
    const QString base = sl.fileName.section(QLatin1Char('.'), 0, 0);
    if (base.compare(name, Qt::CaseInsensitive) == 0 || sl.id.compare(name, Qt::CaseInsensitive) == 0) return s;
  }
  return -1;
}

// The main text of a verse in Unicode, hit words in [brackets].
QString verseLine(TintLin& db, const TSearch& s, std::int32_t marker) {
  const Tsubl& main = db.appliedTable().slot(0);
  QStringList words;
  for (std::int32_t p = marker + 2; p <= db.lastPosition() && !cell::isVerse(db.cellAt(p)); ++p) {
    if (!cell::isWord(db.cellAt(p))) continue;
    QString w;
    for (unsigned char b : db.cellText(0, p))
      w += main.hasCharMap && main.charMap[b].target ? QChar(main.charMap[b].target) : QChar(b);
    words << (s.IsHit(p) ? QLatin1Char('[') + w + QLatin1Char(']') : w);
  }
  return words.join(QLatin1Char(' ')).normalized(QString::NormalizationForm_C);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QString home = qEnvironmentVariable("KOV_HOME"), text, translation, line, mode = QStringLiteral("any");
  QStringList columns;
  std::optional<VerseRef> from, to;
  bool caseSens = false;
  const QStringList args = app.arguments();
  for (int i = 1; i < args.size(); ++i) {
    const QString a = args[i];
    const auto value = [&]() -> QString { return i + 1 < args.size() ? args[++i] : QString(); };
    if (a == QLatin1String("--home")) home = value();
    else if (a == QLatin1String("--text")) text = value();
    else if (a == QLatin1String("--col")) columns << value();
    else if (a == QLatin1String("--translation")) translation = value();
    else if (a == QLatin1String("--line")) line = value();
    else if (a == QLatin1String("--mode")) mode = value();
    else if (a == QLatin1String("--case")) caseSens = true;
    else if (a == QLatin1String("--from") || a == QLatin1String("--to")) {
      const QString v = value();
      const auto r = refFromText(v.toStdString());
      if (!r) return bad(QStringLiteral("not a reference: ") + v);
      (a == QLatin1String("--from") ? from : to) = r;
    } else {
      return bad(QStringLiteral("unknown argument ") + a);
    }
  }
  if (home.isEmpty()) return bad(QStringLiteral("no program folder: give --home or set KOV_HOME"));
  if (columns.isEmpty() == line.isEmpty())
    return bad(QStringLiteral("give either --col patterns (interlinear) or --translation and --line"));
  std::uint8_t logic = kLogicNoOrder;
  if (mode == QLatin1String("order")) logic = kLogicInOrder;
  else if (mode == QLatin1String("phrase")) logic = kLogicPhrase;
  else if (mode != QLatin1String("any")) return bad(QStringLiteral("--mode is any, order or phrase"));

  // The same loading as the program's start: the text with its sublinears, the translations.
  const QString prg = withTrailingSlash(home);
  const QString root = withTrailingSlash(findNoCase(prg, QStringLiteral("interlinear")));
  const QStringList texts = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
  if (texts.isEmpty()) return failed(QStringLiteral("No original text available in ") + root);
  if (text.isEmpty()) text = texts.contains(QStringLiteral("WLC"), Qt::CaseInsensitive) ? QStringLiteral("WLC") : texts.first();
  TintLin db;
  GsReadResult gs;
  const TLoadReport report = db.openWithAllLists(root, text, &gs);
  if (!gs.valid) return failed(text + QStringLiteral(".gs could not be read"));
  if (report.main != TLoadReport::Main::Loaded) return failed(report.mainMessage());
  raiseMaxStreamPos(db.lastPosition());
  TTranslations translations;
  translations.open(prg);
  TReferences refs;
  TWordGPVerses trnVerses;
  refs.setCalculator(0, &db.calc());
  refs.setStreamVerses(&db);
  refs.setTranslationVerses(&trnVerses);
  TSearch s;
  s.setDatabase(&db);
  s.setReferences(&refs);
  for (int t = 1; t <= translations.count(); ++t) {
    refs.setCalculator(t, &translations.calc(t));
    trnVerses.setReader(t, &translations.reader(t));
    if (translations.initialized(t)) s.setTranslation(t, &translations.reader(t));
  }
  s.SizeHitMap(true);

  tSrchQuery& q = *s.Query;
  q.clearCells();
  q.LogicMode = logic;
  q.CaseSens = caseSens ? 1 : 0;
  if (from) q.RangeFrom = *from;
  if (to) q.RangeTo = *to;
  int slot = 0;
  try {
    if (!line.isEmpty()) {
      for (int t = 1; t <= translations.count(); ++t)
        if (translations.names()[t - 1].compare(translation, Qt::CaseInsensitive) == 0) slot = t;
      if (slot == 0 || !translations.initialized(slot)) return bad(QStringLiteral("no translation ") + translation);
      buildTranslationQuery(q, line, std::uint8_t(slot));
      q.LogicMode = logic;
    } else {
      if (columns.size() > 10) return bad(QStringLiteral("at most 10 columns"));
      q.Interlinear = 1;
      q.TrnSlot = 0;
      for (int c = 0; c < columns.size(); ++c)
        for (const QString& cellSpec : columns[c].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
          const QString list = cellSpec.section(QLatin1Char('='), 0, 0).trimmed();
          const QString pattern = cellSpec.section(QLatin1Char('='), 1);
          const int row = slotNamed(db.appliedTable(), list);
          if (row < 0) return bad(QStringLiteral("no sublinear named ") + list);
          if (pattern.isEmpty()) return bad(QStringLiteral("an empty pattern for ") + list);
          q.Cells[std::size_t(c)][std::size_t(row)].Text =
              prepareInterlinearCell(pattern, lineSetupOf(db.appliedTable().slot(row)), false);
        }
      q.ColumnCount = std::uint8_t(columns.size());
    }
    const TWordListStageResult stage = s.WordListStage();
    if (!stage.limitMessage.isEmpty()) err << "kov-query: " << stage.limitMessage << Qt::endl;
    const QString selection = s.SelectAll();
    if (!selection.isEmpty()) return bad(selection);
    s.VerseStage(true);
  } catch (const SearchRangeError& e) {
    return bad(QString::fromUtf8(e.what()));
  }

  s.ResultsShown = true;
  std::int32_t lastMarker = -1;
  for (int r = 0; r < s.ResultCount; ++r) {
    const THitRecord& h = s.Results[std::size_t(r)];
    if (h.markerPosition == lastMarker) continue;  // one line a verse
    lastMarker = h.markerPosition;
    if (slot == 0) {
      out << refText(refs.positionToRef(0, h.markerPosition)) << "\t" << verseLine(db, s, h.markerPosition) << "\n";
    } else {
      TWordGP& reader = translations.reader(slot);
      reader.setHits(&s);
      const VerseRef ref = refs.positionToRef(slot, h.markerPosition);
      reader.CurRef = ref;
      reader.GotoRef();
      reader.ReadVerse();
      out << refText(ref) << "\t" << QString::fromLatin1(reader.VerseText().c_str()) << "\n";
    }
  }
  out << s.StatusText() << Qt::endl;
  return 0;
}
