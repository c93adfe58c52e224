// Turning the word stream of a passage into display cells: the walk, word, verse and sign cells.
#include <algorithm>
#include <cmath>

#include "db/cIntLin.h"
#include "display/UTxtDrw.h"
#include "display/WordListCharMap.h"
#include "display/cRenderTxt.h"

namespace kov {

namespace {

constexpr std::uint16_t kSignFirst = 64001;
constexpr std::uint16_t kHookFirst = 64010, kHookLast = 64015;
constexpr std::uint16_t kMarkFirst = 64110, kMarkLast = 64120;
constexpr std::uint16_t kRangeFirst = 64401, kRangeLast = 64405;
constexpr std::uint16_t kConsumedLast = 64699;
constexpr std::uint16_t kVerseCode = 65000;
constexpr std::size_t kMaxText = 255;

int roundHalfAway(double v) { return static_cast<int>(std::lround(v)); }

}  // namespace

void DisplayCell::reset(int gap) {
  *this = DisplayCell{};
  spaceBefore = gap;
  spaceAfter = gap;
}

TTxtDrw::TTxtDrw(TintLin& db, TRenderTxt& render) : db_(db), r_(render) {
  for (ViewTables& t : views_) {
    t.cells.resize(kMaxCells + 1);
    t.items.resize(kMaxItems);
    t.labels.reserve(kMaxVerseLabels);
    t.hitList.reserve(kMaxHitList);
  }
  rowVerses_.reserve(kMaxRowVerses);
}

int TTxtDrw::vi(int view) {
  if (view < 0 || view > 1) throw DisplayRangeError("display view out of range");
  return view;
}

PresentationFonts TTxtDrw::fontsOf(const TWl& table, int presentation, int verseNumberHeight) {
  PresentationFonts pf;
  const int p = std::clamp(presentation, 0, kPresentations - 1);
  for (int j = 0; j < table.slotCount && j < 21; ++j) {
    const TslFont& f = table.slot(j).fonts[std::size_t(p)];
    pf.sublinears.push_back({f._FontName.isEmpty() ? QStringLiteral("Arial") : f._FontName,
                             f._Fontheight == 0 ? -12 : f._Fontheight});
  }
  pf.verseNumberHeight = verseNumberHeight;
  return pf;
}

void TTxtDrw::FontsChanged() {
  if (++fontGeneration_ == 0) fontGeneration_ = 1;  // 0 means "never measured"
}

void TTxtDrw::ResetView(const TCellView& view, std::int32_t first, std::int32_t last, bool continuePass) {
  vi(view.view);
  view_ = view;
  opts_ = db_.appliedOptions();
  if (view.forceNvnl >= 0) opts_.setFlag(LineOptions::Nvnl, view.forceNvnl != 0);
  if (view.forceJustify >= 0) opts_.setFlag(LineOptions::Justify, view.forceJustify != 0);
  const TWl& table = db_.appliedTable();
  const int p = std::clamp(view.presentation, 0, kPresentations - 1);
  gap_ = roundHalfAway(table.presentations[std::size_t(p)].spcWdth * view.scale() / 2.0);
  for (int s = 0; s < 20; ++s) {
    const Tsubl& sl = table.slot(s);
    useCharMap_[std::size_t(s)] = sl.remap != 0 && sl.hasCharMap;
    if (useCharMap_[std::size_t(s)]) charMaps_[std::size_t(s)] = toCharMap(sl.charMap);
  }
  r_.canvas = nullptr;  // a canvas left from an earlier paint may be gone
  r_.clBgInt = style.clBgInt;
  r_.clSrchTag = style.clSrchTag;

  ViewTables& t = tables();
  first_ = first;
  last_ = last;
  pos_ = 0;
  cur_ = 0;
  t.count = 0;
  t.labels.clear();
  t.hitList.clear();
  t.cells[0].reset(gap_);
  if (!continuePass) {
    pendingMarks_ = {};
    pendingVariants_ = {};
    variantRange_ = false;
    showNext_ = true;
    headingPending_ = false;
    ignoreFirstFlags_ = false;
  }
  verseLabelCounter_ = -1;
  endOfPassage_ = last < first;
  rowFirst_ = 0;
  lastFit_ = -1;
  rowVerses_.clear();
}

bool TTxtDrw::variantShown(int v) const {
  return v >= 0 && v < 5 && opts_.flag(LineOptions::VariantBool1 + v);
}

bool TTxtDrw::pendingHasShownVariant() const {
  for (int v = 0; v < 5; ++v)
    if (pendingVariants_[std::size_t(v)] && variantShown(v)) return true;
  return false;
}

int TTxtDrw::itemIndex(int cellIndex, int line) const {
  const int base = view_.perRowTexts() ? cellIndex - rowStartCell_ : cellIndex;
  const int idx = base * layout_.lineCount + line;
  if (base < 0 || idx < 0 || idx >= kMaxItems) throw DisplayRangeError("cell line table full");
  return idx;
}

CellLineText& TTxtDrw::itemFor(int cellIndex, int line) { return tables().items[std::size_t(itemIndex(cellIndex, line))]; }

bool TTxtDrw::hitBold(const DisplayCell& c) const {
  return view_.markHits && opts_.flag(LineOptions::STBold) && c.searchHit && !view_.hitMarkingOff;
}

void TTxtDrw::setupRenderer(int s, StoredColor colour, bool effects) {
  const Tsubl& sl = db_.appliedTable().slot(s);
  r_.canvas = view_.canvas;
  r_.textAlign = TRenderTxt::AlignBaseline;
  r_.drawEffects = effects;
  r_.clip = false;
  r_.hitTest = false;
  r_.rightToLeft = sl.rtl || (s == 0 && opts_.flag(LineOptions::Hebrew));
  r_.useCharMap = useCharMap_[std::size_t(s)];
  r_.charMap = r_.useCharMap ? &charMaps_[std::size_t(s)] : nullptr;
  r_.completeFields = opts_.flag(LineOptions::ShowCompleteFields);
  r_.scaleX = view_.zoom;
  r_.scaleY = view_.deviceFactor;
  r_.scriptOptions = ScriptOptions{opts_.flag(LineOptions::Hebrew), opts_.flag(LineOptions::Translit),
                                   opts_.flag(LineOptions::ModernGreek)};
  r_.flipWords = opts_.flag(LineOptions::FlipWord);
  r_.setTextClr(colour);
  r_.SelectFont(0, s, 0);
  r_.ResetMarkup();
}

void TTxtDrw::measureLine(CellLineText& it, int s, bool bold) {
  setupRenderer(s, 0, false);
  r_.measureOnly = true;
  double adv = 0;
  if (bold) r_.DrawMarkup(0, 0, adv, "<b>" + it.text + "</b>");
  else r_.DrawMarkup(0, 0, adv, it.text);
  r_.measureOnly = false;
  it.width = it.code == 0 ? kGapWordWidth : static_cast<std::int32_t>(std::ceil(adv - 1e-6));
  it.tooWide = !opts_.flag(LineOptions::ShowCompleteFields) && it.width > 300.0 * view_.zoom;
  it.measuredGeneration = fontGeneration_;
  it.measuredBold = bold;
}

void TTxtDrw::composeLine(DisplayCell& cell, int, int s, CellLineText& it, std::uint8_t b) {
  const std::uint16_t c = cell.code;
  std::string text;
  bool unique = false;
  if (c == 0) {
    text = kGapText;
  } else if (s == 0) {
    text = db_.entry(0, c).text;
  } else if (b == 255) {
    if (opts_.flag(LineOptions::ShowNonEntries)) text = db_.rendering(s, c, 0);
  } else {
    text = db_.rendering(s, c, b);
    unique = db_.singleRendering(s);
  }
  if (cell.marks[3]) {
    // The tags must survive the length limit, so the text gives way instead.
    static const std::string open = "<ms>", close = "</ms>";
    if (text.size() > kMaxText - open.size() - close.size()) text.resize(kMaxText - open.size() - close.size());
    text = open + text + close;
  }
  if (text.size() > kMaxText) text.resize(kMaxText);
  it.text = std::move(text);
  it.code = c;
  it.sublinear = s;
  it.selector = b;
  it.unique = unique;
  it.streamPos = cell.streamPos;
  it.measuredGeneration = 0;
  it.tooWide = false;
}

// A word whose line carries "<=>" joins the cell before it: that cell's lines take its texts.
void TTxtDrw::mergeConnected(int cellIndex) {
  ViewTables& t = tables();
  const int prev = cellIndex - 1;
  if (prev < (view_.perRowTexts() ? rowStartCell_ : 0)) return;
  DisplayCell& pc = t.cells[std::size_t(prev)];
  if (pc.kind != DisplayCell::Word) return;
  const DisplayCell& cc = t.cells[std::size_t(cellIndex)];
  int widest = 0;
  for (int k = 0; k < layout_.lineCount; ++k) {
    CellLineText& pi = itemFor(prev, k);
    const CellLineText& ci = itemFor(cellIndex, k);
    if (pi.code != 0 && pi.mergedPos != cc.streamPos) {
      std::string joined = pi.text;
      if (!ci.text.empty()) {
        if (joined.empty()) joined = ci.text;
        else joined += (pi.sublinear == 0 ? " " : " | ") + ci.text;
      }
      if (joined.size() > kMaxText) joined.resize(kMaxText);
      pi.text = std::move(joined);
      pi.mergedPos = cc.streamPos;
      measureLine(pi, pi.sublinear, k == 0 && hitBold(pc));
    }
    widest = std::max(widest, pi.width);
  }
  const int rowWidth = rowRight_ - rowLeft_;
  widest = rowWidth < 10 ? 10 : std::min(widest, rowWidth);
  if (prev >= rowStartCell_) runWidth_ += widest - pc.width;
  pc.width = widest;
}

void TTxtDrw::buildWordCell(std::int32_t absPos, std::uint16_t c) {
  ViewTables& t = tables();
  DisplayCell& cell = t.cells[std::size_t(cur_)];
  cell.kind = DisplayCell::Word;
  cell.code = c;
  cell.streamPos = absPos;
  cell.searchHit = view_.markHits && view_.hits && view_.hits->isHit(absPos);

  // Pending marks.
  cell.marks = pendingMarks_;
  const int half = roundHalfAway(gap_ / 2.0);
  if (pendingMarks_[0] || pendingMarks_[1]) {
    cell.decoration = pendingMarks_[0] ? 13 : 14;
    cell.spaceBefore = cell.spaceAfter = -half;
    cell.gapBefore = cell.gapAfter = 0;
  }
  if (pendingMarks_[2]) {
    cell.decoration = 15;
    cell.spaceBefore = cell.spaceAfter = cell.extraLeft = cell.extraRight = 0;
    cell.gapBefore = cell.gapAfter = 0;
  }
  if (pendingMarks_[5] || pendingMarks_[7] || pendingMarks_[8]) cell.decoration = 5;
  if (pendingMarks_[6]) {
    cell.decoration = 5;
    cell.extraLeft += 2 * gap_;
    cell.extraRight += 2 * gap_;
  }
  // Variant membership.
  int shown = 0, member = 0;
  for (int v = 0; v < 5; ++v)
    if (variantShown(v) && v < std::max<int>(1, int(db_.variants().size()))) {
      ++shown;
      if (pendingVariants_[std::size_t(v)]) ++member;
    }
  if (variantRange_) {
    cell.variantNames = 1;
    cell.variantMembers = pendingVariants_;
    cell.noVariant = member == 0;
    cell.allOrNone = member == 0 || member == shown;
  } else {
    cell.allOrNone = 1;
  }

  const TWl& table = db_.appliedTable();
  const bool rebuild = view_.rebuild || view_.perRowTexts();
  const bool connect = opts_.flag(LineOptions::ShowWordsConnect);
  int widest = 0;
  bool composed = false;
  for (int s = 0; s < table.slotCount && s < DisplayCell::kLines; ++s) {
    std::uint8_t b = 0;
    if (s > 0) {
      const TSelection& sel = db_.selection(s);
      b = std::size_t(absPos) < sel.size() ? sel[std::size_t(absPos)] : 255;
    }
    cell.selectors[std::size_t(s)] = b;
    const int k = lineOf_[std::size_t(s)];
    if (k < 0) continue;
    CellLineText& it = itemFor(cur_, k);
    if (rebuild || it.streamPos != absPos || it.sublinear != s || it.code != c) {
      composeLine(cell, cur_, s, it, b);
      it.mergedPos = -1;
      composed = true;
    }
    const bool bold = k == 0 && hitBold(cell);
    if (it.measuredGeneration != fontGeneration_ || it.measuredBold != bold) measureLine(it, s, bold);
    if (connect && it.text.find("<=>") != std::string::npos) {
      cell.connected[std::size_t(k)] = 1;
      ++cell.connectedCount;
    }
    widest = std::max(widest, it.width);
  }
  const int rowWidth = rowRight_ - rowLeft_;
  if (widest > rowWidth && rowWidth >= 10) {
    // Too wide for any row: it gets a row of its own, drawn grey.
    cell.greyed = 1;
    cell.effects = 0;
  }
  cell.width = rowWidth < 10 ? 10 : std::min(widest, rowWidth);
  if (connect && cell.connectedCount > 0) {
    if (composed) mergeConnected(cur_);
    cell.width = 0;
    cell.spaceBefore = cell.spaceAfter = cell.extraLeft = cell.extraRight = 0;
    cell.gapBefore = cell.gapAfter = 0;
  }
  if (cell.searchHit && int(t.hitList.size()) < kMaxHitList &&
      (t.hitList.empty() || t.cells[std::size_t(t.hitList.back())].streamPos < absPos))
    t.hitList.push_back(cur_);
}

int TTxtDrw::labelWidth(int chapter, int verse) {
  r_.SelectFont(0, 23, 0);
  const double w = r_.TextWidth8(std::to_string(chapter)) + r_.TextWidth8(":" + std::to_string(verse));
  return static_cast<int>(std::ceil(w - 1e-6));
}

void TTxtDrw::buildVerseCell(std::int32_t absPos, std::uint16_t c) {
  DisplayCell& cell = tables().cells[std::size_t(cur_)];
  cell.kind = DisplayCell::Verse;
  cell.code = c;
  cell.streamPos = absPos;
  cell.width = 0;
  cell.noOverflow = 1;
  const std::uint16_t info = db_.cellAt(absPos + 1);
  db_.calc().setPosition(absPos);
  cell.chapter = db_.calc().Chapter();
  cell.verse = c - kVerseCode;
  cell.verseLowByte = (info & 0xFF) == 0 ? 32 : std::uint8_t(info & 0xFF);
  cell.headingFlag = (info >> 14) & 1;
  cell.breakFlag = (info >> 13) & 1;
  if (cell.headingFlag || cell.breakFlag) lastFlaggedVerse_ = cell.verse;

  const int g = gap_;
  const bool nvnl = opts_.flag(LineOptions::Nvnl);
  const int label = view_.verseLabels ? labelWidth(cell.chapter, cell.verse) : 0;
  struct Spacing { int sb, el, er, sa, gb, ga; };
  Spacing sp{};
  if (!nvnl) {
    if (view_.verseLabels) sp = {2 * g, label, 0, g, 1, 0};
    else if (view_.narrowMarkers) sp = {g, g, g, 0, 0, 0};
    else sp = {0, g, g, 0, 1, 0};
  } else {
    if (view_.verseLabels) sp = {0, label, 0, g, 0, 0};
    else if (view_.narrowMarkers) sp = {0, g, g, g, 0, 0};
    else sp = {0, -g, 0, 0, 0, 0};
  }
  cell.spaceBefore = sp.sb;
  cell.extraLeft = sp.el;
  cell.extraRight = sp.er;
  cell.spaceAfter = sp.sa;
  cell.gapBefore = std::uint8_t(sp.gb);
  cell.gapAfter = std::uint8_t(sp.ga);
}

// Appends the current cell; true when the row was already over-full before it.
bool TTxtDrw::appendCellStops() {
  ViewTables& t = tables();
  DisplayCell& cell = t.cells[std::size_t(cur_)];
  const bool stop = runWidth_ > rowRight_ - rowLeft_;
  runWidth_ += cell.advance();
  if (cur_ + 1 >= kMaxCells) throw DisplayRangeError("display cell table full");
  ++cur_;
  t.count = std::max(t.count, cur_);
  t.cells[std::size_t(cur_)].reset(gap_);
  return stop;
}

bool TTxtDrw::walkOne() {
  const std::int32_t abs = first_ + pos_;
  const std::uint16_t c = db_.cellAt(abs);
  bool stop = false;
  if (c >= kVerseCode) {
    buildVerseCell(abs, c);
    stop = appendCellStops();
    pos_ += 2;
  } else if (c >= kSignFirst && c <= kSignFirst + 2) {
    int subtype = 0;
    if (opts_.flag(LineOptions::VariantSigns)) {
      const int index = c - kSignFirst;
      if (index == 1 && variantShown(0)) subtype = 1;
      else if (index == 2) subtype = 2;
      else if (index == 0 && variantShown(1)) subtype = 3;
    }
    if (subtype) {
      DisplayCell& cell = tables().cells[std::size_t(cur_)];
      cell.kind = DisplayCell::Sign;
      cell.decoration = std::uint8_t(subtype);
      cell.code = c;
      cell.streamPos = abs;
      cell.width = 0;
      if (subtype < 3) {
        cell.extraLeft = cell.extraRight = gap_ / 4;
        cell.gapAfter = 0;
        cell.noOverflow = 1;
      } else {
        cell.extraLeft = 0;
        cell.extraRight = gap_;
        cell.gapBefore = 0;
        cell.keepWithPrevious = 1;
      }
      stop = appendCellStops();
    }
    ++pos_;
  } else if (c >= 64000 && c <= kConsumedLast) {
    if (c >= kRangeFirst && c <= kRangeLast) {
      pendingVariants_[std::size_t(c - kRangeFirst)] = 1;
      variantRange_ = true;
    } else if (c >= kMarkFirst && c <= kMarkLast) {
      const bool hooks = opts_.flag(LineOptions::Toggles);
      const bool comments = opts_.flag(LineOptions::TxtCmsShow);
      const int m = c - kMarkFirst;
      bool cond = false, hides = false;
      switch (m) {
        case 0: case 1: case 2: cond = hooks; hides = true; break;
        case 3: case 4: cond = comments; hides = true; break;
        case 5: cond = opts_.flag(LineOptions::ColorFill); break;
        case 6: case 7: case 8: cond = hooks; break;
        default: break;
      }
      if (cond) pendingMarks_[std::size_t(m)] = 1;
      else if (hides) showNext_ = false;
    } else if (c >= kHookFirst && c <= kHookLast) {
      if (opts_.flag(LineOptions::Toggles) && (pendingHasShownVariant() || !variantRange_)) {
        static const int subtypes[6] = {6, 7, 8, 9, 11, 12};
        const int h = c - kHookFirst;
        DisplayCell& cell = tables().cells[std::size_t(cur_)];
        const int g = gap_;
        struct Geo { int sb, sa, el, er; };
        const Geo geo[6] = {{g, 0, 0, g}, {0, g, g, 0}, {g, 0, g / 2, 3 * g},
                            {0, g, 3 * g, g / 2}, {g, 0, 0, g}, {0, g, g, 0}};
        cell.kind = DisplayCell::Sign;
        cell.decoration = std::uint8_t(subtypes[h]);
        cell.code = c;
        cell.streamPos = abs;
        cell.width = 0;
        cell.spaceBefore = geo[h].sb;
        cell.spaceAfter = geo[h].sa;
        cell.extraLeft = geo[h].el;
        cell.extraRight = geo[h].er;
        cell.variantMembers = pendingVariants_;
        if (h == 0 || h == 4) {
          cell.noOverflow = 1;
          cell.gapAfter = 0;
        } else if (h == 1 || h == 5) {
          cell.keepWithPrevious = 1;
          cell.gapBefore = 0;
        }
        stop = appendCellStops();
      }
      pendingVariants_ = {};
      variantRange_ = false;
    }
    ++pos_;
  } else if (c >= 64000) {
    ++pos_;  // other layout codes take no cell
  } else {
    const bool hidden = !showNext_ || (variantRange_ && !pendingHasShownVariant());
    if (hidden) {
      tables().cells[std::size_t(cur_)].reset(gap_);
    } else {
      buildWordCell(abs, c);
      stop = appendCellStops();
    }
    pendingMarks_ = {};
    pendingVariants_ = {};
    variantRange_ = false;
    showNext_ = true;
    ++pos_;
  }
  if (pos_ > last_ - first_) {
    walkEnded_ = true;
    return true;
  }
  return stop;
}

void TTxtDrw::BuildRow(int rowLeft, int rowRight) {
  rowLeft_ = rowLeft;
  rowRight_ = rowRight;
  runWidth_ = 0;
  rowStartCell_ = cur_;
  // The row re-reads the marks before its first word.
  pendingMarks_ = {};
  pendingVariants_ = {};
  variantRange_ = false;
  showNext_ = true;
  tables().cells[std::size_t(cur_)].reset(gap_);
  walkEnded_ = pos_ > last_ - first_;
  while (!walkEnded_) {
    if (walkOne()) break;
  }
}

}  // namespace kov
