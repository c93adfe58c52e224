// The interlinear database at full size: a synthetic text of 305,000 words in 23,000
// verses with 8 sublinears, written to a temporary folder once.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <memory>
#include <random>

#include "db/GsFile.h"
#include "db/cGndStream.h"
#include "db/cIntLin.h"
#include "db/cWordList.h"

namespace {

constexpr int kWords = 305000;
constexpr int kVerses = 23000;
constexpr int kSublinears = 8;
constexpr int kForms = 20000;
constexpr int kBooks = 40;
constexpr int kChaptersPerBook = 30;

struct SyntheticDb {
  QTemporaryDir dir;
  QString root;
  std::vector<std::int32_t> wordPositions;
};

SyntheticDb& synthetic() {
  static std::unique_ptr<SyntheticDb> db = [] {
    auto s = std::make_unique<SyntheticDb>();
    s->root = s->dir.path() + QStringLiteral("/interlinear/");
    const QString folder = s->root + QStringLiteral("BIG/");
    QDir().mkpath(folder);
    std::mt19937 rng(7);

    kov::TGsContent gs;
    gs.stream.push_back(64020);
    const int chapters = kBooks * kChaptersPerBook;
    int verse = 0, word = 0;
    for (int b = 0; b < kBooks; ++b) {
      kov::Tbk_rec book;
      book.Bks = "B" + std::to_string(10 + b);
      book.Bkn = "Book " + std::to_string(b + 1);
      book.Bka = book.Bks;
      book.chapters = kChaptersPerBook;
      book.testament = 'B';
      gs.books.books.push_back(book);
      for (int c = 0; c < kChaptersPerBook; ++c) {
        const int index = b * kChaptersPerBook + c;
        const int verses = kVerses * (index + 1) / chapters - kVerses * index / chapters;
        gs.chapters.push_back({std::uint8_t(b + 1), std::uint8_t(c + 1), std::uint8_t(verses),
                               std::int32_t(gs.stream.size())});
        for (int v = 1; v <= verses; ++v, ++verse) {
          gs.stream.push_back(std::uint16_t(65000 + v));
          gs.stream.push_back(v == 1 ? kov::cell::kNewChapterFlag : 0);
          const int words = int(std::int64_t(kWords) * (verse + 1) / kVerses - std::int64_t(kWords) * verse / kVerses);
          for (int k = 0; k < words; ++k, ++word) {
            if (word % 50 == 25) gs.stream.push_back(64401);
            if (word % 50 == 26) gs.stream.push_back(64012);
            s->wordPositions.push_back(std::int32_t(gs.stream.size()));
            gs.stream.push_back(std::uint16_t(rng() % kForms));
          }
        }
      }
    }
    gs.hasStream = gs.hasChapters = gs.hasXml = true;
    kov::writeGsFile(folder + QStringLiteral("BIG.gs"), gs);

    kov::Tsubl main;
    main.fileName = QStringLiteral("BIG.WL0");
    main.rawHeader = "<WL><id>BIG</id><lng>greek</lng></WL>";
    kov::TWordList list;
    list.reset(kForms);
    for (int k = 0; k < kForms; ++k) list.entries[std::size_t(k)] = {0, k, "form" + std::to_string(k)};
    kov::saveList(folder, main, list);

    for (int n = 1; n <= kSublinears; ++n) {
      kov::Tsubl slot;
      slot.fileName = QStringLiteral("sub%1.wl").arg(n);
      kov::TWordList sub;
      sub.reset(kForms);
      for (int k = 0; k < kForms; ++k) {
        sub.entries[std::size_t(k)] = {0, k, "r" + std::to_string(n) + "-" + std::to_string(k)};
        if (k % 10 != 0) continue;
        // Every tenth form has a ring of three renderings.
        const std::int32_t e1 = sub.count, e2 = sub.count + 1;
        sub.ensureAllocated(e2);
        sub.count = e2 + 1;
        sub.entries[std::size_t(k)].next = e1;
        sub.entries[std::size_t(k)].flags = 32;
        sub.entries[std::size_t(e1)] = {32, e2, "alt1"};
        sub.entries[std::size_t(e2)] = {0, k, "alt2"};
      }
      kov::saveList(folder, slot, sub);
      kov::TSelection sel(gs.stream.size(), 255);
      for (std::int32_t p : s->wordPositions) sel[std::size_t(p)] = std::uint8_t(rng() % 8 == 0 ? 255 : rng() % 3);
      kov::saveSelection(folder, slot, sel);
    }
    return s;
  }();
  return *db;
}

void prepare(kov::TintLin& db) {
  const SyntheticDb& s = synthetic();
  db.setRootFolder(s.root);
  db.setMainName(QStringLiteral("BIG"));
  db.pendingTable().slot(0).fileName = QStringLiteral("BIG.WL0");
  for (int n = 1; n <= kSublinears; ++n) db.pendingTable().slot(n).fileName = QStringLiteral("sub%1.wl").arg(n);
  db.pendingTable().slotCount = kSublinears + 1;
}

kov::TintLin& loaded() {
  static std::unique_ptr<kov::TintLin> db = [] {
    auto d = std::make_unique<kov::TintLin>();
    prepare(*d);
    d->readGs();
    d->loadAll();
    d->applyPending();
    return d;
  }();
  return *db;
}

void BM_ReadGsAndLoadAll(benchmark::State& state) {
  synthetic();
  for (auto _ : state) {
    kov::TintLin db;
    prepare(db);
    db.readGs();
    const kov::TLoadReport r = db.loadAll();
    if (!r.ok()) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(db.lastPosition());
  }
}
BENCHMARK(BM_ReadGsAndLoadAll)->Unit(benchmark::kMillisecond);

void BM_FullWalk(benchmark::State& state) {
  kov::TintLin& db = loaded();
  kov::TGndStream w;
  w.setStream(&db.stream());
  w.first = 1;
  w.last = db.lastPosition();
  for (auto _ : state) {
    w.start(db.appliedOptions());
    std::int64_t words = 0;
    while (w.next()) ++words;
    benchmark::DoNotOptimize(words);
  }
}
BENCHMARK(BM_FullWalk)->Unit(benchmark::kMillisecond);

// The walk with the text of every row of every word, as a full-text pass would read it.
void BM_FullWalkAllCellTexts(benchmark::State& state) {
  kov::TintLin& db = loaded();
  kov::TGndStream w;
  w.setStream(&db.stream());
  w.first = 1;
  w.last = db.lastPosition();
  for (auto _ : state) {
    w.start(db.appliedOptions());
    std::size_t bytes = 0;
    while (w.next())
      for (int list = 0; list <= kSublinears; ++list) bytes += db.cellText(list, w.valuePosition()).size();
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_FullWalkAllCellTexts)->Unit(benchmark::kMillisecond);

void BM_CountUsage(benchmark::State& state) {
  kov::TintLin& db = loaded();
  for (auto _ : state) {
    db.countUsage(3);
    benchmark::DoNotOptimize(db.usage().data());
  }
}
BENCHMARK(BM_CountUsage)->Unit(benchmark::kMillisecond);

void BM_RefText(benchmark::State& state) {
  kov::TintLin& db = loaded();
  const auto& words = synthetic().wordPositions;
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(db.refText(words[i]));
    i = (i + 7919) % words.size();
  }
}
BENCHMARK(BM_RefText)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
