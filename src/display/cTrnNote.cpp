#include "display/cTrnNote.h"

#include <QPainter>

#include <algorithm>

#include "core/FileLookup.h"
#include "core/ProgramFolder.h"
#include "display/RenderErrors.h"
#include "display/UWtext.h"
#include "display/cRenderTxt.h"
#include "display/cTxtBox.h"
#include "db/TextUtils.h"
#include "db/cCalcPos.h"
#include "texts/UWordGP.h"
#include "texts/Unotes.h"

namespace kov {

TtrnNote::TtrnNote(int column, Twtext& layout, TRenderTxt& render)
    : column_(column), layout_(layout), render_(render), cells_(kMaxCells + 1) {}

TCellVsItem& TtrnNote::cell(int n) {
  if (n < 1 || n > kMaxCells) throw DisplayRangeError("more than 99 verse cells in one walk");
  return cells_[std::size_t(n)];
}

void TtrnNote::StartWalk(int startIndex) {
  firstVerse = true;
  cellCount_ = startIndex;
  TCellVsItem& c = cell(startIndex + 1);
  c.ref = current;
  c.reserved = 0;
  c.top = top;
  c.bottom = bottom;
  c.left = textLeft;
  c.right = textRight;
  c.lineGap = lineGap;
  runningY = top;
  lastBottom = top;
  endOfText = false;
  drawVerseNumbers = true;
  OpenSource();
}

void TtrnNote::OpenSource() {
  if (kind == 'T') {
    if (reader) {
      reader->CurRef = current;
      hasText = reader->GotoRef();
    } else {
      hasText = false;
    }
  } else if ((kind == 'N' || kind == 'V') && notes) {
    if (kind == 'N')
      // The folder may have been made as "<name>.n": look it up whatever the case.
      notes->setChapterCollection(withTrailingSlash(findNoCase(withTrailingSlash(prgDir), name + QStringLiteral(".N"))));
    if (current.verse != lastOpened.verse || current.chapter != lastOpened.chapter || current.Bks != lastOpened.Bks)
      skipLines = 0;
    notes->setRef(current);
    notes->setOpen(true);
    hasText = notes->Open();
  } else {
    hasText = false;
  }
  lastOpened = current;
}

void TtrnNote::DrawNextVerse() {
  layout_.canvas = canvas;
  layout_.left = textLeft;
  layout_.right = textRight;
  layout_.top = runningY;
  layout_.bottom = bottom;
  layout_.areaLeft = areaLeft;
  layout_.areaRight = areaRight;
  layout_.indent = indent;
  layout_.fontSlot = fontSlot;
  layout_.fontColor = fontColor;
  layout_.lineGap = lineGap;
  layout_.areaColor = background;
  // The whole column is active: no word is faded.
  layout_.activeLeft = areaLeft;
  layout_.activeRight = areaRight;

  std::string text;
  int numberShown = -1;
  if (kind == 'T') {
    if (!endOfText && reader) {
      if (readEnabled && readOwnText) reader->ReadVerse();
      drawing = reader->PrevRef;
      current = reader->CurRef;
      if (reader->NextVerse() == 0) endOfText = true;
      text = reader->VerseText();
    }
    hasText = !text.empty();
    numberShown = drawing.verse;
  } else if ((kind == 'N' || kind == 'V') && notes) {
    bool found = false;
    if (readEnabled) {
      notes->setRef(current);
      notes->setOpen(true);
      found = notes->ReadNote();
      if (found) {
        drawing = notes->foundRef();
        current.verse = std::int16_t(notes->currentVerse() > 0 ? notes->currentVerse() : drawing.verse);
        text = toLatin1Text(notes->noteText());
      }
    }
    hasText = found;
    numberShown = drawing.verse;
    if (!found && firstVerse) {
      // Every note column shows at least one (empty) cell.
      drawing = current;
      text.assign(1, ' ');
      hasText = true;
      numberShown = -1;
    }
  } else {
    hasText = false;
  }
  firstVerse = false;

  if (!hasText) return;
  TCellVsItem& c = cell(++cellCount_);
  c.ref = drawing;
  c.text = text;
  c.lineGap = lineGap;
  c.reserved = 0;
  layout_.source = text;
  layout_.firstLineToDraw = skipLines;
  layout_.Layout();
  c.left = textLeft;
  c.caretLeft = textLeft;
  c.top = runningY;
  c.right = textRight;
  c.bottom = std::max(layout_.bottom, runningY);
  if (drawVerseNumbers && numberShown > 0) drawVerseNumber(numberShown);
  runningY = lastBottom = c.bottom;
}

void TtrnNote::drawVerseNumber(int verse) {
  if (!canvas) return;
  const QString number = QString::number(verse);
  const QFont& f = render_.font(0, verseNumberSlot, 0);
  canvas->save();
  canvas->setFont(f);
  canvas->setPen(toQColor(kVerseNumberColor));
  const QFontMetrics fm(f);
  const int w = fm.horizontalAdvance(number);
  const int x = indent < 1 ? textLeft - w - 2 : textLeft;
  canvas->drawText(x, runningY + fm.ascent(), number);
  canvas->restore();
}

void TtrnNote::EndWalk() {
  cellCount_ = std::max(cellCount_, 1);
  if (kind != 'T' && notes) notes->setOpen(false);
}

void TtrnNote::FillRest() {
  if (!canvas || runningY >= bottom) return;
  canvas->fillRect(QRect(areaLeft, runningY, areaRight - areaLeft, bottom - runningY), toQColor(background));
}

void TtrnNote::SeekNote() {
  OpenSource();
  if (notes && (kind == 'N' || kind == 'V')) {
    notes->setRef(current);
    if (notes->ReadNote()) current.verse = std::int16_t(notes->currentVerse() > 0 ? notes->currentVerse() : current.verse);
    notes->setOpen(false);
  }
}

void TtrnNote::DrawContinueMark() {
  if (!canvas) return;
  if (kind == 'N' || kind == 'V') {
    const StoredColor mark = skipLines > 0 ? StoredColor(255) : background;
    const int x = textRight + 1;
    const QPolygon tri({QPoint(x, runningY), QPoint(x + 5, runningY), QPoint(x + 5, runningY - 5)});
    canvas->setPen(Qt::NoPen);
    canvas->setBrush(toQColor(mark));
    canvas->drawPolygon(tri);
  }
  FillRest();
}

int TtrnNote::VerseAt(int x, int y, int rowGap, int leftTolerance) const {
  const int half = rowGap / 2;
  for (int n = 1; n <= std::min(cellCount_, kMaxCells); ++n) {
    const TCellVsItem& c = cells_[std::size_t(n)];
    if (x >= c.left - leftTolerance && x <= c.right && y >= c.top - half && y <= c.bottom + half) return n;
  }
  return -1;
}

int TtrnNote::CaretAt(Ttxtbox& box, int n, int x, int y) const {
  if (n < 1 || n > std::min(cellCount_, kMaxCells)) return -1;
  const TCellVsItem& c = cells_[std::size_t(n)];
  box.rect = QRectF(c.left, c.top, c.right - c.left, c.bottom - c.top);
  box.text = QString::fromLatin1(c.text.c_str());
  box.hitTest = true;
  box.hitPoint = QPointF(x, y);
  box.Draw();
  box.hitTest = false;
  return box.hitPos;
}

bool TtrnNote::BookExists() const {
  if (kind != 'T') return true;
  if (!reader || !reader->calcpos()) return false;
  TCalcpos& calc = *reader->calcpos();
  calc.setBks(current.Bks);
  return calc.found();
}

void drawColumnsInRows(const std::vector<TtrnNote*>& columns, int rowGap, int viewBottom) {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    TtrnNote* c = columns[i];
    c->StartWalk(0);
    // A translation shown by an earlier column is read once a row; later columns take its text.
    c->readOwnText = true;
    for (std::size_t j = 0; j < i; ++j)
      if (c->kind == 'T' && columns[j]->kind == 'T' && columns[j]->slot == c->slot) c->readOwnText = false;
  }
  int translationBottom = -1;
  for (int round = 0; round < TtrnNote::kMaxCells; ++round) {
    for (TtrnNote* c : columns)
      if (c->runningY < c->bottom) c->DrawNextVerse();
    int lowest = -1;
    for (TtrnNote* c : columns)
      if (c->kind == 'T') lowest = std::max(lowest, c->lastBottom);
    for (TtrnNote* c : columns) c->runningY = std::max(c->lastBottom, lowest) + rowGap;
    const bool stalled = lowest == translationBottom;
    translationBottom = lowest;
    bool room = false;
    for (TtrnNote* c : columns) room = room || c->runningY < viewBottom;
    if (stalled || !room) break;
  }
  for (TtrnNote* c : columns) {
    c->EndWalk();
    c->FillRest();
  }
}

}  // namespace kov
