#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <set>

#include "db/References.h"
#include "db/StreamLimits.h"
#include "db/cCalcPos.h"
#include "db/cIntLin.h"
#include "search/CSearch.h"
#include "search/SearchErrors.h"
#include "support/IntLinFixtures.h"
#include "support/TranslationFixtures.h"
#include "texts/UWordGP.h"
#include "texts/WordGPWriter.h"

namespace kov {
namespace {

// Rows of the fixture: 0 main text, 1 Strong numbers, 2 lemmas, 3 glosses.
constexpr int kStrong = 1, kLemma = 2, kGloss = 3;

// Verses of GEN 1 (word index: text):
//   1: 0 en  1 arche  2 ho  3 theos
//   2: 4 theos  5 en  6 arche
//   3: 7 arche  8 theos  9 logos
//   4: 10 arche  11 ho  12 logos  13 theou
//   5: 14 logou  15 thelei  16 theou  17 logos
// EXO 1:1: 18 arche 19 theos
test::IntLinSpec engineText() {
  test::IntLinSpec s;
  s.text =
      "#GEN 1: en arche ho theos 2: theos en arche 3: arche theos logos 4: arche ho logos theou"
      " 5: logou thelei theou logos #EXO 1: arche theos";
  s.sublinears = {
      test::sublinear(QStringLiteral("strong.wl"),
                      {{"en", {"G1722"}}, {"arche", {"G746"}}, {"ho", {"G3588"}}, {"theos", {"G2316"}},
                       {"theou", {"G2316"}}, {"logos", {"G3056", "G3057"}}, {"logou", {"G3056"}},
                       {"thelei", {"G2309"}}}),
      test::sublinear(QStringLiteral("Lemma.wl"),
                      {{"en", {"en"}}, {"arche", {"arche"}}, {"ho", {"ho"}}, {"theos", {"theos"}},
                       {"theou", {"theos"}}, {"logos", {"logos"}}, {"logou", {"logos"}}, {"thelei", {"thelo"}}}),
      // logos shows its second gloss only at word 12.
      test::sublinear(QStringLiteral("gloss.wl"), {{"logos", {"word", "speech"}}}, ". . . . . . . . . . . . 1"),
  };
  return s;
}

struct Engine {
  std::unique_ptr<test::IntLinFixture> fx;
  TintLin db;
  TReferences refs;
  TSearch s;
  std::vector<QString> statuses;

  Engine() : fx(test::buildIntLin(engineText())) {
    EXPECT_TRUE(fx->load(db).ok());
    raiseMaxStreamPos(db.lastPosition());
    refs.setCalculator(0, &db.calc());
    refs.setStreamVerses(&db);
    s.setDatabase(&db);
    s.setReferences(&refs);
    s.SizeHitMap(true);
    s.onStatus = [this](const QString& t) { statuses.push_back(t); };
  }

  std::int32_t word(int i) const { return fx->words[std::size_t(i)]; }

  // columns[c] = {{row, pattern}, ...}; selects every item and runs the verse stage.
  void run(const std::vector<std::vector<std::pair<int, std::string>>>& columns, std::uint8_t logic = kLogicNoOrder,
           int srMode = kSRNormal) {
    tSrchQuery& q = *s.Query;
    q.clearCells();
    q.Interlinear = 1;
    q.TrnSlot = 0;
    q.LogicMode = logic;
    q.SRMode = srMode;
    for (std::size_t c = 0; c < columns.size(); ++c)
      for (const auto& [row, text] : columns[c]) q.Cells[c][std::size_t(row)].Text = text;
    q.ColumnCount = std::uint8_t(columns.size());
    s.WordListStage();
    EXPECT_TRUE(s.SelectAll().isEmpty());
    s.VerseStage(true);
  }

  // Word indexes whose positions the hit map holds.
  std::vector<int> mapped() const {
    std::vector<int> out;
    for (std::size_t i = 0; i < fx->words.size(); ++i)
      if (s.IsHit(fx->words[i])) out.push_back(int(i));
    return out;
  }
  std::set<int> hitVerses() const {
    std::set<int> out;
    for (int i = 0; i < s.ResultCount; ++i) out.insert(s.Results[std::size_t(i)].verse);
    return out;
  }
  std::vector<std::int32_t> recordPositions() const {
    std::vector<std::int32_t> out;
    for (int i = 0; i < s.ResultCount; ++i) out.push_back(s.Results[std::size_t(i)].position);
    return out;
  }
};

TEST(EngineHitMap, SizedFromTheLargestStreamPositionAndSafeOutsideIt) {
  TSrchMap m;
  EXPECT_TRUE(m.Size(99, true));
  EXPECT_EQ(m.WordCount(), std::size_t(100 / 4 + 1));
  EXPECT_FALSE(m.Size(50, false));  // never shrinks
  m.SetHit(0);
  m.SetHit(31);
  m.SetHit(32);
  m.ToggleHit(33);
  m.ToggleHit(32);
  EXPECT_TRUE(m.IsHit(0));
  EXPECT_TRUE(m.IsHit(31));
  EXPECT_FALSE(m.IsHit(32));
  EXPECT_TRUE(m.IsHit(33));
  EXPECT_EQ(m.Count(), 3);
  // Out of range: ignored, reads as no hit.
  m.SetHit(-1);
  m.SetHit(1'000'000);
  EXPECT_FALSE(m.IsHit(-5));
  EXPECT_FALSE(m.IsHit(1'000'000));
  TSrchMap copy;
  m.CopyTo(copy);
  EXPECT_EQ(copy.words(), m.words());
  m.ClearHit(0);
  EXPECT_TRUE(copy.IsHit(0));
  // Growing keeps the bits; Fill sets all.
  EXPECT_TRUE(m.Size(1000, false));
  EXPECT_TRUE(m.IsHit(33));
  m.Fill();
  EXPECT_TRUE(m.IsHit(999));
  m.Clear();
  EXPECT_EQ(m.Count(), 0);
}

TEST(EngineWordList, StrongPatternGivesOneItemPerMatchingRendering) {
  Engine e;
  tSrchQuery& q = *e.s.Query;
  q.Cells[0][kStrong].Text = "G305*";
  q.ColumnCount = 1;
  const TWordListStageResult r = e.s.WordListStage();
  EXPECT_TRUE(r.limitMessage.isEmpty());
  const TSrchList& l = *e.s.MatchLists.list(0);
  ASSERT_EQ(l.ItemCount, 3);  // logos twice (G3056, G3057), logou once
  EXPECT_EQ(q.KeySource, kStrong);
  EXPECT_EQ(l.KeyRow, kStrong);
  std::multiset<std::pair<int, int>> items;
  for (int i = 1; i <= 3; ++i) items.insert({l.item(i).key, l.item(i).sel[kStrong]});
  const int logos = e.fx->form("logos"), logou = e.fx->form("logou");
  EXPECT_EQ(items, (std::multiset<std::pair<int, int>>{{logos, 0}, {logos, 1}, {logou, 0}}));
  EXPECT_EQ(l.item(1).count[kStrong] + 0, l.item(1).key == logos ? 2 : 1);
  EXPECT_EQ(l.item(1).count[kLemma], 255);
  // Sorted by key; the index names the last item of each key.
  EXPECT_LE(l.item(1).key, l.item(2).key);
  EXPECT_LE(l.item(2).key, l.item(3).key);
  EXPECT_EQ(l.item(l.Index[std::size_t(logos)]).key, logos);
  EXPECT_NE(l.item(l.Index[std::size_t(logos)] + 1).key, logos);
}

TEST(EngineWordList, TwoPatternedRowsGiveEveryCombinationLastRowFastest) {
  Engine e;
  tSrchQuery& q = *e.s.Query;
  q.Cells[0][kStrong].Text = "G305*";
  q.Cells[0][kGloss].Text = "*";
  q.ColumnCount = 1;
  e.s.WordListStage();
  const TSrchList& l = *e.s.MatchLists.list(0);
  // logos: 2 Strong x 2 glosses; logou has no gloss entry and is rejected.
  ASSERT_EQ(l.ItemCount, 4);
  std::set<std::pair<int, int>> picks;
  for (int i = 1; i <= 4; ++i) picks.insert({l.item(i).sel[kStrong], l.item(i).sel[kGloss]});
  EXPECT_EQ(picks, (std::set<std::pair<int, int>>{{0, 0}, {0, 1}, {1, 0}, {1, 1}}));
}

TEST(EngineWordList, ListStopsAtTheItemLimitWithAWarning) {
  // The limit is 32000 in use; a test lowers it to reach it on a small fixture.
  Engine e;
  e.s.ItemLimit = 3;
  tSrchQuery& q = *e.s.Query;
  q.Cells[0][0].Text = "*";
  q.ColumnCount = 1;
  const TWordListStageResult r = e.s.WordListStage();
  EXPECT_EQ(r.items, 3);
  EXPECT_EQ(e.s.MatchLists.list(0)->ItemCount, 3);
  EXPECT_EQ(r.limitMessage, QStringLiteral("Search word list has reached the limit of 3 items."));
  EXPECT_EQ(TSearch().ItemLimit, 32000);
}

TEST(EngineWordList, SelectionChoosesRunItemsAndRefusesTooMany) {
  Engine e;
  tSrchQuery& q = *e.s.Query;
  q.Cells[0][kLemma].Text = "the*";
  q.Cells[1][0].Text = "nothing";
  q.Cells[2][kStrong].Text = "G2316";
  q.ColumnCount = 3;
  e.s.WordListStage();
  ASSERT_EQ(e.s.MatchLists.list(0)->ItemCount, 3);  // theos, theou, thelei
  const int thelei = e.fx->form("thelei");
  std::vector<bool> first(4, false);
  for (int i = 1; i <= 3; ++i) first[std::size_t(i)] = e.s.MatchLists.list(0)->item(i).key == thelei;
  // The empty second column is skipped: two run lists.
  EXPECT_TRUE(e.s.SelectItems({first, {}, std::vector<bool>(3, true)}).isEmpty());
  EXPECT_EQ(e.s.RunLists.ListCount, 2);
  EXPECT_EQ(q.UsedColumns, 2);
  EXPECT_EQ(e.s.RunLists.list(0)->ItemCount, 1);
  EXPECT_EQ(e.s.RunLists.list(0)->item(e.s.RunLists.list(0)->Index[std::size_t(thelei)]).key, thelei);
  e.s.ItemLimit = 2;
  EXPECT_EQ(e.s.SelectItems({std::vector<bool>(4, true)}), QStringLiteral("Selection Count >2"));
  EXPECT_EQ(e.s.RunLists.ListCount, 2);  // unchanged
}

TEST(EngineWordList, OversizedPatternIsARangeErrorNotACrash) {
  Engine e;
  tSrchQuery& q = *e.s.Query;
  q.Cells[0][kStrong].Text = std::string(641, 'a');
  q.ColumnCount = 1;
  EXPECT_THROW(e.s.WordListStage(), SearchRangeError);
}

TEST(EngineVerse, StrongNumberSearchMarksEveryOccurrence) {
  Engine e;
  e.run({{{kStrong, "G2316"}}});
  EXPECT_EQ(e.mapped(), (std::vector<int>{3, 4, 8, 13, 16, 19}));
  EXPECT_EQ(e.s.HitCount, 6);
  EXPECT_EQ(e.s.VerseCount, 6);
  ASSERT_EQ(e.s.ResultCount, 6);
  EXPECT_EQ(e.s.Results[0].position, e.word(3));
  EXPECT_EQ(e.s.Results[0].markerPosition, e.fx->marker("GEN 1:1"));
  EXPECT_EQ(e.s.Results[0].verse, 1);
  EXPECT_EQ(e.s.Results[5].markerPosition, e.fx->marker("EXO 1:1"));
  EXPECT_EQ(e.statuses.back(), QStringLiteral("6 found in 6 verses"));
  EXPECT_EQ(e.s.LastSlot, 0);
}

TEST(EngineVerse, LemmaWithTrailingStarAndStatusCountsVersesOnce) {
  Engine e;
  e.run({{{kLemma, "theo*"}}});
  EXPECT_EQ(e.mapped(), (std::vector<int>{3, 4, 8, 13, 16, 19}));
  e.run({{{kLemma, "the*"}}});
  EXPECT_EQ(e.mapped(), (std::vector<int>{3, 4, 8, 13, 15, 16, 19}));
  EXPECT_EQ(e.statuses.back(), QStringLiteral("7 found in 6 verses"));
}

TEST(EngineVerse, RowBytesMustMatchUnlessAllRenderings) {
  Engine e;
  e.run({{{kGloss, "speech"}}});
  EXPECT_EQ(e.mapped(), (std::vector<int>{12}));
  e.s.Query->AllRenderings = 1;
  e.run({{{kGloss, "speech"}}});
  EXPECT_EQ(e.mapped(), (std::vector<int>{9, 12, 17}));
  e.s.Query->AllRenderings = 0;
}

TEST(EngineVerse, LogicModesCombineColumnsWithinAVerse) {
  struct Case {
    std::uint8_t logic;
    std::set<int> verses;  // of GEN 1 and EXO 1 (EXO 1:1 counts as verse 1)
    const char* status;
  };
  // arche then theos: v1 later word, v2 earlier word, v3 next word, EXO 1:1 next word.
  const Case cases[] = {
      {kLogicNoOrder, {1, 2, 3}, "4 verses"},
      {kLogicInOrder, {1, 3}, "3 verses"},
      {kLogicPhrase, {1, 3}, "2 found in 2 verses"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.logic));
    Engine e;
    e.run({{{0, "arche"}}, {{0, "theos"}}}, c.logic);
    EXPECT_EQ(e.hitVerses(), c.verses);
    EXPECT_EQ(e.statuses.back(), QString::fromLatin1(c.status));
    // The words of both columns are in the map, none other.
    if (c.logic == kLogicPhrase) {
      EXPECT_EQ(e.mapped(), (std::vector<int>{7, 8, 18, 19}));
    }
    if (c.logic == kLogicNoOrder) {
      EXPECT_EQ(e.mapped(), (std::vector<int>{1, 3, 4, 6, 7, 8, 18, 19}));
    }
  }
}

TEST(EngineVerse, PhraseTriesEachCombinationOfShownVariantReadings) {
  // theos is a word of reading 1, logos of reading 2; arche is word form 0, which is searched too.
  test::IntLinSpec desc;
  desc.text = "#GEN 1: arche {v1} theos {v2} logos en 2: arche en logos";
  for (bool secondShown : {true, false}) {
    SCOPED_TRACE(secondShown);
    auto fx = test::buildIntLin(desc);
    LineOptions options;
    options.setFlag(LineOptions::VariantBool1, true);
    options.setFlag(LineOptions::VariantBool1 + 1, secondShown);
    TintLin db;
    ASSERT_TRUE(fx->load(db, options).ok());
    raiseMaxStreamPos(db.lastPosition());
    TSearch s;
    s.setDatabase(&db);
    s.SizeHitMap(true);
    tSrchQuery& q = *s.Query;
    q.Cells[0][0].Text = "arche";
    q.Cells[1][0].Text = "logos";
    q.ColumnCount = 2;
    q.LogicMode = kLogicPhrase;
    s.WordListStage();
    s.SelectAll();
    s.VerseStage(true);
    // With both readings shown, "arche logos" is read with reading 1 off.
    EXPECT_EQ(s.HitCount, secondShown ? 1 : 0);
    EXPECT_EQ(s.IsHit(fx->words[0]), secondShown);
    EXPECT_EQ(s.IsHit(fx->words[2]), secondShown);
    EXPECT_FALSE(s.IsHit(fx->words[1]));
    // Verse 1 reads "arche en" with the shown readings off; the walk goes on to verse 2.
    q.Cells[1][0].Text = "en";
    s.WordListStage();
    s.SelectAll();
    s.VerseStage(true);
    EXPECT_EQ(s.HitCount, 2);
    EXPECT_EQ(s.VerseCount, 2);
  }
}

TEST(EngineVerse, ThreeColumnsInOrder) {
  Engine e;
  e.run({{{0, "arche"}}, {{kLemma, "ho"}}, {{kStrong, "G305*"}}}, kLogicInOrder);
  EXPECT_EQ(e.mapped(), (std::vector<int>{10, 11, 12}));
  e.run({{{kStrong, "G305*"}}, {{kLemma, "ho"}}, {{0, "arche"}}}, kLogicInOrder);
  EXPECT_TRUE(e.mapped().empty());
}

TEST(EngineVerse, DifferenceAndSubtractAgainstThePreviousMap) {
  // First search: theos and theou (3 4 8 13 16 19); second: theou and logou (13 14 16).
  for (int mode : {kSRDifference, kSRSubtract}) {
    SCOPED_TRACE(mode);
    Engine e;
    e.run({{{0, "theo*"}}});
    e.run({{{0, "*ou"}}}, kLogicNoOrder, mode);
    const std::vector<int> expected =
        mode == kSRDifference ? std::vector<int>{3, 4, 8, 14, 19} : std::vector<int>{3, 4, 8, 19};
    EXPECT_EQ(e.mapped(), expected);
    // The records list every position of the combined map.
    std::vector<std::int32_t> positions;
    for (int i : expected) positions.push_back(e.word(i));
    EXPECT_EQ(e.recordPositions(), positions);
    EXPECT_EQ(e.s.HitCount, int(expected.size()));
  }
}

TEST(EngineVerse, RangeIncludesTheWholeLastVerse) {
  Engine e;
  VerseRef from, to;
  from.Bks = to.Bks = "GEN";
  from.chapter = to.chapter = 1;
  from.verse = 2;
  to.verse = 4;
  e.s.Query->RangeFrom = from;
  e.s.Query->RangeTo = to;
  e.run({{{kLemma, "theos"}}});
  // Verse 1 (word 3), verse 5 and EXO are outside; word 13 ends verse 4.
  EXPECT_EQ(e.mapped(), (std::vector<int>{4, 8, 13}));
}

TEST(EngineVerse, QueryWithoutColumnsClearsTheResults) {
  Engine e;
  e.run({{{kStrong, "G2316"}}});
  ASSERT_GT(e.s.ResultCount, 0);
  e.run({});
  EXPECT_EQ(e.s.ResultCount, 0);
  EXPECT_EQ(e.s.HitCount, 0);
  EXPECT_TRUE(e.mapped().empty());
  EXPECT_EQ(e.statuses.back(), QStringLiteral("0 found in 0 verses"));
}

TEST(EngineVerse, CountOccurrencesFillsBothCounters) {
  Engine e;
  tSrchQuery& q = *e.s.Query;
  q.Cells[0][kGloss].Text = "*";
  q.ColumnCount = 1;
  e.s.WordListStage();
  e.s.CountOccurrences(0);
  const TSrchList& l = *e.s.MatchLists.list(0);
  ASSERT_EQ(l.ItemCount, 2);  // logos: word, speech
  for (int i = 1; i <= 2; ++i) {
    EXPECT_EQ(l.Counters[std::size_t(i)][0], 3u);
    EXPECT_EQ(l.Counters[std::size_t(i)][1], l.item(i).sel[kGloss] == 1 ? 1u : 2u);
  }
}

TEST(EngineVerse, HitHooksAnswerOnlyWhileResultsAreShown) {
  Engine e;
  e.run({{{kStrong, "G2316"}}});
  EXPECT_FALSE(e.s.isInterlinearHit(e.word(3)));
  e.s.ResultsShown = true;
  EXPECT_TRUE(e.s.isInterlinearHit(e.word(3)));
  EXPECT_FALSE(e.s.isInterlinearHit(e.word(2)));
  EXPECT_FALSE(e.s.isHit(1, e.word(3)));  // last search was not over a translation
}

// ---- Translations ----

struct TrnEngine {
  QTemporaryDir dir;
  QString folder;
  TCalcpos calc;
  TWordGP reader{1};
  TReferences refs;
  TSearch s;

  TrnEngine() {
    folder = dir.path() + QStringLiteral("/KJV.t/");
    std::vector<TWgpVerse> verses = {
        testing::wordsVerse("GEN", 1, 1, splitVerseText("In the beginning, God created the heaven.")),
        testing::wordsVerse("GEN", 1, 2, splitVerseText("And God said: in the beginning was light.")),
        testing::wordsVerse("GEN", 1, 3, splitVerseText("God saw the beginning; God saw the beginning.")),
    };
    testing::writeTranslation(folder, QStringLiteral("KJV"), verses);
    calc.setDir(folder);
    calc.setName(QStringLiteral("KJV"));
    EXPECT_EQ(calc.Init(), 0);
    reader.setDir(folder);
    reader.setName(QStringLiteral("KJV"));
    reader.setCalcpos(&calc);
    EXPECT_TRUE(reader.init());
    s.setTranslation(1, &reader);
    refs.setCalculator(1, &calc);
    s.setReferences(&refs);
    s.SizeHitMap(true);
  }

  void run(const char* line, std::uint8_t logic, int skipPunct = -1) {
    tSrchQuery& q = *s.Query;
    q.clearCells();
    q.LogicMode = logic;
    buildTranslationQuery(q, QString::fromLatin1(line), 1);
    if (skipPunct >= 0) q.SkipPunct = std::uint8_t(skipPunct);
    s.WordListStage();
    ASSERT_TRUE(s.SelectAll().isEmpty());
    s.VerseStage(true);
  }
  std::set<int> verses() const {
    std::set<int> out;
    for (int i = 0; i < s.ResultCount; ++i) out.insert(s.Results[std::size_t(i)].verse);
    return out;
  }
};

TEST(EngineTranslation, PhraseStepsOverPunctuation) {
  TrnEngine t;
  t.run("beginning God", kLogicPhrase);
  EXPECT_EQ(t.verses(), (std::set<int>{1, 3}));  // "beginning, God" and "beginning; God"
  EXPECT_EQ(t.s.LastSlot, 1);
  t.run("beginning God", kLogicPhrase, 0);
  EXPECT_TRUE(t.verses().empty());
  t.run("God beginning", kLogicInOrder);
  EXPECT_EQ(t.verses(), (std::set<int>{2, 3}));
  // One record per verse for a several-column translation search.
  EXPECT_EQ(t.s.ResultCount, 2);
  EXPECT_EQ(t.s.HitCount, 3);
  t.run("beginning God", kLogicNoOrder);
  EXPECT_EQ(t.verses(), (std::set<int>{1, 2, 3}));
}

TEST(EngineTranslation, WordTableLimitAndReaderMarks) {
  TrnEngine t;
  t.s.ItemLimit = 2;
  tSrchQuery& q = *t.s.Query;
  buildTranslationQuery(q, QStringLiteral("*"), 1);
  EXPECT_EQ(t.s.WordListStage().limitMessage, QStringLiteral("Words found >2 search is not completed"));
  t.s.ItemLimit = kMaxSrchItems;

  t.run("heaven", kLogicNoOrder);
  ASSERT_EQ(t.s.ResultCount, 1);
  t.s.ResultsShown = true;
  t.reader.setHits(&t.s);
  t.reader.CurRef.Bks = "GEN";
  t.reader.CurRef.chapter = 1;
  t.reader.CurRef.verse = 1;
  t.reader.GotoRef();
  t.reader.ReadVerse();
  EXPECT_NE(t.reader.VerseText().find("@heaven@"), std::string::npos) << t.reader.VerseText();
  EXPECT_EQ(t.reader.HitCount(), 1);
  EXPECT_FALSE(t.s.isHit(2, t.s.Results[0].position));
}

}  // namespace
}  // namespace kov
