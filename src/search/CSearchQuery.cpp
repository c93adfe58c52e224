#include "search/CSearchQuery.h"

#include "db/ScriptTransform.h"
#include "db/cIntLin.h"
#include "db/TextUtils.h"
#include "search/SearchErrors.h"

#include <algorithm>

namespace kov {

namespace {

constexpr char kUnmappable = '\x7F';

void checkTextLength(qsizetype length) {
  if (length > kMaxQueryTextLen) {
    throw SearchRangeError("Query text longer than " + std::to_string(kMaxQueryTextLen) +
                           " characters");
  }
}

bool hasTags(const std::string& text) {
  return text.find_first_of("<>") != std::string::npos;
}

void tooManyColumns() {
  throw SearchRangeError("More than " + std::to_string(kMaxQueryColumns) + " query columns");
}

}  // namespace

void tSrchQuery::clearCells() {
  for (auto& column : Cells) {
    for (Tsrchword& cell : column) cell = Tsrchword{};
  }
  KeyRows.fill(0);
  RowsUsed.fill(0);
  ColumnCount = 0;
}

QueryLineSetup lineSetupOf(const Tsubl& slot) {
  QueryLineSetup setup;
  if (slot.hasCharMap) setup.charMap = &slot.charMap;
  setup.rightToLeft = slot.rtl;
  return setup;
}

std::vector<QueryLineSetup> querySetupOf(const TWl& applied) {
  std::vector<QueryLineSetup> rows;
  const int count = std::min<int>(applied.slotCount, kMaxQueryRows);
  for (int s = 0; s < count; ++s) rows.push_back(lineSetupOf(applied.slot(s)));
  return rows;
}

QString normalizeQueryText(const QString& text) {
  checkTextLength(text.size());
  QString out;
  out.reserve(text.size());
  qsizetype i = 0;
  while (i < text.size() && text[i] == u' ') ++i;
  QChar previous;
  for (; i < text.size(); ++i) {
    const QChar ch = text[i] == u',' ? QChar(u' ') : text[i];
    const bool repeat = (ch == u' ' || ch == u'*') && previous == ch;
    previous = ch;
    if (!repeat) out.append(ch);
  }
  if (out.endsWith(u' ')) out.chop(1);
  return out;
}

std::string normalizeQueryText(const std::string& text, bool removeTagsToo) {
  checkTextLength(static_cast<qsizetype>(text.size()));
  return cleanSearchText(text, removeTagsToo);
}

std::string queryTextTo8Bit(const QString& text, const TCharMap* charMap) {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()));
  for (const QChar ch : text) {
    const char16_t code = ch.unicode();
    if (code < 256) {
      out.push_back(static_cast<char>(code));
      continue;
    }
    char byte = kUnmappable;
    if (charMap != nullptr) {
      for (int b = 0; b < 256; ++b) {
        if ((*charMap)[static_cast<std::size_t>(b)].target == code) {
          byte = static_cast<char>(b);
          break;
        }
      }
    }
    out.push_back(byte);
  }
  return out;
}

std::string prepareInterlinearCell(const QString& typed, const QueryLineSetup& row, bool flipRtl) {
  std::string text = queryTextTo8Bit(normalizeQueryText(typed), row.charMap);
  if (row.rightToLeft && flipRtl) text = flipWord(text);
  return text;
}

std::vector<std::string> splitQueryLine(const std::string& normalizedLine) {
  std::vector<std::string> columns;
  std::string current;
  bool grouped = false;
  auto endColumn = [&] {
    // Blanks next to the brackets ("( a b )") are not part of the group's words.
    std::string trimmed = trimBlanks(current);
    current.clear();
    if (trimmed.empty() || trimmed == " ") return;
    if (static_cast<int>(columns.size()) == kMaxQueryColumns) tooManyColumns();
    columns.push_back(std::move(trimmed));
  };
  for (const char ch : normalizedLine) {
    if (ch == '(') {
      grouped = true;
    } else if (ch == ')') {
      grouped = false;
    } else if (ch == ' ' && !grouped) {
      endColumn();
    } else {
      current.push_back(ch);
    }
  }
  endColumn();
  return columns;
}

uint8_t skipPunctFor(const QString& queryLine) {
  static const QString kPunct = QStringLiteral("!\"'(),-.:;<>?[]`") + QChar(0xB4);
  for (const QChar ch : queryLine) {
    if (kPunct.contains(ch)) return 0;
  }
  return 1;
}

void buildTranslationQuery(tSrchQuery& query, const QString& line, uint8_t slot) {
  checkTextLength(line.size());
  const std::string normalized = normalizeQueryText(queryTextTo8Bit(line, nullptr), true);
  const std::vector<std::string> columns = splitQueryLine(normalized);
  query.clearCells();
  query.QueryLine = line;
  query.Interlinear = 0;
  query.TrnSlot = slot;
  query.KeySource = slot;
  query.AllRenderings = 1;
  query.SkipPunct = skipPunctFor(line);
  for (std::size_t c = 0; c < columns.size(); ++c) {
    Tsrchword& cell = query.Cells[c][0];
    cell.Text = columns[c];
    cell.HasTags = hasTags(cell.Text) ? 1 : 0;
    query.KeyRows[c] = 0;
  }
  query.ColumnCount = static_cast<uint8_t>(columns.size());
  if (!columns.empty()) query.RowsUsed[0] = 1;
}

void buildInterlinearQuery(tSrchQuery& query, const std::vector<std::vector<QString>>& typed,
                           std::span<const QueryLineSetup> rows, bool flipRtl) {
  query.clearCells();
  query.Interlinear = 1;
  query.TrnSlot = 0;
  query.SkipPunct = 1;
  int columnCount = 0;
  for (const std::vector<QString>& column : typed) {
    if (static_cast<int>(column.size()) > kMaxQueryRows) {
      throw SearchRangeError("More than " + std::to_string(kMaxQueryRows) + " query rows");
    }
    std::array<std::string, kMaxQueryRows> texts;
    int keyRow = -1;
    for (std::size_t r = 0; r < column.size(); ++r) {
      const QueryLineSetup setup = r < rows.size() ? rows[r] : QueryLineSetup{};
      texts[r] = prepareInterlinearCell(column[r], setup, flipRtl);
      if (keyRow < 0 && !texts[r].empty()) keyRow = static_cast<int>(r);
    }
    if (keyRow < 0) break;  // the first empty column ends the query
    if (columnCount == kMaxQueryColumns) tooManyColumns();
    for (std::size_t r = 0; r < column.size(); ++r) {
      Tsrchword& cell = query.Cells[static_cast<std::size_t>(columnCount)][r];
      cell.Text = std::move(texts[r]);
      cell.HasTags = hasTags(cell.Text) ? 1 : 0;
      if (!cell.Text.empty()) query.RowsUsed[r] = 1;
    }
    query.KeyRows[static_cast<std::size_t>(columnCount)] = static_cast<uint8_t>(keyRow);
    ++columnCount;
  }
  query.ColumnCount = static_cast<uint8_t>(columnCount);
}

}  // namespace kov
