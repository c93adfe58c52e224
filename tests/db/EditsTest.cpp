#include <gtest/gtest.h>

#include <QFile>
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
  std::unique_ptr<test::IntLinFixture> fx = test::buildIntLin(sampleText());
  TintLin db;
  TEdits edits{db};
  Loaded() { EXPECT_TRUE(fx->load(db).ok()); }
  std::int32_t form(const char* w) const { return fx->form(w); }
  std::int32_t word(int i) const { return fx->words[std::size_t(i)]; }
  std::vector<std::string> ring(std::int32_t head) {
    std::vector<std::string> out;
    for (const Twcs& i : edits.buildSubList(1, head, 255).items) out.push_back(i.text);
    return out;
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
  ASSERT_TRUE(l.edits.setCellText("speech", at)) << l.edits.error().toStdString();
  EXPECT_EQ(l.db.selection(1)[std::size_t(at.position)], 1);
  EXPECT_EQ(l.db.list(1).count, count);
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
