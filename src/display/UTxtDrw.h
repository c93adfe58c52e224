#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/PresetRecords.h"
#include "db/ColorBlend.h"
#include "display/LetterCodeFonts.h"
#include "display/RenderErrors.h"

class QPainter;

namespace kov {

class TintLin;
class TRenderTxt;
struct TWl;
struct PresentationFonts;

// One display cell: a word with its lines, a verse label or a sign. Fixed-size so the tables are
// allocated once per view and a repaint allocates nothing.
struct DisplayCell {
  enum Kind : std::uint8_t { Empty = 0, Word = 1, Verse = 2, Sign = 3 };
  static constexpr int kMarks = 13;  // pending marks 64110 .. 64122
  static constexpr int kVariants = 5;
  static constexpr int kLines = 20;

  std::int32_t x = 0;  // left of the content as drawn, after mirroring
  std::int32_t width = 0;
  std::int32_t rowRuleTop = 0;
  std::uint8_t keepWithPrevious = 0;
  std::uint8_t noOverflow = 0;
  std::uint8_t gapBefore = 1;
  std::uint8_t gapAfter = 1;
  std::int32_t spaceBefore = 0;
  std::int32_t spaceAfter = 0;
  std::int32_t extraLeft = 0;
  std::int32_t extraRight = 0;
  std::int32_t streamPos = 0;
  std::uint16_t code = 0;
  std::array<std::uint8_t, kLines> selectors{};
  std::uint8_t kind = Empty;
  std::uint8_t decoration = 0;
  std::int32_t verseCounter = 0;
  std::int32_t chapter = 0;
  std::int32_t verse = 0;
  std::uint8_t verseLowByte = 0;
  std::uint8_t headingFlag = 0;
  std::uint8_t breakFlag = 0;
  std::array<std::uint8_t, kMarks> marks{};
  std::array<std::uint8_t, kVariants> variantMembers{};
  std::uint8_t noVariant = 0;
  std::uint8_t allOrNone = 0;
  std::uint8_t searchHit = 0;
  std::uint8_t effects = 1;
  std::uint8_t greyed = 0;
  std::array<std::uint8_t, kLines + 1> connected{};
  std::int32_t connectedCount = 0;
  std::uint8_t variantNames = 0;  // the word opens a variant range: its variants' names go above it

  void reset(int gap);
  int advance() const { return width + spaceBefore + extraLeft + extraRight; }
};

// One line of a word cell: the composed text (kept between repaints) and its measurement.
struct CellLineText {
  std::string text;  // at most 255 bytes
  std::int32_t x = 0;
  std::int32_t width = 0;
  std::int32_t sublinear = 0;
  std::uint16_t code = 0;
  std::uint8_t selector = 0;
  bool unique = false;
  bool tooWide = false;
  // What the stored text and width belong to, so a stale item is never shown for another word.
  std::int32_t streamPos = -1;
  std::uint32_t measuredGeneration = 0;  // 0: not measured
  bool measuredBold = false;
  std::int32_t mergedPos = -1;  // the connected word already joined into this line
};

// A verse label drawn, to map a label back to its reference.
struct TvsInfo {
  std::string bks;
  std::string chapter;
  std::string verse;
  std::int32_t position = 0;
};

// Decides whether a stream position is a search hit (the search engine provides it).
class ISearchHits {
 public:
  virtual ~ISearchHits() = default;
  virtual bool isHit(std::int32_t position) const = 0;
};

// Link marks of an interlinear word (translation linking provides them).
class ILinkMarks {
 public:
  enum Mark : int { Active = 1, Other = 2, Making = 3 };  // tags h1, h2, h3
  virtual ~ILinkMarks() = default;
  // The marks of the word at `position`, one per shown translation column that links it.
  virtual void marksOf(std::int32_t position, std::vector<Mark>& out) const = 0;
};

// A verse column drawn on top of a row (translation or note column of a view).
class IVerseColumn {
 public:
  virtual ~IVerseColumn() = default;
  virtual char kind() const = 0;  // 'T' translation, 'N' notes, 'V', '-' empty
  // The verse the column stands on, as chapter * 65536 + verse.
  virtual std::int32_t verseKey() const = 0;
  virtual void moveToVerse(std::int32_t verseKey) = 0;
  virtual int runningY() const = 0;
  virtual void setRunningY(int y) = 0;
  virtual int lineHeight() const = 0;
  // Draws the current verse from the running y with the given indent and moves on to the next
  // verse; returns the bottom of what was drawn (the running y follows it).
  virtual int drawNextVerse(int indent) = 0;
};

inline std::int32_t verseKeyOf(int chapter, int verse) { return chapter * 65536 + verse; }

// Colours and sizes of the cell drawing that come from the settings of each presentation.
struct TCellStyle {
  StoredColor clBgInt = 0xFFFFFF;
  StoredColor clSrchTag = 0x80F8FF;
  std::array<int, kPresentations> verseNumberHeight{-10, -60, -40};
  std::array<int, kPresentations> verseMarkerSize{4, 24, 24};
  std::array<StoredColor, kPresentations> verseMarkerColor{0x888888, 0x888888, 0x888888};
  std::array<StoredColor, kPresentations> underlineColor{0xFF8888, 0xFF8888, 0xFF8888};
  std::array<int, kPresentations> rowGap{4, 60, 60};  // between rounds of translation rows
};

// What a view tells the cell drawer before a pass: where, for which presentation, how scaled,
// and the view's own verse-label modes.
struct TCellView {
  int view = 0;          // 0 interlinear window and printing, 1 search results panel
  int presentation = 0;  // 0 screen, 1 and 2 print presets
  QPainter* canvas = nullptr;
  int areaLeft = 0, areaTop = 0, areaRight = 0, areaBottom = 0;
  int visibleLeft = -1000000, visibleRight = 1000000;  // cells outside are greyed
  double zoom = 1.0;
  double deviceFactor = 1.0;
  double lineFactor = 1.0;  // 1 on screen, the printer's factor when printing
  double printScale = 1.0;
  bool layoutOnly = false;  // skipped print pages: laid out, not drawn
  bool rebuild = false;     // compose the line texts again
  bool markHits = false;
  bool hitMarkingOff = false;
  bool showLinks = false;
  const ISearchHits* hits = nullptr;
  const ILinkMarks* links = nullptr;
  // Verse-label modes.
  bool verseLabels = true;
  bool narrowMarkers = false;
  bool headingRows = true;
  // Options some views force for their own rows (-1 keeps the line option).
  int forceNvnl = -1;
  int forceJustify = -1;

  double scale() const { return zoom * deviceFactor; }
  // Screen views keep their texts between repaints; the others compose them per row.
  bool perRowTexts() const { return view != 0 || presentation != 0; }
};

// The vertical layout of the lines inside a cell.
struct TLineLayout {
  static constexpr int kMaxLines = 21;
  int lineCount = 0;
  std::array<int, kMaxLines + 1> sublinear{};
  std::array<int, kMaxLines + 1> top{};  // [lineCount] holds the bottom of the last line
  std::array<int, kMaxLines + 1> baseline{};
  std::array<int, kMaxLines> fullTop{};
  std::array<int, kMaxLines> fullBaseline{};
  int rowHeight = 0;
  int fullHeight = 0;
  int variantLines = 0;
  int lastVariant = -1;            // 0-based
  int variantLineHeight = 0;
  std::array<int, 5> shownVariants{};  // 0-based variant numbers stacked in the first line
};

// Builds display cells from the word stream, lays them out in rows and draws them.
class TTxtDrw {
 public:
  static constexpr int kMaxCells = 4096;
  static constexpr int kMaxItems = 4096;
  static constexpr int kMaxVerseLabels = 1000;
  static constexpr int kMaxRowVerses = 10;
  static constexpr int kMaxHitList = 201;
  static constexpr int kGapWordWidth = 500;
  static constexpr StoredColor kSilver = 0xC0C0C0;
  static constexpr StoredColor kGrey = 0x808080;
  static constexpr StoredColor kLabelGrey = 0x888888;
  static constexpr StoredColor kLightBlue = 0xFF8888;
  static constexpr StoredColor kLightRed = 0xE0E0FF;
  static constexpr StoredColor kRed = 0x0000FF;
  static constexpr const char* kGapText = ".     .     ";

  TTxtDrw(TintLin& db, TRenderTxt& render);

  TCellStyle style;

  // Fonts of a presentation for the renderer's set 0, from the applied table.
  static PresentationFonts fontsOf(const TWl& table, int presentation, int verseNumberHeight);
  // Fonts or zoom changed: stored widths are measured again on the next pass.
  void FontsChanged();

  // ---- assembly ----
  // Starts a pass over a passage (positions first..last, absolute) for a view.
  void ResetView(const TCellView& view, std::int32_t first, std::int32_t last, bool continuePass = false);
  // Appends cells for one row from the walk position until the row is over-full or the passage ends.
  void BuildRow(int rowLeft, int rowRight);

  // ---- layout and drawing ----
  void LayoutLines(int presentation, int sublinearCount);
  void DrawRow(int rowLeft, int rowRight, int y, bool perRowItems = false);
  // The window drew the heading row: the pending flags are cleared and the next row ignores the
  // flags of its first verse.
  void HeadingDrawn();
  void DrawTranslationRows(int y, IVerseColumn* const* columns, int columnCount, int columnSet = 1);

  int CellLeft(int contentX, int width) const;
  int LineOrigin(int x, int lineWidth, bool lineRtl) const;
  int RowX(int x) const;

  // ---- read access ----
  const DisplayCell& cell(int view, int index) const;
  const CellLineText& item(int view, int index) const;
  const CellLineText& lineItem(int view, int cellIndex, int line) const;
  const std::vector<TvsInfo>& verseLabels(int view) const { return views_[vi(view)].labels; }
  const std::vector<int>& hitCells(int view) const { return views_[vi(view)].hitList; }
  int cellCount(int view) const { return views_[vi(view)].count; }
  const TLineLayout& lines() const { return layout_; }
  const LineOptions& options() const { return opts_; }
  int gap() const { return gap_; }

  // Row state after DrawRow.
  int rowFirstCell() const { return rowFirst_; }
  int lastCell() const { return lastFit_; }
  int rowCellCount() const { return lastFit_ < rowFirst_ ? 0 : lastFit_ - rowFirst_ + 1; }
  std::int32_t nextRowStart() const { return pos_; }  // relative to the passage start
  bool endOfPassage() const { return endOfPassage_; }
  bool endedAtVerse() const { return endedAtVerse_; }
  bool noJustify() const { return noJustify_; }
  bool headingPending() const { return headingPending_; }
  const std::vector<std::int32_t>& rowVerses() const { return rowVerses_; }  // verse keys
  int verseLabelCounter() const { return verseLabelCounter_; }
  double extraPerGap() const { return extraPerGap_; }

 private:
  struct ViewTables {
    std::vector<DisplayCell> cells;
    std::vector<CellLineText> items;
    std::vector<TvsInfo> labels;
    std::vector<int> hitList;
    int count = 0;  // cells in use
  };
  static int vi(int view);
  ViewTables& tables() { return views_[vi(view_.view)]; }

  // assembly (CellAssembly.cpp)
  bool walkOne();
  bool appendCellStops();
  void buildWordCell(std::int32_t absPos, std::uint16_t c);
  void buildVerseCell(std::int32_t absPos, std::uint16_t c);
  void composeLine(DisplayCell& cell, int cellIndex, int s, CellLineText& it, std::uint8_t b);
  void mergeConnected(int cellIndex);
  void measureLine(CellLineText& it, int s, bool bold);
  bool hitBold(const DisplayCell& c) const;
  CellLineText& itemFor(int cellIndex, int line);
  int itemIndex(int cellIndex, int line) const;
  bool variantShown(int v) const;
  bool pendingHasShownVariant() const;
  void setupRenderer(int s, StoredColor colour, bool effects);
  int labelWidth(int chapter, int verse);

  // drawing (CellDrawing.cpp)
  void drawWordCell(int index, int contentX, int y);
  void drawVerseCell(int index, int contentX, int y);
  void drawDecoration(int index, int contentX, int y);
  void drawVariantNames(int index, int contentX, int y);

  TintLin& db_;
  TRenderTxt& r_;
  std::array<ViewTables, 2> views_;
  TCellView view_;
  LineOptions opts_;
  TLineLayout layout_;
  std::array<CharMap, 20> charMaps_{};
  std::array<bool, 20> useCharMap_{};
  std::array<int, 20> lineOf_{};  // visible line of each sublinear, -1 when hidden
  std::uint32_t fontGeneration_ = 1;
  int gap_ = 0;

  // walk state
  std::int32_t first_ = 0, last_ = -1;
  std::int32_t pos_ = 0;
  int cur_ = 0;  // current cell index
  std::array<std::uint8_t, DisplayCell::kMarks> pendingMarks_{};
  std::array<std::uint8_t, 5> pendingVariants_{};
  bool variantRange_ = false;
  bool showNext_ = true;
  bool endOfPassage_ = false;
  bool walkEnded_ = false;
  int rowLeft_ = 0, rowRight_ = 0;
  int runWidth_ = 0;
  int rowStartCell_ = 0;
  std::int32_t lastFlaggedVerse_ = -1;

  // row state
  int rowFirst_ = 0, lastFit_ = -1;
  bool endedAtVerse_ = false, noJustify_ = false, headingPending_ = false, ignoreFirstFlags_ = false;
  std::vector<std::int32_t> rowVerses_;
  int verseLabelCounter_ = -1;
  double extraPerGap_ = 0;
  int rowY_ = 0;
  bool perRowItems_ = false;
};

}  // namespace kov
