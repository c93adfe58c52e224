#pragma once
#include <QPoint>
#include <QRect>

#include <array>
#include <cstdint>
#include <string>

#include "db/ColorBlend.h"

class QPainter;

namespace kov {

class TintLin;
class TTxtDrw;

// What the views have in common at a moment: which view is drawn or pointed at, its scale,
// what lies under the mouse, and the zoom.
struct TShared {
  int view = 0;   // 0 interlinear window, 1 search results panel
  int presentation = 0;
  int zoomIndex = 0;
  double zoom = 1.0;
  QPoint mouse;          // in window coordinates
  QPoint screenMouse;
  bool overWord = false;
  int hoverCell = -1;
  int hoverLine = -1;
  int previousCell = -1;
  int previousLine = -1;
  bool overColumn = false;
  int column = 0;
  int columnCell = -1;

  // Translation linking: the mode, what is shown, which end is being chosen, the active link of
  // each translation column, and what must be redrawn after a change (0 nothing, 1 the windows,
  // 2 the windows and their columns). Kept here so every view sees one state.
  enum class LinkEnd { None, Translation, Interlinear };
  bool linkMode = false;
  bool showAllLinks = false;
  LinkEnd choosing = LinkEnd::None;
  std::array<int, 10> activeLink{};
  int redrawRequest = 0;

  // Clamps to 0..32; zoom = 1 + index / 16.
  void SetZoomIndex(int index);
};

// The word last clicked (or chosen with Enter): the word actions read it.
struct TSelectedWord {
  int cell = -1;
  int sublinear = -1;
  int line = -1;
  std::uint16_t code = 0;
  int selector = 0;
  std::int32_t streamPos = 0;
  QPoint point;
};

// The focus frames on the interlinear cells (mouse bar, keyboard outline, select outline), the
// hit test of a point, and keyboard moves from cell to cell. Works on the cells the cell drawer
// holds after a paint.
class Tfocus {
 public:
  Tfocus(TintLin& db, const TTxtDrw& drw, TShared& shared);

  struct Hit {
    bool found = false;
    int line = -1;
    int cell = -1;
  };
  // The cell and visible line under a point of the view.
  Hit HitTest(const QPoint& p) const;
  // The first drawn cell at a stream position, -1 when none.
  int CellAtPosition(std::int32_t position) const;
  // The frame rectangle of a cell and line; the mouse bar's reaches round(zoom) lower.
  QRect frameRect(int cell, int line, bool mouseBar) const;

  bool IsWordCell(int cell) const;
  std::uint16_t WordCode(int cell) const;
  // The entry selector of every sublinear at the cell's word (255: none); all 255 for no word.
  std::array<std::uint8_t, 20> Selectors(int cell) const;
  // "<Bka> <chapter>:<verse> .<word>", or "-" when no verse cell precedes the cell.
  std::string CellReference(int cell) const;

  // Mouse focus (a bar along the bottom of the line), select focus and keyboard focus.
  int mouseCell = -1, mouseLine = -1;
  int selectCell = -1, selectLine = -1;
  int keyCell = -1, keyLine = -1;
  std::int32_t keyPosition = -1;  // the keyboard focus follows its word when the page moves
  bool keyboardMode = false;
  bool mouseEnabled = true;

  // Updates the mouse focus from a point; true when it changed.
  bool MouseMoved(const QPoint& p);
  // A click on a word line: the selected word; false when no word line was hit.
  bool Click(const QPoint& p, TSelectedWord& out);
  void KeyboardOn(const QPoint& lastMouse);
  void KeyboardOff();
  // After a repaint: the keyboard focus moves to the cell of its remembered word, or to the
  // first/last word cell when that word is no longer drawn.
  void FollowKeyboardFocus();
  // Each returns true when it ran into the start or end of the drawn cells.
  bool KeyboardPrevCell();
  bool KeyboardNextCell();
  bool KeyboardRowUp();
  bool KeyboardRowDown();

  // Draws the frames that are on.
  void Draw(QPainter& p, StoredColor clBgInt, StoredColor clMoveFoc, StoredColor clKeyBFoc,
            StoredColor clMsdnFoc) const;

 private:
  int gap() const;
  int rowTop(int cell) const;
  int drawnCount() const;
  int stepWord(int from, int dir) const;
  bool rowStep(int dir);

  TintLin& db_;
  const TTxtDrw& drw_;
  TShared& shared_;
};

}  // namespace kov
