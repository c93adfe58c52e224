#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "core/IniFile.h"
#include "core/RegistryStore.h"
#include "db/References.h"
#include "db/StreamLimits.h"
#include "db/cIntLin.h"
#include "support/IntLinFixtures.h"
#include "support/WordListFixtures.h"

namespace kov {
namespace {

using test::IntLinSpec;
using test::SublinearSpec;

// Two books; verse 1 of MAT 1 holds a word of variants 1 and 2 (kai) and one of
// variant 2 alone (ho); verse 2 a toggled word, a bracket and a gap word.
IntLinSpec sampleSpec() {
  IntLinSpec s;
  s.text =
      "#MAT 1: logos theos {v1} {v2} kai {v2} ho {e} en "
      "     2: {t0} arche {[} ton {]} _ logos "
      "     3a: logos "
      "@2   1: theos "
      "#MRK 1: ho";
  s.variants = {{"K", "Ketiv", {}}, {"Q", "Qere", {}}};
  // Words:        logos theos kai ho en arche ton _ logos logos theos ho
  const char* sel = "0     .     .   .  -  .     .   . 2     5     .     .";
  s.sublinears = {
      test::sublinear(QStringLiteral("gloss.wl"),
                      {{"logos", {"word", "speech", "message"}}, {"theos", {"God"}}, {"kai", {"and"}},
                       {"ho", {"the"}}, {"en", {"in"}}},
                      sel),
      test::sublinear(QStringLiteral("strong.wl"), {{"logos", {"G3056"}}, {"theos", {"G2316"}}}),
  };
  return s;
}

LineOptions with(std::initializer_list<int> flags) {
  LineOptions o;
  for (int f : flags) o.setFlag(f, true);
  return o;
}

TEST(IntLinGs, ReadsTablesVariantsAndStreamWithClosingCells) {
  const auto fx = test::buildIntLin(sampleSpec());
  TintLin db;
  fx->prepare(db);
  const GsReadResult r = db.readGs();
  ASSERT_TRUE(r.valid);
  EXPECT_TRUE(r.errors.isEmpty()) << r.errors.join('\n').toStdString();

  const TCalcpos& c = db.calc();
  ASSERT_EQ(c.bookCount(), 2);
  EXPECT_EQ(c.book(1).Bks, "MAT");
  EXPECT_EQ(c.book(1).chapters, 2);
  EXPECT_EQ(c.book(2).testament, 'B');
  EXPECT_EQ(c.chapterCount(), 3);
  EXPECT_EQ(c.variantNames(), (QStringList{"K : Ketiv", "Q : Qere"}));
  ASSERT_EQ(db.variants().size(), 2u);
  EXPECT_EQ(db.variants()[1].description, QStringLiteral("Qere"));

  const auto& cells = db.stream();
  EXPECT_EQ(db.lastPosition(), std::int32_t(fx->gs.stream.size()) - 1);
  ASSERT_EQ(cells.size(), fx->gs.stream.size() + 2);
  EXPECT_EQ(cells[cells.size() - 2], 65001);
  EXPECT_EQ(cells.back(), 16384);
  EXPECT_GE(MaxStreamPos(), db.lastPosition());

  EXPECT_EQ(db.testamentOf(QStringLiteral("TST")), QStringLiteral("NT"));
  EXPECT_EQ(db.testamentOf(QStringLiteral("nothing")), QString());
}

TEST(IntLinGs, WriterRoundTrips) {
  TGsContent gs = test::gsFromText(sampleSpec());
  gs.books.books[0].testament = 'A';
  gs.ont = QStringLiteral("OT <&>");
  const auto bytes = buildGsFile(gs);
  ASSERT_TRUE(bytes);
  TGsContent back;
  ASSERT_TRUE(parseGs(*bytes, back).valid);
  EXPECT_EQ(back.books.books, gs.books.books);
  EXPECT_EQ(back.variants, gs.variants);
  EXPECT_EQ(back.ont, gs.ont);
  EXPECT_EQ(back.stream, gs.stream);
  EXPECT_EQ(back.chapters, gs.chapters);
  EXPECT_EQ(ontOf(*bytes), gs.ont);
}

TEST(IntLinLoad, DropsMissingAndFailedSublinearsKeepingTheTableDense) {
  IntLinSpec s = sampleSpec();
  auto sub = [](const char* name, const char* text) {
    return test::sublinear(QString::fromLatin1(name), {{"logos", {text}}});
  };
  s.sublinears = {sub("a.wl", "A"), sub("b.wl", "B"), sub("c.wl", "C"), sub("d.wl", "D"), sub("e.wl", "E")};
  s.sublinears[1].writeList = false;       // missing: dropped silently
  s.sublinears[3].writeSelection = false;  // exists but fails: reported
  const auto fx = test::buildIntLin(s);
  TintLin db;
  const TLoadReport r = fx->load(db);

  EXPECT_EQ(r.main, TLoadReport::Main::Loaded);
  EXPECT_EQ(r.dropped, QStringList{"b.wl"});
  ASSERT_EQ(r.failed.size(), 1u);
  EXPECT_EQ(r.failed[0].slot, 4);
  EXPECT_EQ(r.failed[0].message(), fx->folder + QStringLiteral("d.wl Could not load the Sublinear"));
  EXPECT_FALSE(r.ok());

  const TWl& t = db.appliedTable();
  ASSERT_EQ(t.slotCount, 4);
  EXPECT_EQ(t.slot(1).fileName, QStringLiteral("a.wl"));
  EXPECT_EQ(t.slot(2).fileName, QStringLiteral("c.wl"));
  EXPECT_EQ(t.slot(3).fileName, QStringLiteral("e.wl"));
  // Each list moved with its slot.
  EXPECT_EQ(db.cellText(2, fx->words[0]), "C");
  EXPECT_EQ(db.cellText(3, fx->words[0]), "E");
  EXPECT_EQ(db.list(3).count, t.slot(3).entryCount);
}

TEST(IntLinLoad, MainTextMissingOrBroken) {
  IntLinSpec s = sampleSpec();
  s.writeMain = false;
  const auto missing = test::buildIntLin(s);
  TintLin db;
  TLoadReport r = missing->load(db);
  EXPECT_EQ(r.main, TLoadReport::Main::Missing);
  EXPECT_EQ(db.appliedTable().slotCount, 0);

  QFile f(missing->folder + QStringLiteral("TST.WL0"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("not a list");
  f.close();
  r = missing->load(db);
  EXPECT_EQ(r.main, TLoadReport::Main::Failed);
  EXPECT_EQ(r.mainMessage(), QStringLiteral("TST.WL0  Could not load the Main text"));
  EXPECT_FALSE(r.mainErrors.isEmpty());
}

TEST(IntLinLoad, KnownSublinearsAreFoundAgainOnEachLoad) {
  IntLinSpec s = sampleSpec();
  s.sublinears = {test::sublinear(QStringLiteral("TL_KJV.wl")), test::sublinear(QStringLiteral("STRONG.wl")),
                  test::sublinear(QStringLiteral("P_WHM.wl"), {}, {}, "<WL><id>P_WHM</id></WL>"),
                  test::sublinear(QStringLiteral("cgts.WL")), test::sublinear(QStringLiteral("CGES_id.wl"))};
  const auto fx = test::buildIntLin(s);
  TintLin db;
  fx->load(db);
  TKnownSublinears want;
  want.gloss = 1;
  want.strong = 2;
  want.parsing = 3;
  want.connected = 4;
  want.connectedIds = 5;
  EXPECT_EQ(db.known(), want);

  // A parsing list is only one when its header says so; a role whose list is gone is cleared.
  IntLinSpec other = sampleSpec();
  other.sublinears = {test::sublinear(QStringLiteral("P_WHM.wl"), {}, {}, "<WL><id>other</id></WL>"),
                      test::sublinear(QStringLiteral("Lemma.wl"))};
  const auto fx2 = test::buildIntLin(other);
  fx2->load(db);
  TKnownSublinears want2;
  want2.lemma = 2;
  EXPECT_EQ(db.known(), want2);
}

TEST(IntLinLoad, HebrewMainTextVisibilityAndEditStatistics) {
  IntLinSpec s;
  s.lng = "hebrew";
  s.oldTestament = true;
  s.text = "#GEN 1: B:R)$IYT B.FRF) ):ELOHIYM";
  s.sublinears = {test::sublinear(QStringLiteral("gloss.wl"), {{"B:R)$IYT", {"in-beginning"}}})};
  const auto fx = test::buildIntLin(s);
  TintLin db;
  fx->prepare(db);
  db.pendingTable().slot(0).visible = false;
  db.pendingTable().slot(1).visible = false;

  QTemporaryDir regDir;
  RegistryStore reg(regDir.path());
  IniFile ini;
  ASSERT_TRUE(reg.open(QStringLiteral("EditInfo\\WL\\TST"), ini));
  ini.writeInteger(QStringLiteral("gloss"), QStringLiteral("EditCnt"), 5);
  ini.writeFloat(QStringLiteral("gloss"), QStringLiteral("lastLB"), 45000.5);
  ASSERT_TRUE(ini.save());

  db.readGs();
  EXPECT_TRUE(db.loadAll(&reg).ok());
  EXPECT_TRUE(db.pendingOptions().flag(LineOptions::Hebrew));
  EXPECT_TRUE(db.pendingTable().slot(0).rtl);
  EXPECT_TRUE(db.pendingTable().slot(0).visible);  // nothing else was visible
  EXPECT_EQ(db.pendingTable().slot(1).editCnt, 5);
  EXPECT_EQ(db.pendingTable().slot(1).lastLB, 45000.5);
  EXPECT_EQ(db.calc().book(1).testament, 'A');
  EXPECT_EQ(db.cellText(0, fx->words[0]), "B:R)$IYT");
  EXPECT_EQ(db.cellText(1, fx->words[0]), "in-beginning");

  TintLin greek;
  test::buildIntLin(sampleSpec())->load(greek);
  EXPECT_FALSE(greek.appliedOptions().flag(LineOptions::Hebrew));
}

TEST(IntLinRender, RingOfThreeSelectionsAndNonEntries) {
  const auto fx = test::buildIntLin(sampleSpec());
  TintLin db;
  ASSERT_TRUE(fx->load(db).ok());
  const std::int32_t logos = fx->form("logos");
  struct Case {
    int s;
    const char* text;
  };
  for (const Case c : {Case{0, "word"}, {1, "speech"}, {2, "message"}, {5, "message"}, {255, "word"}})
    EXPECT_EQ(db.rendering(1, logos, c.s), c.text) << c.s;
  EXPECT_FALSE(db.singleRendering(1));
  EXPECT_EQ(db.rendering(1, fx->form("theos"), 3), "God");
  EXPECT_TRUE(db.singleRendering(1));
  EXPECT_EQ(db.rendering(1, 999, 0), "");
  EXPECT_EQ(db.entry(1, logos).flags, 32);
  EXPECT_EQ(db.entry(1, 12345), Twlistrec{});

  const auto& w = fx->words;
  EXPECT_EQ(db.cellText(0, w[0]), "logos");
  EXPECT_EQ(db.cellText(1, w[0]), "word");
  EXPECT_EQ(db.cellText(1, w[8]), "message");  // selection 2
  EXPECT_EQ(db.cellText(1, w[9]), "message");  // selection 5, beyond the ring
  EXPECT_EQ(db.cellText(2, w[1]), "G2316");
  EXPECT_EQ(db.cellText(0, w[7]), "");         // the gap word
  EXPECT_EQ(db.cellText(1, fx->marker("MAT 1:2")), "");
  EXPECT_EQ(db.cellText(1, w[4]), "");  // selection 255
  db.appliedOptions().setFlag(LineOptions::ShowNonEntries, true);
  EXPECT_EQ(db.cellText(1, w[4]), "in");
  EXPECT_EQ(db.cellText(1, w[5]), "");  // no rendering at all
  EXPECT_EQ(db.cellText(20, w[0]), "");
  EXPECT_EQ(db.cellText(1, db.lastPosition() + 1), "");
}

TEST(IntLinRender, CellTextsAreCutAt255) {
  IntLinSpec s = sampleSpec();
  s.sublinears = {test::sublinear(QStringLiteral("gloss.wl"), {{"logos", {"x"}}})};
  const auto fx = test::buildIntLin(s);
  TintLin db;
  fx->load(db);
  // The file format cannot hold it, so the long text is put in after loading.
  db.list(1).entries[0].text.assign(300, 'y');
  EXPECT_EQ(db.cellText(1, fx->words[0]).size(), 255u);
}

TEST(IntLinWalk, UsageFollowsVariantsTogglesAndSelections) {
  const auto fx = test::buildIntLin(sampleSpec());
  const int v1 = LineOptions::VariantBool1, v2 = LineOptions::VariantBool1 + 1;
  struct Case {
    LineOptions options;
    std::uint32_t kai, ho, arche;
  };
  const Case cases[] = {
      {with({}), 0, 1, 0},
      {with({v1}), 1, 1, 0},  // kai is marked for 1 and 2; ho for 2 alone
      {with({v2}), 1, 2, 0},
      {with({v1, v2, LineOptions::Toggles}), 1, 2, 1},
  };
  for (const Case& c : cases) {
    TintLin db;
    fx->load(db, c.options);
    db.countUsage(0);
    EXPECT_EQ(db.usage()[std::size_t(fx->form("kai"))], c.kai);
    EXPECT_EQ(db.usage()[std::size_t(fx->form("ho"))], c.ho);
    EXPECT_EQ(db.usage()[std::size_t(fx->form("arche"))], c.arche);
  }

  TintLin db;
  fx->load(db);
  db.countUsage(1);
  EXPECT_EQ(db.usageList(), 1);
  const std::int32_t logos = fx->form("logos");
  const std::int32_t firstExtra = db.list(1).entries[std::size_t(logos)].next;
  const std::int32_t secondExtra = db.list(1).entries[std::size_t(firstExtra)].next;
  EXPECT_EQ(db.usage()[std::size_t(logos)], 1u);
  EXPECT_EQ(db.usage()[std::size_t(firstExtra)], 0u);
  EXPECT_EQ(db.usage()[std::size_t(secondExtra)], 2u);  // selections 2 and 5 both show the last
}

TEST(IntLinVerses, MarkersVersesAndSteps) {
  const auto fx = test::buildIntLin(sampleSpec());
  TintLin db;
  fx->load(db);
  const TCalcpos& calc = db.calc();
  const std::int32_t mat1 = calc.chapterRecord(0).position;
  EXPECT_EQ(db.verseMarkerOf(mat1, 2), fx->marker("MAT 1:2"));
  EXPECT_EQ(db.verseMarkerOf(mat1, 3), fx->marker("MAT 1:3a"));
  EXPECT_EQ(db.verseMarkerOf(calc.chapterRecord(2).position, 7), db.lastPosition());

  const TVerseAt at = db.verseAt(fx->words[9]);
  EXPECT_EQ(at.verse, 3);
  EXPECT_EQ(at.mark, 'a');
  EXPECT_EQ(db.verseAt(0).verse, -1);

  const auto& w = fx->words;
  const std::int32_t last = db.lastPosition();
  struct Case {
    std::int32_t from;
    int count;
    bool clamp;
    std::int32_t position;
    int verse;
  };
  const Case cases[] = {
      {w[1], 1, false, fx->marker("MAT 1:2"), 2},
      {w[1], -1, false, fx->marker("MAT 1:1"), 1},
      {fx->marker("MAT 1:2"), -1, false, fx->marker("MAT 1:1"), 1},
      {fx->marker("MAT 1:1"), 2, false, fx->marker("MAT 1:3a"), 3},
      {w[2], -10, false, fx->marker("MAT 1:1"), 1},   // stops at the start
      {w[11], 1, true, last, -1},                     // past the last verse: clamped
      {w[11], 1, false, w[11], -1},
      {fx->marker("MRK 1:1"), 1, true, last, 1},
      {w[3], 0, false, w[3], -1},
  };
  for (const Case& c : cases) {
    const TVerseStep r = db.stepVerses(c.from, c.count, c.clamp);
    EXPECT_EQ(r.position, c.position) << c.from << " " << c.count;
    EXPECT_EQ(r.verse, c.verse) << c.from << " " << c.count;
  }
  EXPECT_EQ(db.stepVerses(fx->marker("MAT 1:2"), 1, false).mark, 'a');
}

TEST(IntLinVerses, VerseLookBackStopsAfter1000Cells) {
  IntLinSpec s;
  std::string text = "#MAT 1:";
  for (int i = 0; i < 1100; ++i) text += " w";
  s.text = text;
  const auto fx = test::buildIntLin(s);
  TintLin db;
  fx->load(db);
  EXPECT_EQ(db.verseAt(fx->words[500]).verse, 1);
  EXPECT_EQ(db.verseAt(db.lastPosition()).verse, -1);
}

TEST(IntLinRefs, RefTextCountsShownWords) {
  const auto fx = test::buildIntLin(sampleSpec());
  TintLin db;
  fx->load(db);
  const auto& w = fx->words;
  EXPECT_EQ(db.refText(w[0]), "MAT 1:1.1");
  EXPECT_EQ(db.refText(w[1]), "MAT 1:1.2");
  EXPECT_EQ(db.refText(w[4]), "MAT 1:1.3");  // kai and ho are hidden variant words
  EXPECT_EQ(db.refText(w[9]), "MAT 1:3.1");
  EXPECT_EQ(db.refText(w[10]), "MAT 2:1.1");
  EXPECT_EQ(db.refText(w[11]), "MRK 1:1.1");

  TintLin shown;
  fx->load(shown, with({LineOptions::VariantBool1, LineOptions::VariantBool1 + 1}));
  EXPECT_EQ(shown.refText(w[4]), "MAT 1:1.5");
}

TEST(IntLinRefs, ReferencesConvertThroughTheStream) {
  const auto fx = test::buildIntLin(sampleSpec());
  TintLin db;
  fx->load(db);
  TReferences refs;
  refs.setCalculator(0, &db.calc());
  refs.setStreamVerses(&db);

  VerseRef r;
  r.Bks = "MAT";
  r.chapter = 1;
  r.verse = 2;
  EXPECT_EQ(refs.refToPosition(0, r), fx->marker("MAT 1:2"));
  r.chapter = 2;
  r.verse = 1;
  EXPECT_EQ(refs.refToPosition(0, r), fx->marker("MAT 2:1"));
  r.verse = 9;
  EXPECT_EQ(refs.refToPosition(0, r), db.lastPosition());
  r.Bks = "JHN";
  EXPECT_EQ(refs.refToPosition(0, r), -1);

  const VerseRef back = refs.positionToRef(0, fx->words[9]);
  EXPECT_EQ(back.Bks, "MAT");
  EXPECT_EQ(back.chapter, 1);
  EXPECT_EQ(back.verse, 3);
  EXPECT_EQ(back.verseMark, 'a');
  EXPECT_EQ(refs.positionToRef(0, fx->words[11]).Bks, "MRK");
}

TEST(IntLinTables, PendingAndAppliedCopiesAndPresetConversions) {
  const auto fx = test::buildIntLin(sampleSpec());
  TintLin db;
  fx->load(db);
  EXPECT_EQ(db.appliedMainName(), QStringLiteral("TST"));
  EXPECT_EQ(db.appliedFolder(), fx->folder);

  db.pendingOptions().bytes[5] = 7;  // a byte without a name is carried too
  db.pendingOptions().setShowVarMode(2);
  db.pendingTable().slot(1).visible = false;
  db.pendingTable().presentations[1].dyFirst = 42;
  db.pendingTable().rows[20].baseline = 9;
  db.setMainName(QStringLiteral("OTHER"));
  db.discardPending();
  EXPECT_EQ(db.pendingOptions(), db.appliedOptions());
  EXPECT_TRUE(db.pendingTable().slot(1).visible);
  EXPECT_EQ(db.mainName(), QStringLiteral("TST"));

  db.pendingOptions().bytes[5] = 7;
  db.pendingOptions().setShowVarMode(2);
  db.pendingTable().presentations[1].dyFirst = 42;
  db.applyPending();
  EXPECT_EQ(db.appliedOptions().bytes[5], 7);
  EXPECT_EQ(db.appliedOptions().showVarMode(), 2);
  EXPECT_EQ(db.appliedTable().presentations[1].dyFirst, 42);

  PresetSublinearTable preset;
  preset.entries.resize(3);
  preset.entries[2].fileName = QStringLiteral("x.wl");
  preset.entries[2].visible = false;
  preset.entries[2].fonts[1] = SlotFont{QStringLiteral("Serif"), -20, 0xFF, 2, 3};
  preset.entries[2].column = 4;
  preset.presentations[2].spcWdth = 11;
  TWl table;
  fillFromPreset(table, preset);
  EXPECT_EQ(table.slotCount, 3);
  EXPECT_EQ(table.slot(2).fonts[1]._FontName, QStringLiteral("Serif"));
  EXPECT_EQ(table.slot(2).fonts[1]._WL_dyL, 3);
  PresetSublinearTable back = preset;
  back.entries[2].fileName.clear();
  storeToPreset(table, back);
  EXPECT_EQ(back, preset);  // column and width kept

  EXPECT_THROW(table.slot(21), std::out_of_range);
  EXPECT_THROW(table.slot(-2), std::out_of_range);
  EXPECT_NO_THROW(table.slot(-1));
  EXPECT_THROW(db.list(20), std::out_of_range);
  EXPECT_THROW(db.selection(0), std::out_of_range);
}

TEST(IntLinLoad, ReloadHeadersRefreshesWithoutEntries) {
  const auto fx = test::buildIntLin(sampleSpec());
  TintLin db;
  fx->load(db);
  db.pendingTable().slot(1).desS = QStringLiteral("stale");
  db.pendingTable().slot(1).rtl = true;
  EXPECT_TRUE(db.reloadHeaders().isEmpty());
  EXPECT_EQ(db.pendingTable().slot(1).id, QStringLiteral("gloss"));
  EXPECT_TRUE(db.pendingTable().slot(1).desS.isEmpty());
  EXPECT_FALSE(db.pendingTable().slot(1).rtl);
  EXPECT_EQ(db.known().strong, 2);
  EXPECT_EQ(db.cellText(1, fx->words[0]), "word");  // entries untouched
}

// ---- Bad input ----

QByteArray gsXmlOf(const IntLinSpec& s) { return gsXml(test::gsFromText(s)); }

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

TEST(IntLinBadInput, GsFilesThatLie) {
  const auto fx = test::buildIntLin(sampleSpec());
  const QString gsPath = fx->folder + QStringLiteral("TST.gs");
  const QByteArray xml = gsXmlOf(sampleSpec());
  const QByteArray cells("\x01\x00\x02\x00", 4);
  struct Case {
    const char* name;
    QByteArray bytes;
    bool valid;
    int books;
    std::int32_t last;
  };
  const Case cases[] = {
      {"stream chunk claims a million cells",
       test::ChunkFileBuilder(gstag::kFile).chunk(gstag::kXml, 100, int32_t(xml.size()), 1, xml)
           .rawChunk(gstag::kStream, 100, 1000000, 2, cells).bytes(),
       true, 2, -1},
      {"negative count",
       test::ChunkFileBuilder(gstag::kFile).chunk(gstag::kXml, 100, int32_t(xml.size()), 1, xml)
           .rawChunk(gstag::kStream, 100, -2, 2, cells).bytes(),
       true, 2, -1},
      {"cells of three bytes",
       test::ChunkFileBuilder(gstag::kFile).chunk(gstag::kXml, 100, int32_t(xml.size()), 1, xml)
           .chunk(gstag::kStream, 100, 1, 3, QByteArray(3, 'x')).bytes(),
       true, 2, -1},
      {"more chunks announced than present",
       test::ChunkFileBuilder(gstag::kFile).chunk(gstag::kStream, 100, 2, 2, cells).announce(50).bytes(), true, 0,
       1},
      {"wrong file header", test::ChunkFileBuilder(-4000).chunk(gstag::kStream, 100, 2, 2, cells).bytes(), false, 0,
       -1},
      {"cut-off header", QByteArray("\x48\xf4\x64", 3), false, 0, -1},
      {"XML that is not XML",
       test::ChunkFileBuilder(gstag::kFile).chunk(gstag::kXml, 100, 5, 1, QByteArray("<B><x")).bytes(), true, 0,
       -1},
  };
  for (const Case& c : cases) {
    writeFile(gsPath, c.bytes);
    TintLin db;
    fx->prepare(db);
    const GsReadResult r = db.readGs();
    EXPECT_EQ(r.valid, c.valid) << c.name;
    EXPECT_EQ(db.calc().bookCount(), c.books) << c.name;
    EXPECT_EQ(db.lastPosition(), c.last) << c.name;
    if (std::string(c.name) != "more chunks announced than present") {
      EXPECT_FALSE(r.errors.isEmpty()) << c.name;
    }
    // Everything still answers without reading outside the stream.
    EXPECT_EQ(db.cellText(0, 1), "");
    db.countUsage(0);
    db.stepVerses(5, 3, true);
    db.refText(3);
    db.verseAt(100);
  }

  // Chapter records out of order: the books stay, positions are not trusted.
  TGsContent gs = test::gsFromText(sampleSpec());
  std::swap(gs.chapters[0], gs.chapters[1]);
  ASSERT_TRUE(writeGsFile(gsPath, gs));
  TintLin db;
  fx->prepare(db);
  const GsReadResult r = db.readGs();
  EXPECT_EQ(db.calc().bookCount(), 2);
  EXPECT_EQ(db.calc().chapterCount(), 0);
  EXPECT_FALSE(r.errors.isEmpty());
}

TEST(IntLinBadInput, StreamEndingInsideAVerseMarker) {
  IntLinSpec s = sampleSpec();
  s.text += " 2:";
  const auto fx = test::buildIntLin(s);
  QByteArray bytes = *buildGsFile(fx->gs);
  // Drop the flags cell of the last marker and the chapter table after it.
  TGsContent gs = fx->gs;
  gs.stream.pop_back();
  ASSERT_TRUE(writeGsFile(fx->folder + QStringLiteral("TST.gs"), gs));
  TintLin db;
  fx->prepare(db);
  const GsReadResult r = db.readGs();
  EXPECT_TRUE(r.errors.join(' ').contains(QStringLiteral("ends inside a verse marker")));
  db.loadAll();
  db.applyPending();
  const std::int32_t last = db.lastPosition();
  EXPECT_EQ(db.verseAt(last).verse, 2);
  EXPECT_EQ(db.verseAt(last).mark, ' ');
  EXPECT_EQ(db.stepVerses(fx->words[11], 1, false).position, last);
  EXPECT_EQ(db.stepVerses(last, 1, true).position, last);
  EXPECT_EQ(db.refText(last), "MRK 1:2.0");
  db.countUsage(1);
  EXPECT_EQ(db.usage()[std::size_t(fx->form("ho"))], 1u);
}

TEST(IntLinBadInput, SelectionShorterThanTheStream) {
  IntLinSpec s = sampleSpec();
  std::vector<std::int32_t> words;
  test::gsFromText(s, &words);
  s.sublinears[0].selectionLength = words[3];
  const auto fx = test::buildIntLin(s);
  TintLin db;
  const TLoadReport r = fx->load(db);
  EXPECT_EQ(r.shortSelections, QStringList{"gloss.wl"});
  EXPECT_EQ(db.selection(1).size(), std::size_t(db.lastPosition()) + 1);
  EXPECT_EQ(db.cellText(1, fx->words[0]), "word");
  EXPECT_EQ(db.cellText(1, fx->words[8]), "");  // beyond the file: no rendering
  db.appliedOptions().setFlag(LineOptions::ShowNonEntries, true);
  EXPECT_EQ(db.cellText(1, fx->words[8]), "word");
  db.countUsage(1);
  EXPECT_EQ(db.usage()[std::size_t(fx->form("logos"))], 3u);  // no selection counts as the first
}

TEST(IntLinBadInput, BrokenRingsEndTheWalk) {
  const auto logosRing = [](TWordList& l, std::int32_t& head, std::int32_t& e1, std::int32_t& e2) {
    head = 0;  // logos is the first word form
    e1 = l.entries[0].next;
    e2 = l.entries[std::size_t(e1)].next;
  };
  struct Case {
    const char* name;
    std::function<void(TWordList&)> patch;
    std::vector<std::string> allowed;  // what a long selection may give
  };
  const Case cases[] = {
      {"next outside the list",
       [&](TWordList& l) {
         std::int32_t h, e1, e2;
         logosRing(l, h, e1, e2);
         l.entries[std::size_t(h)].next = 100000;
       },
       {"word"}},
      {"negative next",
       [&](TWordList& l) {
         std::int32_t h, e1, e2;
         logosRing(l, h, e1, e2);
         l.entries[std::size_t(e1)].next = -7;
       },
       {"speech"}},
      {"ring that never returns to its head",
       [&](TWordList& l) {
         std::int32_t h, e1, e2;
         logosRing(l, h, e1, e2);
         l.entries[std::size_t(e2)].next = e1;
       },
       {"speech", "message"}},
  };
  for (const Case& c : cases) {
    IntLinSpec s = sampleSpec();
    s.sublinears[0].patch = c.patch;
    s.sublinears[0].selections = "250 . . . . . . . 254 200";
    const auto fx = test::buildIntLin(s);
    TintLin db;
    ASSERT_TRUE(fx->load(db).ok()) << c.name;
    ASSERT_EQ(db.entry(0, 0).text, "logos");
    for (std::int32_t p : {fx->words[0], fx->words[8], fx->words[9]}) {
      const std::string t = db.cellText(1, p);
      EXPECT_NE(std::find(c.allowed.begin(), c.allowed.end(), t), c.allowed.end()) << c.name << ": " << t;
    }
    db.countUsage(1);
    std::uint32_t total = 0;
    for (std::uint32_t n : db.usage()) total += n;
    EXPECT_GT(total, 0u) << c.name;
  }
}

}  // namespace
}  // namespace kov
