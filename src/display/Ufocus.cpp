#include "display/Ufocus.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "db/cIntLin.h"
#include "display/RenderErrors.h"
#include "display/UTxtDrw.h"
#include "display/cRenderTxt.h"

namespace kov {

void TShared::SetZoomIndex(int index) {
  zoomIndex = std::clamp(index, 0, 32);
  zoom = 1.0 + zoomIndex / 16.0;
}

Tfocus::Tfocus(TintLin& db, const TTxtDrw& drw, TShared& shared) : db_(db), drw_(drw), shared_(shared) {}

int Tfocus::gap() const {
  return int(std::lround(db_.appliedTable().presentations[0].spcWdth * shared_.zoom / 2.0));
}

int Tfocus::drawnCount() const { return drw_.cellCount(shared_.view); }

int Tfocus::rowTop(int cell) const {
  return drw_.cell(shared_.view, cell).rowRuleTop + db_.appliedTable().presentations[0].dyLine;
}

Tfocus::Hit Tfocus::HitTest(const QPoint& p) const {
  Hit h;
  const int g = gap();
  const TLineLayout& L = drw_.lines();
  for (int i = 0; i < drawnCount(); ++i) {
    const DisplayCell& c = drw_.cell(shared_.view, i);
    const int top = rowTop(i);
    if (!(c.x - g < p.x() && p.x() < c.x + c.width + g && top - 1 < p.y() && p.y() < top + L.rowHeight + 1)) continue;
    // A verse label or a sign has no width: nothing there to point at.
    if (c.width == 0) return h;
    h.cell = i;
    for (int k = 0; k < L.lineCount; ++k)
      if (top + L.top[std::size_t(k)] <= p.y() && p.y() < top + L.top[std::size_t(k + 1)]) {
        h.line = k;
        break;
      }
    h.found = h.line >= 0 && c.kind == DisplayCell::Word;
    return h;
  }
  return h;
}

int Tfocus::CellAtPosition(std::int32_t position) const {
  for (int i = 0; i < drawnCount(); ++i)
    if (drw_.cell(shared_.view, i).streamPos == position) return i;
  return -1;
}

QRect Tfocus::frameRect(int cell, int line, bool mouseBar) const {
  if (cell < 0 || cell >= drawnCount()) return {};
  const TLineLayout& L = drw_.lines();
  if (line < 0 || line >= L.lineCount) throw DisplayRangeError("line index outside the view");
  const DisplayCell& c = drw_.cell(shared_.view, cell);
  const int g = gap();
  const int top = rowTop(cell);
  const int y0 = top + L.top[std::size_t(line)] + 1;
  int y1 = top + L.top[std::size_t(line + 1)];
  if (mouseBar) y1 += int(std::lround(shared_.zoom));
  return QRect(QPoint(c.x - g, y0), QPoint(c.x + c.width + g, y1));
}

bool Tfocus::IsWordCell(int cell) const {
  return cell >= 0 && cell < drawnCount() && drw_.cell(shared_.view, cell).kind == DisplayCell::Word;
}

std::uint16_t Tfocus::WordCode(int cell) const { return IsWordCell(cell) ? drw_.cell(shared_.view, cell).code : 0; }

std::array<std::uint8_t, 20> Tfocus::Selectors(int cell) const {
  if (IsWordCell(cell)) return drw_.cell(shared_.view, cell).selectors;
  std::array<std::uint8_t, 20> none;
  none.fill(255);
  return none;
}

std::string Tfocus::CellReference(int cell) const {
  if (!IsWordCell(cell)) return "-";
  int words = 0;
  for (int i = cell; i >= 0; --i) {
    const DisplayCell& c = drw_.cell(shared_.view, i);
    if (c.kind == DisplayCell::Word) ++words;
    if (c.kind == DisplayCell::Verse) {
      TCalcpos& calc = db_.calc();
      calc.setPosition(drw_.cell(shared_.view, cell).streamPos);
      return calc.Bka() + " " + std::to_string(calc.Chapter()) + ":" + std::to_string(c.verse) + " ." +
             std::to_string(words);
    }
  }
  return "-";
}

bool Tfocus::MouseMoved(const QPoint& p) {
  shared_.mouse = p;
  const Hit h = mouseEnabled ? HitTest(p) : Hit{};
  const int cell = h.found ? h.cell : -1;
  const int line = h.found ? h.line : -1;
  shared_.overWord = h.found;
  if (cell == mouseCell && line == mouseLine) return false;
  shared_.previousCell = mouseCell;
  shared_.previousLine = mouseLine;
  mouseCell = shared_.hoverCell = cell;
  mouseLine = shared_.hoverLine = line;
  return true;
}

bool Tfocus::Click(const QPoint& p, TSelectedWord& out) {
  const Hit h = HitTest(p);
  if (!h.found) return false;
  const DisplayCell& c = drw_.cell(shared_.view, h.cell);
  out.cell = h.cell;
  out.line = h.line;
  out.sublinear = drw_.lines().sublinear[std::size_t(h.line)];
  out.code = c.code;
  out.selector = out.sublinear > 0 ? c.selectors[std::size_t(out.sublinear)] : 0;
  out.streamPos = c.streamPos;
  out.point = p;
  selectCell = h.cell;
  selectLine = h.line;
  mouseCell = mouseLine = -1;
  return true;
}

void Tfocus::KeyboardOn(const QPoint& lastMouse) {
  keyboardMode = true;
  const Hit h = HitTest(lastMouse);
  if (h.found) {
    keyCell = h.cell;
    keyLine = h.line;
  } else {
    keyCell = stepWord(-1, 1);
    keyLine = std::min(1, drw_.lines().lineCount - 1);
  }
  keyPosition = keyCell >= 0 ? drw_.cell(shared_.view, keyCell).streamPos : -1;
}

void Tfocus::KeyboardOff() { keyboardMode = false; }

int Tfocus::stepWord(int from, int dir) const {
  for (int i = from + dir; i >= 0 && i < drawnCount(); i += dir)
    if (drw_.cell(shared_.view, i).kind == DisplayCell::Word) return i;
  return -1;
}

void Tfocus::FollowKeyboardFocus() {
  if (!keyboardMode) return;
  const int at = keyPosition >= 0 ? CellAtPosition(keyPosition) : -1;
  if (at >= 0) {
    keyCell = at;
  } else {
    // The word left the page: the nearest end of the drawn cells.
    const int first = stepWord(-1, 1);
    const int last = stepWord(drawnCount(), -1);
    const bool before = first >= 0 && keyPosition < drw_.cell(shared_.view, first).streamPos;
    keyCell = before ? first : last;
    keyPosition = keyCell >= 0 ? drw_.cell(shared_.view, keyCell).streamPos : -1;
  }
  keyLine = std::clamp(keyLine, 0, std::max(0, drw_.lines().lineCount - 1));
}

bool Tfocus::KeyboardPrevCell() {
  const int n = stepWord(keyCell, -1);
  if (n < 0) return true;
  keyCell = n;
  keyPosition = drw_.cell(shared_.view, n).streamPos;
  return false;
}

bool Tfocus::KeyboardNextCell() {
  const int n = stepWord(keyCell, 1);
  if (n < 0) return true;
  keyCell = n;
  keyPosition = drw_.cell(shared_.view, n).streamPos;
  return false;
}

bool Tfocus::rowStep(int dir) {
  if (keyCell < 0) return true;
  const int myTop = rowTop(keyCell);
  const QRect r = frameRect(keyCell, std::max(keyLine, 0), false);
  const int centre = r.center().x();
  int best = -1, bestDistance = 0, row = 0;
  for (int i = stepWord(keyCell, dir); i >= 0; i = stepWord(i, dir)) {
    const int top = rowTop(i);
    if (top == myTop) continue;
    if (row == 0) row = top;
    if (top != row) break;  // only the next row
    const DisplayCell& c = drw_.cell(shared_.view, i);
    const int d = std::abs(c.x + c.width / 2 - centre);
    if (best >= 0 && d > bestDistance) break;  // moving away again
    best = i;
    bestDistance = d;
  }
  if (best < 0) return true;
  keyCell = best;
  keyPosition = drw_.cell(shared_.view, best).streamPos;
  return false;
}

bool Tfocus::KeyboardRowUp() { return rowStep(-1); }
bool Tfocus::KeyboardRowDown() { return rowStep(1); }

void Tfocus::Draw(QPainter& p, StoredColor clBgInt, StoredColor clMoveFoc, StoredColor clKeyBFoc,
                  StoredColor clMsdnFoc) const {
  p.save();
  p.setBrush(Qt::NoBrush);
  if (mouseEnabled && mouseCell >= 0 && mouseLine >= 0) {
    const QRect r = frameRect(mouseCell, mouseLine, true);
    const int h = std::max(1, int(std::lround(shared_.zoom)));
    p.fillRect(QRect(r.left(), r.bottom() - h + 1, r.width(), h), toQColor(clMoveFoc));
  }
  if (selectCell >= 0 && selectLine >= 0) {
    p.setPen(toQColor(blendColor(clBgInt, clMsdnFoc, 0.5)));
    p.drawRect(frameRect(selectCell, selectLine, false).adjusted(0, 0, -1, -1));
  }
  if (keyboardMode && keyCell >= 0 && keyLine >= 0) {
    p.setPen(toQColor(blendColor(clBgInt, clKeyBFoc, 0.5)));
    p.drawRect(frameRect(keyCell, keyLine, false).adjusted(0, 0, -1, -1));
  }
  p.restore();
}

}  // namespace kov
