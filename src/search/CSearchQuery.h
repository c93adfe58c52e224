#pragma once
#include "db/VerseRef.h"
#include "db/cWordList.h"

#include <QString>

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kov {

struct TWl;

// Fixed sizes of a query. Exceeding one while building a query throws SearchRangeError.
constexpr int kMaxQueryColumns = 10;
constexpr int kMaxQueryRows = 20;      // one per sublinear slot, in slot order
constexpr int kMaxQueryTextLen = 255;  // characters of a cell or of a query line

// How a verse search combines with the hit map of the previous one.
enum SearchCombine : int32_t {
  kSRNormal = 0,      // replaces the map (-1 means the same)
  kSRDifference = 1,  // toggles every position found
  kSRSubtract = 2,    // clears every position found
};

// How several query columns combine inside a verse.
enum SearchLogic : uint8_t {
  kLogicNoOrder = 0,
  kLogicInOrder = 1,
  kLogicPhrase = 2,
};

// What started a verse search.
constexpr int32_t kOriginSearchDialog = 3;
constexpr int32_t kOriginMatchDialog = 4;

// One query cell: its pattern after normalisation and conversion to the sublinear's 8-bit
// letter code, ready for TSearchStr::Compile.
struct Tsrchword {
  std::string Text;
  uint8_t HasTags = 0;  // the cell holds '<' or '>': its words see markup literally
  uint8_t Flag = 0;     // scratch byte of the engine
};

// A query as the dialogs fill it and the engine runs it. Plain data; the builders below fill
// the cells, the engine derives KeySource, RangeFromPos/RangeToPos and UsedColumns.
struct tSrchQuery {
  uint8_t Interlinear = 1;    // 1 over the interlinear text, 0 over a translation
  uint8_t TrnSlot = 0;        // translation slot 1..10; 0 for an interlinear query
  uint8_t KeySource = 0;      // translation: TrnSlot; interlinear: the key row (set by the engine)
  uint8_t CaseSens = 0;       // match ASCII letters with their case
  uint8_t SkipPunct = 1;      // the verse stage steps over the translation's punctuation words
  uint8_t LogicMode = kLogicNoOrder;
  int32_t UsedColumns = 0;    // columns with a selection (run lists); set when selecting
  uint8_t AllRenderings = 0;  // a key word counts whatever its other rows show
  int32_t SRMode = kSRNormal;
  int32_t Origin = 2;         // 2 until a search button sets kOriginSearchDialog/MatchDialog
  VerseRef RangeFrom;
  VerseRef RangeTo;
  int32_t RangeFromPos = 0;
  int32_t RangeToPos = 0;
  QString QueryLine;  // the translation query line as entered
  std::array<std::array<Tsrchword, kMaxQueryRows>, kMaxQueryColumns> Cells{};  // [column][row]
  std::array<uint8_t, kMaxQueryColumns> KeyRows{};  // per column the first row with a pattern
  uint8_t ColumnCount = 0;
  std::array<uint8_t, kMaxQueryRows> RowsUsed{};  // 1 when some column has a pattern in the row

  // Empties the cells, key rows, row marks and column count; options and range stay.
  void clearCells();
};

// What the query builder needs to know of one sublinear row. Fill it from the applied
// sublinear table (lineSetupOf) so the builder reads no database state itself.
struct QueryLineSetup {
  const TCharMap* charMap = nullptr;  // the row's character table, nullptr when it has none
  bool rightToLeft = false;
};
QueryLineSetup lineSetupOf(const Tsubl& slot);
// One setup per query row (slots 0..19 of the applied table, up to its slot count). The
// result points into `applied`, which must outlive it.
std::vector<QueryLineSetup> querySetupOf(const TWl& applied);

// Normalises a cell or a query line: leading blanks dropped, commas read as blanks, runs of
// blanks and of '*' collapsed, a trailing blank dropped; tags removed when removeTags is set
// (the translation query line). Throws SearchRangeError for a text above 255 characters.
std::string normalizeQueryText(const std::string& text, bool removeTags);
// The same for a typed cell, before its characters go through a character table (a table may
// map a typed letter to the byte of a comma or a blank, which must then stay a letter).
QString normalizeQueryText(const QString& text);

// Typed (16-bit) characters -> the row's 8-bit letter code. A code below 256 is kept; a larger
// one becomes the byte whose character-table entry shows it. A character the row cannot hold
// becomes 0x7F, which no entry holds, so the pattern cannot match by accident.
std::string queryTextTo8Bit(const QString& text, const TCharMap* charMap);

// The text of one interlinear cell as Compile wants it: converted to 8 bits through the row's
// table, normalised, and reversed for a right-to-left row when flipRtl is set (the platform's
// text input gives right-to-left words in visual order) unless it starts with a digit.
std::string prepareInterlinearCell(const QString& typed, const QueryLineSetup& row, bool flipRtl);

// Splits a normalised translation query line into columns: a blank ends a column except
// between '(' and ')', which group words into one column; the brackets are dropped (they end
// no column themselves). Empty columns are skipped; an unclosed '(' groups to the line's end.
// Throws SearchRangeError beyond 10 columns.
std::vector<std::string> splitQueryLine(const std::string& normalizedLine);

// The translation query's punctuation option: 0 when the line holds a character that the
// translation spells as a punctuation word (! " ' ( ) , - . : ; < > ? [ ] ` and 0xB4), else 1.
uint8_t skipPunctFor(const QString& queryLine);

// Fills query for a translation search of slot (1..10) from the line as entered: QueryLine,
// Interlinear 0, TrnSlot/KeySource, AllRenderings 1, SkipPunct, the row-0 cells, KeyRows,
// RowsUsed and ColumnCount. Options (CaseSens, LogicMode, SRMode, range) are left as set.
// Throws SearchRangeError for a line above 255 characters or more than 10 columns.
void buildTranslationQuery(tSrchQuery& query, const QString& line, uint8_t slot);

// Fills query for an interlinear search from the grid typed[column][row] (rows in sublinear
// order, at most 20; columns from the left, at most 10 non-empty ones). The first column whose
// cells are all empty ends the query. rows[r] describes sublinear row r; flipRtl says whether
// right-to-left rows are typed in visual order. Sets Interlinear 1, TrnSlot 0, the cells,
// KeyRows, RowsUsed and ColumnCount; other options are left as set.
// Throws SearchRangeError for more than 10 columns, 20 rows or a cell above 255 characters.
void buildInterlinearQuery(tSrchQuery& query, const std::vector<std::vector<QString>>& typed,
                           std::span<const QueryLineSetup> rows, bool flipRtl);

}  // namespace kov
