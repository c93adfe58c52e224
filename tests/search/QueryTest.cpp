#include "db/cIntLin.h"
#include "search/CSearchQuery.h"
#include "search/CSearchStr.h"
#include "search/SearchErrors.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace kov {
namespace {

TEST(QueryNormalize, CellsAndLines) {
  const std::pair<std::string, std::string> cells[] = {
      {"  lov**e,,the   lord ", "lov*e the lord"},
      {"a,b", "a b"},
      {"***", "*"},
      {"   ", ""},
      {"a <i>b</i>", "a <i>b</i>"},
  };
  for (const auto& [in, out] : cells) {
    EXPECT_EQ(normalizeQueryText(in, false), out) << in;
    EXPECT_EQ(normalizeQueryText(QString::fromLatin1(in)), QString::fromLatin1(out)) << in;
  }
  EXPECT_EQ(normalizeQueryText("a <i>b</i> c", true), "a b c");
  EXPECT_EQ(normalizeQueryText("a <b c", true), "a");  // an unclosed tag drops the rest

  EXPECT_NO_THROW(normalizeQueryText(std::string(255, 'a'), false));
  EXPECT_THROW(normalizeQueryText(std::string(256, 'a'), false), SearchRangeError);
  EXPECT_THROW(normalizeQueryText(QString(256, u'a')), SearchRangeError);
}

TEST(QuerySplitLine, ColumnsAndGroups) {
  using Cols = std::vector<std::string>;
  EXPECT_EQ(splitQueryLine("in (the beginning) God"), (Cols{"in", "the beginning", "God"}));
  EXPECT_EQ(splitQueryLine("( the beginning )"), (Cols{"the beginning"}));
  EXPECT_EQ(splitQueryLine("(the beginning"), (Cols{"the beginning"}));
  EXPECT_EQ(splitQueryLine("a () b"), (Cols{"a", "b"}));
  EXPECT_EQ(splitQueryLine("lov* (l#rd God)"), (Cols{"lov*", "l#rd God"}));
  EXPECT_TRUE(splitQueryLine("").empty());
  EXPECT_EQ(splitQueryLine("a b c d e f g h i j").size(), 10u);
  EXPECT_THROW(splitQueryLine("a b c d e f g h i j k"), SearchRangeError);
}

TEST(QuerySkipPunct, PunctuationInTheLineSwitchesItOff) {
  EXPECT_EQ(skipPunctFor(QStringLiteral("the lord")), 1);
  EXPECT_EQ(skipPunctFor(QStringLiteral("in (the beginning)")), 0);
  for (const char16_t c : std::u16string(u"!\"'(),-.:;<>?[]`\u00B4")) {
    EXPECT_EQ(skipPunctFor(QStringLiteral("lord") + QChar(c)), 0) << char(c);
  }
  EXPECT_EQ(skipPunctFor(QStringLiteral("lo*d l#rd")), 1);
}

TEST(QueryTranslation, FillsTheRecord) {
  tSrchQuery q;
  q.CaseSens = 1;
  q.LogicMode = kLogicPhrase;
  buildTranslationQuery(q, QStringLiteral("  in (the beginning),God"), 4);
  EXPECT_EQ(q.Interlinear, 0);
  EXPECT_EQ(q.TrnSlot, 4);
  EXPECT_EQ(q.KeySource, 4);
  EXPECT_EQ(q.AllRenderings, 1);
  EXPECT_EQ(q.SkipPunct, 0);
  EXPECT_EQ(q.CaseSens, 1);  // options stay as the dialog set them
  EXPECT_EQ(q.LogicMode, kLogicPhrase);
  EXPECT_EQ(q.QueryLine, QStringLiteral("  in (the beginning),God"));
  ASSERT_EQ(q.ColumnCount, 3);
  EXPECT_EQ(q.Cells[0][0].Text, "in");
  EXPECT_EQ(q.Cells[1][0].Text, "the beginning");
  EXPECT_EQ(q.Cells[2][0].Text, "God");
  EXPECT_EQ(q.RowsUsed[0], 1);
  EXPECT_EQ(q.RowsUsed[1], 0);

  buildTranslationQuery(q, QStringLiteral("a,b"), 1);
  ASSERT_EQ(q.ColumnCount, 2);
  EXPECT_EQ(q.Cells[0][0].Text, "a");
  EXPECT_EQ(q.Cells[1][0].Text, "b");
  EXPECT_TRUE(q.Cells[2][0].Text.empty());  // the earlier query's cells are gone
  EXPECT_EQ(q.SkipPunct, 0);                // judged on the line as typed

  buildTranslationQuery(q, QStringLiteral("<i>holy</i> one"), 1);
  ASSERT_EQ(q.ColumnCount, 2);
  EXPECT_EQ(q.Cells[0][0].Text, "holy");
  EXPECT_EQ(q.Cells[0][0].HasTags, 0);
}

TEST(QueryTranslation, LimitsAreRangeErrors) {
  tSrchQuery q;
  EXPECT_THROW(buildTranslationQuery(q, QStringLiteral("a b c d e f g h i j k"), 1),
               SearchRangeError);
  EXPECT_THROW(buildTranslationQuery(q, QString(256, u'a'), 1), SearchRangeError);
  EXPECT_NO_THROW(buildTranslationQuery(q, QString(255, u'a'), 1));
}

// A small character table: bytes 'a', 'b' and ',' are shown as alpha, beta and the Greek
// ano teleia.
TCharMap greekMap() {
  TCharMap map{};
  map[static_cast<unsigned char>('a')].target = 0x03B1;
  map[static_cast<unsigned char>('b')].target = 0x03B2;
  map[static_cast<unsigned char>(',')].target = 0x0387;
  return map;
}

TEST(QueryCells, CharacterTableAndReversal) {
  const TCharMap map = greekMap();
  const QueryLineSetup plain;
  const QueryLineSetup greek{&map, false};
  const QueryLineSetup rtl{nullptr, true};

  EXPECT_EQ(queryTextTo8Bit(QString::fromUtf16(u"\u03B1\u03B2x*"), &map), "abx*");
  // A typed character the table cannot hold matches nothing rather than something else.
  EXPECT_EQ(queryTextTo8Bit(QString::fromUtf16(u"\u05D0"), &map), "\x7F");
  EXPECT_EQ(queryTextTo8Bit(QString::fromUtf16(u"\u03B1"), nullptr), "\x7F");
  EXPECT_EQ(queryTextTo8Bit(QString::fromLatin1("\xE9"), nullptr), "\xE9");

  // A table character that lands on a comma byte stays a letter: normalising comes first.
  EXPECT_EQ(prepareInterlinearCell(QString::fromUtf16(u"\u03B1\u0387\u03B2, a"), greek, false),
            "a,b a");

  EXPECT_EQ(prepareInterlinearCell(QStringLiteral(" lov*,, x"), rtl, true), "x *vol");
  EXPECT_EQ(prepareInterlinearCell(QStringLiteral("lov*"), rtl, false), "lov*");
  EXPECT_EQ(prepareInterlinearCell(QStringLiteral("lov*"), plain, true), "lov*");
  EXPECT_EQ(prepareInterlinearCell(QStringLiteral("430 a"), rtl, true), "430 a");
  EXPECT_THROW(prepareInterlinearCell(QString(256, u'a'), plain, false), SearchRangeError);
}

TEST(QueryCells, SetupFromTheAppliedTable) {
  TWl table;
  table.slotCount = 3;
  table.slot(1).rtl = true;
  table.slot(2).hasCharMap = true;
  table.slot(2).charMap = greekMap();
  const std::vector<QueryLineSetup> rows = querySetupOf(table);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].charMap, nullptr);
  EXPECT_TRUE(rows[1].rightToLeft);
  EXPECT_EQ(rows[2].charMap, &table.slot(2).charMap);
  EXPECT_FALSE(rows[2].rightToLeft);
}

TEST(QueryInterlinear, FillsCellsKeyRowsAndRowMarks) {
  const TCharMap map = greekMap();
  const std::vector<QueryLineSetup> rows = {{}, {nullptr, true}, {&map, false}};
  // typed[column][row]
  const std::vector<std::vector<QString>> typed = {
      {QString(), QStringLiteral("ab*"), QString()},
      {QStringLiteral("<i>x"), QString(), QString::fromUtf16(u"\u03B1\u03B2")},
      {QString(), QStringLiteral("  "), QString()},  // empty: ends the query
      {QStringLiteral("never read")},
  };
  tSrchQuery q;
  q.AllRenderings = 1;
  buildInterlinearQuery(q, typed, rows, true);
  EXPECT_EQ(q.Interlinear, 1);
  EXPECT_EQ(q.TrnSlot, 0);
  EXPECT_EQ(q.AllRenderings, 1);
  ASSERT_EQ(q.ColumnCount, 2);
  EXPECT_EQ(q.KeyRows[0], 1);
  EXPECT_EQ(q.KeyRows[1], 0);
  EXPECT_EQ(q.Cells[0][1].Text, "*ba");  // right-to-left row, typed in visual order
  EXPECT_EQ(q.Cells[1][0].Text, "<i>x");
  EXPECT_EQ(q.Cells[1][0].HasTags, 1);
  EXPECT_EQ(q.Cells[0][1].HasTags, 0);
  EXPECT_EQ(q.Cells[1][2].Text, "ab");
  EXPECT_EQ(q.RowsUsed[0], 1);
  EXPECT_EQ(q.RowsUsed[1], 1);
  EXPECT_EQ(q.RowsUsed[2], 1);
  EXPECT_EQ(q.RowsUsed[3], 0);
  EXPECT_TRUE(q.Cells[2][0].Text.empty());
}

TEST(QueryInterlinear, LimitsAreRangeErrors) {
  tSrchQuery q;
  std::vector<std::vector<QString>> columns(11, std::vector<QString>{QStringLiteral("w")});
  EXPECT_THROW(buildInterlinearQuery(q, columns, {}, false), SearchRangeError);
  columns.pop_back();
  EXPECT_NO_THROW(buildInterlinearQuery(q, columns, {}, false));
  EXPECT_EQ(q.ColumnCount, 10);

  const std::vector<std::vector<QString>> tallColumn = {std::vector<QString>(21, QStringLiteral("w"))};
  EXPECT_THROW(buildInterlinearQuery(q, tallColumn, {}, false), SearchRangeError);
  const std::vector<std::vector<QString>> longCell = {{QString(256, u'w')}};
  EXPECT_THROW(buildInterlinearQuery(q, longCell, {}, false), SearchRangeError);
}

// The whole road of a cell: typed text, query record, compiled row, match against an entry.
TEST(QueryInterlinear, CompiledCellsMatchStoredEntries) {
  const TCharMap map = greekMap();
  const std::vector<QueryLineSetup> rows = {{&map, false}, {nullptr, true}};
  const std::vector<std::vector<QString>> typed = {
      {QString::fromUtf16(u"\u03B1*"), QStringLiteral("dro*")}};
  tSrchQuery q;
  buildInterlinearQuery(q, typed, rows, true);
  TSearchStr m;
  m.CaseSens = q.CaseSens != 0;
  for (int r = 0; r < 2; ++r) m.Compile(r, q.Cells[0][static_cast<std::size_t>(r)].Text);
  const std::pair<int, std::string> entries[] = {{0, "abba"}, {1, "hord"}};
  for (const auto& [row, text] : entries) {
    m.Row = row;
    m.Subject = text;
    EXPECT_TRUE(m.MatchText(false)) << row << " " << text;
  }
  m.Row = 1;
  m.Subject = "drox";  // as typed: the stored word runs the other way
  EXPECT_FALSE(m.MatchText(false));
}

TEST(QueryRecord, DefaultsAndClear) {
  tSrchQuery q;
  EXPECT_EQ(q.Interlinear, 1);
  EXPECT_EQ(q.SkipPunct, 1);
  EXPECT_EQ(q.SRMode, kSRNormal);
  q.Cells[3][7].Text = "x";
  q.Cells[3][7].Flag = 1;
  q.KeyRows[3] = 7;
  q.RowsUsed[7] = 1;
  q.ColumnCount = 4;
  q.CaseSens = 1;
  q.clearCells();
  EXPECT_TRUE(q.Cells[3][7].Text.empty());
  EXPECT_EQ(q.Cells[3][7].Flag, 0);
  EXPECT_EQ(q.KeyRows[3], 0);
  EXPECT_EQ(q.RowsUsed[7], 0);
  EXPECT_EQ(q.ColumnCount, 0);
  EXPECT_EQ(q.CaseSens, 1);
}

}  // namespace
}  // namespace kov
