// Drawing word, verse and sign cells, and the verse columns on top of a row.
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "db/cIntLin.h"
#include "display/UTxtDrw.h"
#include "display/cRenderTxt.h"

namespace kov {

namespace {

int roundHalfAway(double v) { return static_cast<int>(std::lround(v)); }

bool equalNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

void hLine(QPainter& p, int x0, int x1, int y, StoredColor c) {
  if (x1 < x0) std::swap(x0, x1);
  p.fillRect(QRect(x0, y, std::max(1, x1 - x0), 1), toQColor(c));
}

void vLine(QPainter& p, int x, int y0, int y1, StoredColor c) {
  if (y1 < y0) std::swap(y0, y1);
  p.fillRect(QRect(x, y0, 1, std::max(1, y1 - y0)), toQColor(c));
}

}  // namespace

const DisplayCell& TTxtDrw::cell(int view, int index) const {
  if (index < 0 || index > kMaxCells) throw DisplayRangeError("display cell out of range");
  return views_[vi(view)].cells[std::size_t(index)];
}

const CellLineText& TTxtDrw::item(int view, int index) const {
  if (index < 0 || index >= kMaxItems) throw DisplayRangeError("cell line out of range");
  return views_[vi(view)].items[std::size_t(index)];
}

const CellLineText& TTxtDrw::lineItem(int view, int cellIndex, int line) const {
  if (line < 0 || line >= std::max(1, layout_.lineCount)) throw DisplayRangeError("cell line out of range");
  return item(view, cellIndex * layout_.lineCount + line);
}

void TTxtDrw::drawWordCell(int index, int contentX, int y) {
  ViewTables& t = tables();
  DisplayCell& c = t.cells[std::size_t(index)];
  const TWl& table = db_.appliedTable();
  const int p = std::clamp(view_.presentation, 0, kPresentations - 1);
  const bool merged = opts_.flag(LineOptions::ShowWordsConnect) && c.connectedCount > 0;
  QPainter* canvas = view_.canvas;
  const bool draw = !view_.layoutOnly && !merged && canvas;
  const int mode = opts_.showVarMode();
  const bool vertical = mode == 1 || mode == 2;
  const bool dn = opts_.flag(LineOptions::BlankIfSameDn), up = opts_.flag(LineOptions::BlankIfSameUp);
  const TKnownSublinears& known = db_.known();
  auto paired = [&](int s) { return s != 0 && (s == known.connected || s == known.connectedIds); };
  static thread_local std::vector<ILinkMarks::Mark> marks;

  for (int k = 0; k < layout_.lineCount; ++k) {
    const int s = layout_.sublinear[std::size_t(k)];
    CellLineText& it = itemFor(index, k);
    const Tsubl& sl = table.slot(s);
    const bool lineRtl = sl.rtl || (s == 0 && opts_.flag(LineOptions::Hebrew));
    const int offset = opts_.flag(LineOptions::CenterWord) ? (c.width - it.width) / 2 : 0;
    const int ox = LineOrigin(contentX + offset, it.width, lineRtl);
    if (!perRowItems_) it.x = ox;
    if (!draw || it.code == 0) continue;

    std::string text = it.text;
    const int baseY = y + layout_.baseline[std::size_t(k)];
    const int lineTop = y + layout_.top[std::size_t(k)];
    const int textLeft = lineRtl ? ox - it.width : ox;

    if (k == 0 && view_.showLinks && view_.links) {
      marks.clear();
      view_.links->marksOf(c.streamPos, marks);
      for (ILinkMarks::Mark m : marks) {
        const std::string tag = "h" + std::to_string(int(m));
        text = "<" + tag + ">" + text + "</" + tag + ">";
      }
    }
    if (k == 0 && view_.markHits && c.searchHit && !view_.hitMarkingOff) {
      if (opts_.flag(LineOptions::STYellowBG)) {
        const int bottom = y + layout_.top[std::size_t(k + 1)] - 1;
        canvas->fillRect(QRect(textLeft, lineTop + 1, it.width, std::max(1, bottom - lineTop - 1)),
                         toQColor(style.clSrchTag));
      }
      if (opts_.flag(LineOptions::STRedLine))
        hLine(*canvas, textLeft, textLeft + it.width, baseY + roundHalfAway(2 * view_.scale() * view_.lineFactor), kRed);
      if (opts_.flag(LineOptions::STBold)) text = "<b>" + text + "</b>";
    }
    if (opts_.flag(LineOptions::CUnderline) && s != 0 && it.unique) {
      const StoredColor uc = style.underlineColor[std::size_t(p)];
      if (p == 0) {
        hLine(*canvas, textLeft, textLeft + it.width, baseY + 1, uc);
      } else {
        for (int x = textLeft; x < textLeft + it.width; x += 6) canvas->fillRect(QRect(x, baseY + 1, 1, 1), toQColor(uc));
      }
    }
    if (opts_.flag(LineOptions::ShowNonEntries) && opts_.flag(LineOptions::ColorFill) && s != 0 &&
        c.selectors[std::size_t(s)] == 255)
      canvas->fillRect(QRect(c.x, lineTop + 1, c.width, std::max(1, baseY - lineTop)),
                       toQColor(blendColor(style.clBgInt, 0xC0C0C0, 0.5)));

    StoredColor colour = sl.fonts[std::size_t(p)]._FontColor;
    if (s != 0 && (dn || up) && paired(s)) {
      const int other = dn ? k - 1 : k + 1;
      if (other >= 0 && other < layout_.lineCount && paired(layout_.sublinear[std::size_t(other)])) {
        const CellLineText& o = itemFor(index, other);
        if (!it.text.empty() && equalNoCase(it.text, o.text)) {
          colour = blendColor(style.clBgInt, colour, 0.1);
          text.clear();
          hLine(*canvas, c.x, c.x + c.width, baseY + 1, colour);
        }
      }
    }
    if (c.greyed) colour = kSilver;
    setupRenderer(s, colour, c.effects || c.greyed);

    if (s == 0 && vertical) {
      const int rows = std::max(1, layout_.variantLines);
      for (int v = 0; v < rows; ++v) {
        const int vy = baseY + v * layout_.variantLineHeight;
        const int variant = layout_.variantLines > 0 ? layout_.shownVariants[std::size_t(v)] : -1;
        bool drawIt = false;
        if (!c.allOrNone) {
          if (variant >= 0 && c.variantMembers[std::size_t(variant)]) {
            drawIt = true;
            if (mode == 2 && !c.greyed) r_.setTextClr(kGrey);
          } else {
            const int mid = vy - roundHalfAway(r_.ascent() / 3);
            hLine(*canvas, c.x, c.x + c.width, mid, kSilver);
          }
        } else {
          drawIt = mode == 1 || v == rows - 1;
        }
        if (drawIt) {
          r_.ResetMarkup();
          double adv = 0;
          r_.DrawMarkup(ox, vy, adv, text);
        }
      }
    } else {
      double adv = 0;
      r_.DrawMarkup(ox, baseY, adv, text);
    }
  }
  if (draw && c.variantNames && opts_.flag(LineOptions::VariantSigns)) drawVariantNames(index, contentX, y);
}

void TTxtDrw::drawVariantNames(int index, int contentX, int y) {
  const DisplayCell& c = tables().cells[std::size_t(index)];
  QString names;
  const auto& vars = db_.variants();
  for (int v = 0; v < 5 && v < int(vars.size()); ++v)
    if (c.variantMembers[std::size_t(v)]) names += vars[std::size_t(v)].code;
  if (names.isEmpty()) return;
  r_.canvas = view_.canvas;
  r_.drawEffects = true;
  r_.completeFields = true;
  r_.useCharMap = false;
  r_.charMap = nullptr;
  r_.rightToLeft = opts_.flag(LineOptions::Right2Left);
  r_.setTextClr(kLightBlue);
  r_.SelectFont(0, 26, 0);
  r_.ResetMarkup();
  double adv = 0;
  r_.DrawMarkupW(RowX(contentX), y + layout_.top[0], adv, names);
  r_.rightToLeft = false;
}

void TTxtDrw::drawVerseCell(int index, int contentX, int y) {
  ViewTables& t = tables();
  const DisplayCell& c = t.cells[std::size_t(index)];
  db_.calc().setPosition(c.streamPos);
  if (int(t.labels.size()) >= kMaxVerseLabels) throw DisplayRangeError("verse label table full");
  t.labels.push_back({db_.calc().Bks(), std::to_string(c.chapter), std::to_string(c.verse), c.streamPos});
  verseLabelCounter_ = int(t.labels.size()) - 1;
  if (int(rowVerses_.size()) >= kMaxRowVerses) throw DisplayRangeError("too many verses in one row");
  rowVerses_.push_back(verseKeyOf(c.chapter, c.verse));

  QPainter* canvas = view_.canvas;
  const bool draw = !view_.layoutOnly && canvas;
  const int p = std::clamp(view_.presentation, 0, kPresentations - 1);
  if (view_.narrowMarkers && draw) {
    const double size = style.verseMarkerSize[std::size_t(p)] * view_.scale();
    const double cx = RowX(contentX);
    const double top = y + layout_.top[0];
    QPolygonF tri;
    tri << QPointF(cx - size / 2, top) << QPointF(cx + size / 2, top) << QPointF(cx, top + size);
    canvas->save();
    canvas->setPen(Qt::NoPen);
    canvas->setBrush(toQColor(style.verseMarkerColor[std::size_t(p)]));
    canvas->drawPolygon(tri);
    canvas->restore();
  }
  if (view_.verseLabels && draw && !perRowItems_) {
    r_.canvas = canvas;
    r_.textAlign = TRenderTxt::AlignBaseline;
    r_.SelectFont(0, 23, 0);
    canvas->setPen(toQColor(kLabelGrey));
    const std::string chap = std::to_string(c.chapter), rest = ":" + std::to_string(c.verse);
    const double wc = r_.TextWidth8(chap), wr = r_.TextWidth8(rest);
    const int base = y + layout_.baseline[0];
    const double at = RowX(contentX);
    if (!opts_.flag(LineOptions::Right2Left)) {
      r_.TextOut8(at - wr, base, rest);
      r_.TextOut8(at - wr - wc, base, chap);
    } else {
      r_.TextOut8(at, base, chap);
      r_.TextOut8(at + wc, base, rest);
    }
  }
}

void TTxtDrw::drawDecoration(int index, int contentX, int y) {
  const DisplayCell& c = tables().cells[std::size_t(index)];
  QPainter* canvas = view_.canvas;
  if (!canvas) return;
  const int boxL = contentX - c.extraLeft, boxR = contentX + c.width + c.extraRight;
  const int top = y + layout_.top[0];
  const int bottom = y + layout_.top[std::size_t(layout_.lineCount)];
  const int firstBase = y + layout_.baseline[0];
  const double sc = view_.scale();
  const int arm = std::max(1, roundHalfAway(4 * sc));
  // In a vertical variant mode a sign stands on the row of each shown variant it belongs to.
  const int mode = opts_.showVarMode();
  const bool vertical = (mode == 1 || mode == 2) && layout_.variantLines > 0;
  bool anyMember = false;
  for (auto m : c.variantMembers) anyMember = anyMember || m;
  const int rows = vertical ? layout_.variantLines : 1;
  for (int v = 0; v < rows; ++v) {
    if (vertical && anyMember && !c.variantMembers[std::size_t(layout_.shownVariants[std::size_t(v)])]) continue;
    const int dy = vertical ? v * layout_.variantLineHeight : 0;
    const int rowTop = top + dy;
    const int rowBase = firstBase + dy;
    const int signBottom = vertical ? rowBase : bottom;
    switch (c.decoration) {
      case 1:
      case 2:
      case 3: {
        const int xm = RowX((boxL + boxR) / 2);
        vLine(*canvas, xm, rowTop, rowBase, kLightBlue);
        if (c.decoration == 3) hLine(*canvas, xm - arm, xm + arm, rowTop, kLightBlue);
        break;
      }
      case 5:
        if (v > 0) break;
        if (c.marks[5]) canvas->fillRect(QRect(c.x, top, c.width, bottom - top), toQColor(kLightRed));
        if (c.marks[6]) {
          const int l = RowX(contentX - gap_), r = RowX(contentX + c.width + gap_);
          const int inL = RowX(contentX - gap_ + arm), inR = RowX(contentX + c.width + gap_ - arm);
          vLine(*canvas, l, top, bottom, kGrey);
          vLine(*canvas, r, top, bottom, kGrey);
          hLine(*canvas, l, inL, top, kGrey);
          hLine(*canvas, l, inL, bottom - 1, kGrey);
          hLine(*canvas, r, inR, top, kGrey);
          hLine(*canvas, r, inR, bottom - 1, kGrey);
        }
        break;
      case 6:
      case 7:
      case 8:
      case 9:
      case 11:
      case 12: {
        const bool opening = c.decoration == 6 || c.decoration == 8 || c.decoration == 11;
        const StoredColor colour = (c.decoration == 8 || c.decoration == 9) ? 0x000000 : kGrey;
        const int xs = opening ? boxR - 1 : boxL;
        const int tip = opening ? xs + arm : xs - arm;
        vLine(*canvas, RowX(xs), rowTop, signBottom, colour);
        hLine(*canvas, RowX(xs), RowX(tip), rowTop, colour);
        hLine(*canvas, RowX(xs), RowX(tip), signBottom - 1, colour);
        break;
      }
      default:
        break;  // spacing marks draw nothing
    }
  }
}

void TTxtDrw::DrawTranslationRows(int y, IVerseColumn* const* columns, int columnCount, int columnSet) {
  if (!columns || columnCount <= 0 || rowVerses_.empty()) return;
  const int n = std::min(columnCount, 10);
  const std::int32_t firstVerse = rowVerses_.front(), lastVerse = rowVerses_.back();
  const int p = std::clamp(view_.presentation, 0, kPresentations - 1);
  std::array<std::int32_t, 10> previous{};
  previous.fill(-1);
  int roundY = y;
  for (int round = 0; round < 21; ++round) {
    bool anyDrawn = false, full = false;
    int lowestT = roundY;
    for (int i = 0; i < n && !full; ++i) {
      IVerseColumn* col = columns[i];
      if (!col) continue;
      if (col->kind() == 'N' && col->verseKey() < firstVerse) col->moveToVerse(firstVerse);
      const std::int32_t key = col->verseKey();
      if (key > lastVerse || key < previous[std::size_t(i)]) continue;
      int startY = std::max(col->runningY(), roundY);
      if (key == firstVerse) startY = std::max(startY, y);
      if (startY + col->lineHeight() > view_.areaBottom) {
        full = true;
        break;
      }
      col->setRunningY(startY);
      int indent = 0;
      if (columnSet != 2) {
        const int digits = int(std::to_string(key & 0xFFFF).size());
        indent = roundHalfAway(std::abs(style.verseNumberHeight[std::size_t(p)]) * view_.printScale *
                               (0.25 + 0.5 * digits));
      }
      previous[std::size_t(i)] = key;
      const int bottom = col->drawNextVerse(indent);
      anyDrawn = true;
      if (col->kind() == 'T') lowestT = std::max(lowestT, bottom);
    }
    if (full || !anyDrawn) break;
    roundY = lowestT + style.rowGap[std::size_t(p)];
  }
}

}  // namespace kov
