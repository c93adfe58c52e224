// Whole searches (word-list stage, selection of every item, verse stage) on the default
// database of the program folder in KOV_HOME, and on synthetic texts of Bible size so that a
// figure exists without one.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

#include "core/FileLookup.h"
#include "core/ProgramFolder.h"
#include "db/References.h"
#include "db/StreamLimits.h"
#include "db/cIntLin.h"
#include "search/CSearch.h"
#include "texts/UWordGP.h"
#include "texts/WordGPWriter.h"

#include "SyntheticTranslation.h"
#include "texts/cTranslations.h"

namespace {

using kov::TSearch;
using kov::tSrchQuery;

struct Column {
  int row;
  std::string pattern;
};

// One full search; returns the hit count.
int runSearch(TSearch& s, const std::vector<std::vector<Column>>& columns, std::uint8_t logic) {
  tSrchQuery& q = *s.Query;
  q.clearCells();
  q.Interlinear = 1;
  q.TrnSlot = 0;
  q.LogicMode = logic;
  for (std::size_t c = 0; c < columns.size(); ++c)
    for (const Column& col : columns[c]) q.Cells[c][std::size_t(col.row)].Text = col.pattern;
  q.ColumnCount = std::uint8_t(columns.size());
  s.WordListStage();
  s.SelectAll();
  s.VerseStage(true);
  return s.HitCount;
}

int runTranslation(TSearch& s, const char* line, std::uint8_t logic, int slot) {
  tSrchQuery& q = *s.Query;
  q.clearCells();
  q.LogicMode = logic;
  kov::buildTranslationQuery(q, QString::fromLatin1(line), std::uint8_t(slot));
  s.WordListStage();
  s.SelectAll();
  s.VerseStage(true);
  return s.HitCount;
}

// ---- The default database ----

struct DefaultDb {
  bool ok = false;
  QString why;
  kov::TintLin db;
  kov::TReferences refs;
  kov::TTranslations translations;
  int kjv = 0;
  TSearch s;

  DefaultDb() {
    if (qEnvironmentVariable("KOV_HOME").isEmpty()) {
      why = QStringLiteral("KOV_HOME not set: no default database");
      return;
    }
    const QString prg = kov::withTrailingSlash(qEnvironmentVariable("KOV_HOME"));
    const QString root = kov::findNoCase(prg, QStringLiteral("interlinear"));
    const QStringList texts = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    if (texts.isEmpty()) {
      why = QStringLiteral("no interlinear text in ") + prg;
      return;
    }
    // The Hebrew text: the Strong number and lemma queries are Old Testament ones.
    const QString main = texts.contains(QStringLiteral("WLC"), Qt::CaseInsensitive) ? QStringLiteral("WLC") : texts.first();
    if (db.openWithAllLists(kov::withTrailingSlash(root), main).main != kov::TLoadReport::Main::Loaded) {
      why = QStringLiteral("the default database did not load");
      return;
    }
    translations.open(prg);
    for (int t = 1; t <= translations.count(); ++t)
      if (translations.names()[t - 1].compare(QStringLiteral("KJV"), Qt::CaseInsensitive) == 0 &&
          translations.initialized(t))
        kjv = t;
    kov::raiseMaxStreamPos(db.lastPosition());
    refs.setCalculator(0, &db.calc());
    refs.setStreamVerses(&db);
    s.setDatabase(&db);
    s.setReferences(&refs);
    if (kjv) s.setTranslation(kjv, &translations.reader(kjv));
    s.SizeHitMap(true);
    ok = true;
  }
};

DefaultDb& defaultDb() {
  static DefaultDb d;
  return d;
}

bool skipWithoutDb(benchmark::State& state) {
  if (defaultDb().ok) return false;
  state.SkipWithError(defaultDb().why.toStdString().c_str());
  return true;
}

void BM_DefaultStrongH430(benchmark::State& state) {
  if (skipWithoutDb(state)) return;
  DefaultDb& d = defaultDb();
  if (!d.db.known().strong) return state.SkipWithError("no strong.wl sublinear");
  // The Old Testament: Genesis 1:1 to Malachi 4:6 (the whole text when it has no Genesis).
  tSrchQuery& q = *d.s.Query;
  q.RangeFrom = kov::VerseRef{"GEN", "GEN", 0, 1, 1, ' '};
  q.RangeTo = kov::VerseRef{"MAL", "MAL", 0, 4, 6, ' '};
  int hits = 0;
  for (auto _ : state) hits = runSearch(d.s, {{{d.db.known().strong, "H430"}}}, kov::kLogicNoOrder);
  q.RangeFrom = q.RangeTo = kov::VerseRef{};
  state.counters["hits"] = hits;
}
BENCHMARK(BM_DefaultStrongH430)->Unit(benchmark::kMillisecond);

void BM_DefaultLemmaStar(benchmark::State& state) {
  if (skipWithoutDb(state)) return;
  DefaultDb& d = defaultDb();
  if (!d.db.known().lemma) return state.SkipWithError("no Lemma.wl sublinear");
  int hits = 0;
  for (auto _ : state) hits = runSearch(d.s, {{{d.db.known().lemma, "a*"}}}, kov::kLogicNoOrder);
  state.counters["hits"] = hits;
}
BENCHMARK(BM_DefaultLemmaStar)->Unit(benchmark::kMillisecond);

void BM_DefaultKjvPhrase(benchmark::State& state) {
  if (skipWithoutDb(state)) return;
  DefaultDb& d = defaultDb();
  if (!d.kjv) return state.SkipWithError("no KJV translation");
  int hits = 0;
  for (auto _ : state) hits = runTranslation(d.s, "the LORD", kov::kLogicPhrase, d.kjv);
  state.counters["hits"] = hits;
}
BENCHMARK(BM_DefaultKjvPhrase)->Unit(benchmark::kMillisecond);

void BM_DefaultThreeColumnsInOrder(benchmark::State& state) {
  if (skipWithoutDb(state)) return;
  DefaultDb& d = defaultDb();
  const int strong = d.db.known().strong;
  if (!strong) return state.SkipWithError("no strong.wl sublinear");
  int hits = 0;
  for (auto _ : state)
    hits = runSearch(d.s, {{{strong, "H7225"}}, {{strong, "H1254"}}, {{strong, "H430"}}}, kov::kLogicInOrder);
  state.counters["hits"] = hits;
}
BENCHMARK(BM_DefaultThreeColumnsInOrder)->Unit(benchmark::kMillisecond);

// ---- Synthetic texts of Bible size ----

// 31,000 verses of 25 words over 8,000 word forms; every form has a Strong number
// "H<form mod 8674>" and a lemma of its first four letters.
struct SyntheticIntLin {
  kov::TintLin db;
  TSearch s;
  int strong = 1, lemma = 2;

  SyntheticIntLin() {
    constexpr int kForms = 8000, kVerses = 31000, kWords = 25;
    kov::TGsContent gs;
    gs.stream.push_back(0);
    std::uint32_t seed = 12345;
    for (int v = 0; v < kVerses; ++v) {
      gs.stream.push_back(std::uint16_t(kov::cell::kVerse + 1 + v % 30));
      gs.stream.push_back(0);
      for (int w = 0; w < kWords; ++w) {
        seed = seed * 1103515245u + 12345u;
        // Skewed towards small form numbers, as running text is.
        const std::uint32_t r = (seed >> 8) % kForms;
        gs.stream.push_back(std::uint16_t(1 + (r * r) / kForms));
      }
    }
    gs.hasStream = true;
    db.installGs(std::move(gs));
    auto fill = [&](int list, auto text) {
      kov::TWordList& l = db.list(list);
      l.reset(kForms + 1);
      for (int f = 0; f <= kForms; ++f) {
        l.entries[std::size_t(f)].text = text(f);
        l.entries[std::size_t(f)].next = f;
      }
    };
    const char* syll[] = {"ba", "lo", "ki", "me", "su", "ta", "ra", "no"};
    auto formText = [&](int f) {
      std::string t;
      for (int k = f; k > 0; k /= 8) t += syll[k % 8];
      return t;
    };
    fill(0, formText);
    fill(strong, [](int f) { return "H" + std::to_string(f % 8674); });
    fill(lemma, [&](int f) { return formText(f).substr(0, 4); });
    for (int r : {strong, lemma}) db.selection(r).assign(db.stream().size(), 0);
    kov::raiseMaxStreamPos(db.lastPosition());
    s.setDatabase(&db);
    s.SizeHitMap(true);
  }
};

SyntheticIntLin& synthetic() {
  static SyntheticIntLin d;
  return d;
}

void BM_SyntheticStrong(benchmark::State& state) {
  SyntheticIntLin& d = synthetic();
  int hits = 0;
  for (auto _ : state) hits = runSearch(d.s, {{{d.strong, "H430"}}}, kov::kLogicNoOrder);
  state.counters["hits"] = hits;
}
BENCHMARK(BM_SyntheticStrong)->Unit(benchmark::kMillisecond);

void BM_SyntheticLemmaStar(benchmark::State& state) {
  SyntheticIntLin& d = synthetic();
  int hits = 0;
  for (auto _ : state) hits = runSearch(d.s, {{{d.lemma, "lo*"}}}, kov::kLogicNoOrder);
  state.counters["hits"] = hits;
}
BENCHMARK(BM_SyntheticLemmaStar)->Unit(benchmark::kMillisecond);

void BM_SyntheticThreeColumnsInOrder(benchmark::State& state) {
  SyntheticIntLin& d = synthetic();
  int hits = 0;
  for (auto _ : state)
    hits = runSearch(d.s, {{{d.strong, "H1"}}, {{d.strong, "H2"}}, {{d.strong, "H3"}}}, kov::kLogicInOrder);
  state.counters["hits"] = hits;
}
BENCHMARK(BM_SyntheticThreeColumnsInOrder)->Unit(benchmark::kMillisecond);

// 31,000 verses of 25 words; "ye" and "bring" stand on either side of a comma.
struct SyntheticTranslation {
  QTemporaryDir dir;
  QString path;
  kov::TCalcpos calc;
  kov::TWordGP reader{1};
  TSearch s;
  SyntheticTranslation() {
    path = dir.path() + QStringLiteral("/B.t/");
    std::vector<kov::TWgpVerse> verses;
    kov::TbookTable names;
    const char* words[] = {"And", "the", "LORD", "said", "unto", "Moses", ",", "Speak", "children", "of", "Israel",
                           "that", "they", "bring", "me", "an", "offering", ":", "every", "man", "giveth", "it",
                           "willingly", "with", "his", "heart", "ye"};
    verses = kov::bench::syntheticTranslation(std::vector<const char*>(std::begin(words), std::end(words)), names);
    QString error;
    if (!kov::writeWordGP(path, QStringLiteral("B"), verses, names, &error)) {
      fprintf(stderr, "%s\n", qPrintable(error));
      std::abort();
    }
    calc.setDir(path);
    calc.setName(QStringLiteral("B"));
    calc.Init();
    reader.setDir(path);
    reader.setName(QStringLiteral("B"));
    reader.setCalcpos(&calc);
    if (!reader.init()) std::abort();
    s.setTranslation(1, &reader);
    s.SizeHitMap(true);
  }
};

void BM_SyntheticTranslationPhrase(benchmark::State& state) {
  static SyntheticTranslation t;
  int hits = 0;
  for (auto _ : state) hits = runTranslation(t.s, "ye bring", kov::kLogicPhrase, 1);
  state.counters["hits"] = hits;
}
BENCHMARK(BM_SyntheticTranslationPhrase)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
