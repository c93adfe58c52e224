#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "core/RegistryStore.h"
#include "db/EditLog.h"
#include "db/TSubList.h"
#include "db/cIntLin.h"
#include "support/IntLinFixtures.h"

namespace kov {
namespace {

// logos appears four times; its ring holds two renderings.
test::IntLinSpec sampleText() {
  test::IntLinSpec s;
  s.text = "#MAT 1: logos kai logos 2: logos theos logos";
  // Words:      logos kai logos logos theos logos
  s.sublinears = {test::sublinear(QStringLiteral("gloss.wl"),
                                  {{"logos", {"word", "speech"}}, {"kai", {"and"}}, {"theos", {""}}},
                                  "0 0 1 - . 1")};
  return s;
}

struct Loaded {
  std::unique_ptr<test::IntLinFixture> fx;
  TintLin db;
  TEdits edits{db};
  explicit Loaded(const test::IntLinSpec& s = sampleText()) : fx(test::buildIntLin(s)) { EXPECT_TRUE(fx->load(db).ok()); }
  std::int32_t form(const char* w) const { return fx->form(w); }
  std::int32_t word(int i) const { return fx->words[std::size_t(i)]; }
  std::vector<std::string> ring(std::int32_t head) {
    std::vector<std::string> out;
    for (const Twcs& i : edits.buildSubList(1, head, 255).items) out.push_back(i.text);
    return out;
  }
  QByteArray file(const QString& name) const {
    QFile f(fx->folder + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  QByteArray log() {
    QFile f(edits.logPath(1));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
};

TEST(Edits, AddingAThirdRenderingAppendsItToTheRing) {
  Loaded l;
  const std::int32_t head = l.form("logos");
  TWordList& wl = l.db.list(1);
  const std::int32_t end = wl.count;
  const std::int32_t second = wl.entries[std::size_t(head)].next;
  TSubList s = l.edits.buildSubList(1, head, 0);
  ASSERT_EQ(s.count(), 2);
  s.items.push_back({"message", 0, 0});
  s.links.push_back({});
  const int before = l.db.appliedTable().slot(1).editCnt;
  ASSERT_TRUE(l.edits.storeSubList(s));
  EXPECT_EQ(wl.count, end + 1);
  EXPECT_EQ(wl.entries[std::size_t(second)].next, end);
  EXPECT_EQ(wl.entries[std::size_t(second)].flags, 32);
  EXPECT_EQ(wl.entries[std::size_t(end)].text, "message");
  EXPECT_EQ(wl.entries[std::size_t(end)].next, head);
  EXPECT_EQ(wl.entries[std::size_t(end)].flags, 0);
  EXPECT_EQ(l.db.appliedTable().slot(1).editCnt, before + 1);

  // Storing it again unchanged keeps texts and links and flags every entry but the last.
  TSubList again = l.edits.buildSubList(1, head, 0);
  ASSERT_TRUE(l.edits.storeSubList(again));
  EXPECT_EQ(l.ring(head), (std::vector<std::string>{"word", "speech", "message"}));
  EXPECT_EQ(wl.count, end + 1);
  EXPECT_EQ(wl.entries[std::size_t(head)].flags, 32);
  EXPECT_EQ(wl.entries[std::size_t(end)].flags, 0);
}

TEST(Edits, SortingByCountThenTextRenumbersSelections) {
  Loaded l;
  const std::int32_t head = l.form("logos");
  TSubList s = l.edits.buildSubList(1, head, 2);
  s.items = {{"b", 3, 0}, {"c", 5, 0}, {"a", 5, 0}};
  s.links.resize(3);
  l.edits.sortSubList(s);
  EXPECT_EQ(s.items[0].text, "a");
  EXPECT_EQ(s.items[1].text, "c");
  EXPECT_EQ(s.items[2].text, "b");
  EXPECT_EQ(s.selected, 0);  // the selected item moved with its text
  EXPECT_EQ(s.newPlaces, (std::vector<std::uint8_t>{2, 1, 0}));
  TSelection& sel = l.db.selection(1);
  sel[std::size_t(l.word(0))] = 2;
  l.edits.renumberSelections(s);
  EXPECT_EQ(sel[std::size_t(l.word(0))], 0);
  EXPECT_EQ(sel[std::size_t(l.word(2))], 1);  // 1 stays 1
  EXPECT_EQ(sel[std::size_t(l.word(3))], 255);
}

TEST(Edits, CountingFollowsTheSelections) {
  Loaded l;
  TSubList s = l.edits.buildSubList(1, l.form("logos"), 0);
  l.edits.countSubList(s, false);
  EXPECT_EQ(s.items[0].count, 1);
  EXPECT_EQ(s.items[1].count, 2);
  l.edits.countSubList(s, true);  // the position with no selection counts as the first
  EXPECT_EQ(s.items[0].count, 2);
}

TEST(Edits, SetCellTextChoosesOrAddsAndLogs) {
  Loaded l;
  const TFocusedCell at{1, l.word(0)};
  // An existing rendering: only the selection changes.
  const std::int32_t count = l.db.list(1).count;
  const QByteArray listFile = l.file(QStringLiteral("gloss.wl"));
  ASSERT_TRUE(l.edits.setCellText("speech", at)) << l.edits.error().toStdString();
  EXPECT_EQ(l.db.selection(1)[std::size_t(at.position)], 1);
  EXPECT_EQ(l.db.list(1).count, count);
  EXPECT_EQ(l.file(QStringLiteral("gloss.wl")), listFile);
  // A new rendering is added to the ring and chosen; a form without renderings takes it as its first.
  ASSERT_TRUE(l.edits.setCellText("utterance", at));
  EXPECT_EQ(l.db.selection(1)[std::size_t(at.position)], 2);
  ASSERT_TRUE(l.edits.setCellText("God", TFocusedCell{1, l.word(4)}));
  EXPECT_EQ(l.ring(l.form("theos")), (std::vector<std::string>{"God"}));
  EXPECT_EQ(l.db.selection(1)[std::size_t(l.word(4))], 0);

  const QList<QByteArray> lines = l.log().split('\n');
  ASSERT_GE(lines.size(), 3);
  EXPECT_TRUE(lines[0].endsWith("\tMAT 1:1.1\tSC\tword\tspeech\r"));
  EXPECT_TRUE(lines[1].endsWith("\tAC\tspeech\tutterance\r"));
  EXPECT_TRUE(lines[2].contains("\tAC\t\tGod\r"));

  // Everything is on disk: a fresh load sees the same rings and selections.
  TintLin again;
  ASSERT_TRUE(l.fx->load(again).ok());
  EXPECT_EQ(again.cellText(1, at.position), "utterance");
  EXPECT_EQ(again.cellText(1, l.word(4)), "God");
}

TEST(Edits, DeferSaveLeavesFilesUntilTheCallerSaves) {
  Loaded l;
  l.db.deferSave = true;
  l.edits.batch = true;
  const TFocusedCell at{1, l.word(1)};
  ASSERT_TRUE(l.edits.setCellText("also", at));
  {
    TintLin fresh;
    ASSERT_TRUE(l.fx->load(fresh).ok());
    EXPECT_EQ(fresh.cellText(1, at.position), "and");
  }
  EXPECT_TRUE(l.log().contains("\tAI\tand\talso"));
  ASSERT_TRUE(l.edits.saveList(1));
  ASSERT_TRUE(l.edits.saveSelection(1));
  TintLin fresh;
  ASSERT_TRUE(l.fx->load(fresh).ok());
  EXPECT_EQ(fresh.cellText(1, at.position), "also");
}

TEST(Edits, ApplyMarkAndLimits) {
  Loaded l;
  const std::int32_t head = l.form("logos");
  TSubList s = l.edits.buildSubList(1, head, 0);
  const TFocusedCell at{1, l.word(3)};
  EXPECT_EQ(l.edits.applySubList({"word", "speech", "saying", ""}, false, s, 2, at), 2);
  EXPECT_EQ(l.ring(head), (std::vector<std::string>{"word", "speech", "saying"}));
  EXPECT_EQ(l.db.cellText(1, at.position), "saying");

  l.edits.markRange(1, l.word(0), l.word(2), true);
  EXPECT_EQ(l.db.selection(1)[std::size_t(l.word(1))], 255);
  l.edits.markRange(1, l.word(0), l.word(0), false);
  EXPECT_EQ(l.db.selection(1)[std::size_t(l.word(0))], 0);

  TSubList tooLong = l.edits.buildSubList(1, head, 0);
  tooLong.items[0].text = std::string(256, 'x');
  EXPECT_FALSE(l.edits.storeSubList(tooLong));
  TSubList tooMany = l.edits.buildSubList(1, head, 0);
  tooMany.items.resize(255, Twcs{"x", 0, 0});
  EXPECT_FALSE(l.edits.storeSubList(tooMany));
  EXPECT_EQ(l.ring(head), (std::vector<std::string>{"word", "speech", "saying"}));  // untouched
  EXPECT_FALSE(l.edits.setEntryText(1, 1 << 20, "x"));
}

// A sort followed by the dialog's commit writes the ring back in the new order into the
// entries it already had, and every selection follows its rendering.
TEST(Edits, SortedCommitReusesTheRingsEntries) {
  Loaded l;
  const std::int32_t head = l.form("logos");
  const std::int32_t second = l.db.list(1).entries[std::size_t(head)].next;
  const std::int32_t entries = l.db.list(1).count;
  TSubList s = l.edits.buildSubList(1, head, 0);  // focused: word 0, which selects "word"
  l.edits.countSubList(s, false);                 // word 1, speech 2
  l.edits.sortSubList(s);
  ASSERT_EQ(s.items[0].text, "speech");
  ASSERT_EQ(s.selected, 1);
  EXPECT_EQ(l.edits.applySubList({"speech", "word"}, true, s, -1, TFocusedCell{1, l.word(0)}), 1);
  EXPECT_EQ(l.ring(head), (std::vector<std::string>{"speech", "word"}));
  EXPECT_EQ(l.db.list(1).count, entries);
  EXPECT_EQ(l.db.list(1).entries[std::size_t(head)].next, second);
  TintLin again;
  ASSERT_TRUE(l.fx->load(again).ok());
  // Before: word, speech, (none), speech; the texts shown are unchanged.
  EXPECT_EQ(again.cellText(1, l.word(0)), "word");
  EXPECT_EQ(again.cellText(1, l.word(2)), "speech");
  EXPECT_EQ(again.cellText(1, l.word(5)), "speech");
  EXPECT_EQ(again.selection(1)[std::size_t(l.word(2))], 0);
  EXPECT_EQ(again.selection(1)[std::size_t(l.word(3))], 255);
  EXPECT_EQ(again.list(1).count, entries);
}

// Rings the format cannot hold as one sublist are never written back: doing so would
// cut the renderings past the 254th (or past a loop) off the word form.
TEST(Edits, RingsBeyondTheLimitAreRefusedUntouched) {
  std::vector<std::string> many;
  for (int i = 0; i < 300; ++i) many.push_back("r" + std::to_string(i));
  test::IntLinSpec sp = sampleText();
  sp.sublinears[0].rings["kai"] = many;
  Loaded l(sp);
  const std::int32_t kai = l.form("kai");
  const QByteArray listBefore = l.file(QStringLiteral("gloss.wl"));
  const QByteArray selBefore = l.file(QStringLiteral("gloss.wlx"));

  TSubList s = l.edits.buildSubList(1, kai, 0);
  EXPECT_EQ(s.count(), TSubList::kMaxItems);
  EXPECT_FALSE(s.complete);
  EXPECT_FALSE(l.edits.storeSubList(s));
  EXPECT_FALSE(l.edits.setCellText("new one", TFocusedCell{1, l.word(1)}));
  EXPECT_EQ(l.edits.applySubList(std::vector<std::string>(255, "x"), false, s, 0, TFocusedCell{1, l.word(1)}), -1);
  EXPECT_FALSE(l.edits.error().isEmpty());
  // Choosing a rendering it already has still works: only the selection changes.
  l.db.deferSave = true;
  EXPECT_TRUE(l.edits.setCellText("r7", TFocusedCell{1, l.word(1)}));
  EXPECT_EQ(l.db.selection(1)[std::size_t(l.word(1))], 7);
  EXPECT_EQ(l.file(QStringLiteral("gloss.wl")), listBefore);
  EXPECT_EQ(l.file(QStringLiteral("gloss.wlx")), selBefore);
  EXPECT_EQ(l.edits.buildSubList(1, kai, 0).items[253].text, "r253");
}

TEST(Edits, DamagedRingsAreNotWrittenBack) {
  test::IntLinSpec sp = sampleText();
  // kai's one entry leads out of the list instead of back to itself.
  sp.sublinears[0].patch = [](TWordList& wl) {
    for (Twlistrec& e : wl.entries)
      if (e.text == "and") e.next = 1 << 20;
  };
  Loaded l(sp);
  TSubList s = l.edits.buildSubList(1, l.form("kai"), 0);
  EXPECT_EQ(s.count(), 1);
  EXPECT_FALSE(s.complete);
  EXPECT_FALSE(l.edits.storeSubList(s));
}

TEST(Edits, SetEntryTextReplacesOneEntryWithoutLogging) {
  Loaded l;
  const std::int32_t kai = l.form("kai");
  ASSERT_TRUE(l.edits.setEntryText(1, kai, "and also"));
  EXPECT_EQ(l.ring(kai), (std::vector<std::string>{"and also"}));
  EXPECT_FALSE(l.edits.setEntryText(1, kai, std::string(256, 'x')));
  EXPECT_EQ(l.ring(kai), (std::vector<std::string>{"and also"}));
  EXPECT_TRUE(l.log().isEmpty());
}

TEST(Edits, MarkRangeAndEntryTextReachDiskUnlessDeferred) {
  Loaded l;
  ASSERT_TRUE(l.edits.markRange(1, l.word(0), l.word(2), true));
  ASSERT_TRUE(l.edits.setEntryText(1, l.form("kai"), "and so"));
  l.db.deferSave = true;
  ASSERT_TRUE(l.edits.markRange(1, l.word(5), l.word(5), true));
  EXPECT_FALSE(l.edits.markRange(0, 1, 2, true));
  TintLin again;
  ASSERT_TRUE(l.fx->load(again).ok());
  EXPECT_EQ(again.selection(1)[std::size_t(l.word(0))], 255);
  EXPECT_EQ(again.selection(1)[std::size_t(l.word(2))], 255);
  EXPECT_EQ(again.selection(1)[std::size_t(l.word(5))], 1);  // deferred: not yet written
  EXPECT_EQ(again.list(1).entries[std::size_t(l.form("kai"))].text, "and so");
}

TEST(Edits, FailedCommitLeavesTheWorkingListAndTheRing) {
  Loaded l;
  const std::int32_t head = l.form("logos");
  TSubList s = l.edits.buildSubList(1, head, 0);
  EXPECT_EQ(l.edits.applySubList({"w", std::string(256, 'y')}, false, s, 0, TFocusedCell{1, l.word(0)}), -1);
  EXPECT_EQ(s.count(), 2);
  EXPECT_EQ(s.items[1].text, "speech");
  EXPECT_EQ(l.ring(head), (std::vector<std::string>{"word", "speech"}));
  // The focus on a word of another form keeps its selection.
  l.db.selection(1)[std::size_t(l.word(1))] = 0;
  EXPECT_EQ(l.edits.applySubList({"word", "speech"}, false, s, 1, TFocusedCell{1, l.word(1)}), 1);
  EXPECT_EQ(l.db.selection(1)[std::size_t(l.word(1))], 0);
}

TEST(EditLog, LinesAreAppendedWithCrLf) {
  Loaded l;
  ASSERT_TRUE(l.edits.writeLog(1, 17, "SC\told\tnew", ""));
  ASSERT_TRUE(l.edits.writeLog(1, 18, "AC\tbroken\r\nline\tnew", "MAT 1:1.2"));
  EXPECT_TRUE(l.edits.logPath(1).endsWith(QStringLiteral("/gloss.log")));
  const QByteArray log = l.log();
  const QRegularExpression line(QStringLiteral(
      "^\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d\t000017\t\tSC\told\tnew\r\n"
      "\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d\t000018\tMAT 1:1.2\tAC\tbroken  line\tnew\r\n$"));
  EXPECT_TRUE(line.match(QString::fromLatin1(log)).hasMatch()) << log.toStdString();
  // Renderings are 8-bit text: bytes above 127 reach the file as they are.
  ASSERT_TRUE(l.edits.writeLog(1, 1, std::string("SC\t\xE9\t\xFF"), ""));
  EXPECT_TRUE(l.log().endsWith("\tSC\t\xE9\t\xFF\r\n"));
}

TEST(EditLog, AnExistingLogIsFoundWhateverItsCase) {
  Loaded l;
  {
    QFile f(l.fx->folder + QStringLiteral("GLOSS.LOG"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old line\r\n");
  }
  ASSERT_TRUE(l.edits.writeLog(1, 5, "SC\ta\tb", ""));
  const QByteArray all = l.file(QStringLiteral("GLOSS.LOG"));
  EXPECT_TRUE(all.startsWith("old line\r\n"));
  EXPECT_TRUE(all.endsWith("\tSC\ta\tb\r\n"));
}

TEST(EditLog, AnUnwritableLogIsAnErrorAndTheEditIsStillSaved) {
  Loaded l;
  // A folder where the log file should be: it cannot be opened for appending.
  ASSERT_TRUE(QDir(l.fx->folder).mkdir(QStringLiteral("gloss.log")));
  EXPECT_FALSE(l.edits.writeLog(1, 1, "SC\ta\tb", ""));
  EXPECT_TRUE(l.edits.error().contains(QStringLiteral("gloss.log")));
  EXPECT_FALSE(l.edits.setCellText("speech", TFocusedCell{1, l.word(0)}));
  TintLin again;
  ASSERT_TRUE(l.fx->load(again).ok());
  EXPECT_EQ(again.cellText(1, l.word(0)), "speech");
}

TEST(EditLog, StatisticsRoundTripUnderAMainNameWithADot) {
  test::IntLinSpec sp = sampleText();
  sp.main = QStringLiteral("T.1");
  Loaded l(sp);
  QTemporaryDir reg;
  RegistryStore store(reg.path());
  Tsubl& slot = l.db.appliedTable().slot(1);
  slot.editCnt = 3;
  slot.lastUB = 45001.25;
  ASSERT_TRUE(l.edits.saveEditInfo(store)) << l.edits.error().toStdString();
  EXPECT_TRUE(store.keyExists(QStringLiteral("EditInfo/WL/T.1")));
  TintLin again;
  TEdits edits(again);
  l.fx->prepare(again);
  edits.loadEditInfo(store);
  EXPECT_EQ(again.pendingTable().slot(1).editCnt, 3);
  EXPECT_DOUBLE_EQ(again.pendingTable().slot(1).lastUB, 45001.25);
  EXPECT_DOUBLE_EQ(again.pendingTable().slot(1).lastLB, 0);
}

TEST(EditLog, LineFormatAndStatistics) {
  const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));
  EXPECT_EQ(editLogLine(when, 17, "MAT 1:1.2", "SC\ta\tb"), "04-03-2026 05:06:07\t000017\tMAT 1:1.2\tSC\ta\tb");
  EXPECT_EQ(editLogLine(when, 1234567, "", "x").substr(20, 8), "1234567\t");
  EXPECT_EQ(editLogLine(when, 1, "", "SC\ta\r\nb\tc").substr(27), "\tSC\ta  b\tc");

  Loaded l;
  QTemporaryDir reg;
  RegistryStore store(reg.path());
  l.db.appliedTable().slot(1).editCnt = 7;
  l.db.appliedTable().slot(1).lastLB = 45000.5;
  ASSERT_TRUE(l.edits.saveEditInfo(store)) << l.edits.error().toStdString();
  TintLin again;
  l.fx->prepare(again);
  again.readGs();
  again.loadAll(&store);
  EXPECT_EQ(again.pendingTable().slot(1).editCnt, 7);
  EXPECT_DOUBLE_EQ(again.pendingTable().slot(1).lastLB, 45000.5);
}

}  // namespace
}  // namespace kov
