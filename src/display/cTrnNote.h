#pragma once
#include <QString>

#include <string>
#include <vector>

#include "db/ColorBlend.h"
#include "db/VerseRef.h"

class QPainter;

namespace kov {

class TRenderTxt;
class TWordGP;
class Tnotes;
class Twtext;
class Ttxtbox;

// Where one verse of a column landed.
struct TCellVsItem {
  VerseRef ref;
  int left = 0, top = 0, right = 0, bottom = 0;
  int reserved = 0;
  int lineGap = 0;
  int caretLeft = 0;
  std::string text;
};

// A verse column: walks a passage verse by verse through one source (a translation, kind 'T',
// or a note collection, kinds 'N' and 'V'), lays each verse out into its rectangle with the
// verse text layout engine, and remembers where each verse landed for hit tests.
class TtrnNote {
 public:
  static constexpr int kMaxCells = 99;
  static constexpr StoredColor kVerseNumberColor = 0x888888;

  TtrnNote(int column, Twtext& layout, TRenderTxt& render);

  // Source.
  char kind = '-';      // 'T', 'N', 'V', or '-' for an empty column
  int entry = 0;        // source entry 1..30
  QString name;         // source name (translation or collection)
  int slot = 1;         // translation slot 1..10
  TWordGP* reader = nullptr;  // the text reader of `slot` (kind 'T')
  Tnotes* notes = nullptr;    // this column's note reader (kinds 'N', 'V')
  QString prgDir;             // program folder (chapter notes live in "<name>.N/")
  QString notesDir;           // notes folder of verse-block collections

  // Geometry and drawing.
  QPainter* canvas = nullptr;
  int textLeft = 0, areaLeft = 0, textRight = 0, areaRight = 0, top = 0, bottom = 0;
  int indent = 0;
  int fontSlot = 20;  // 20 translation, 21 notes (font set 0 of the renderer)
  StoredColor fontColor = 0;
  int lineGap = 15;
  StoredColor background = 0xFFFFFF;
  int verseNumberSlot = 23;

  // Walk state.
  VerseRef current, drawing, lastOpened;
  int runningY = 0, lastBottom = 0;
  bool readEnabled = true, firstVerse = false, endOfText = false, hasText = false;
  bool drawVerseNumbers = true, readOwnText = true;
  int skipLines = 0;

  int column() const { return column_; }
  const std::vector<TCellVsItem>& cells() const { return cells_; }  // [1..cellCount]
  int cellCount() const { return cellCount_; }

  void StartWalk(int startIndex);
  void OpenSource();
  void DrawNextVerse();
  void EndWalk();
  void FillRest();
  void SeekNote();
  void DrawContinueMark();
  // The cell whose rectangle, widened vertically by half the row gap and to the left by the
  // tolerance, holds the point; -1 when none.
  int VerseAt(int x, int y, int rowGap, int leftTolerance) const;
  // The character position of a point in the text of cell `cell` (for a caret in a note).
  int CaretAt(Ttxtbox& box, int cell, int x, int y) const;
  bool BookExists() const;

 private:
  TCellVsItem& cell(int n);
  void drawVerseNumber(int verse);

  int column_;
  Twtext& layout_;
  TRenderTxt& render_;
  std::vector<TCellVsItem> cells_;
  int cellCount_ = 0;
};

// Draws the columns of one view in rows: every translation column keeps verse n on one row,
// a long note pushes only its own column down. Rounds go on until the translations' bottom does
// not move or the next row would start below `viewBottom`.
void drawColumnsInRows(const std::vector<TtrnNote*>& columns, int rowGap, int viewBottom);

}  // namespace kov
