#pragma once
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "db/ColorBlend.h"
#include "db/References.h"
#include "db/VerseRef.h"
#include "display/Ufocus.h"

class QActionGroup;
class QLabel;
class QPainter;
class QScrollBar;
class QToolButton;

namespace kov {

class TintLin;
class TRenderTxt;
class TTxtDrw;
class Twtext;
class TTranslations;
class TFrmInfo2;
class TtrnNote;
class TColumnSets;
class TSourceList;
class TVerseColumnAdapter;
class IVerseColumn;
struct TCellView;

// Colours of the window ($BBGGRR as stored in the settings).
struct TIntLinColours {
  StoredColor clBgInt = 0xFFFFFF;
  StoredColor clBgIntHdr = 0xE8F4F9;
  StoredColor clHorRule = 0xF5E5E0;
  StoredColor clBgTN = 0xFFFFFF;
  StoredColor clMoveFoc = 0xFF0000;
  StoredColor clKeyBFoc = 0xFF0000;
  StoredColor clMsdnFoc = 0x0000FF;
};

// The fonts of the verse columns on screen: translation text and note text.
struct TColumnFont {
  QString name = QStringLiteral("Times New Roman");
  int height = -16;
  StoredColor colour = 0;
  int lineSpace = 0;  // extra pixels below each line
};

// Margins of the screen layout in pixels: X0 + X1 + X2 is the rows' left margin (the verse-number
// strip), X3 the space before the division, X4 the translation area's left margin, X5 the gap
// between translation columns, X6 the translation area's right margin.
struct TIntLinMargins {
  std::array<int, 7> x{0, 10, 10, 10, 25, 25, 10};
  int rowsMargin() const { return x[0] + x[1] + x[2]; }
};

// The interlinear window: a header strip naming the place and the lines, the passage as rows of
// word cells, and the translations in the right margin or on top. Everything is painted into an
// off-screen image that is copied to the screen in one go; the focus frames go over the copy.
class TIntLinWin : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kHeaderHeight = 22;
  static constexpr int kMaxColumns = 10;
  static constexpr int kDragLimit = 30;    // the division stays this far from the right edge
  static constexpr int kMaxScrollRows = 10;
  static constexpr int kMaxRowStarts = 400;
  static constexpr int kThumbRange = 50;
  static constexpr int kSublinearLabels = 20;
  static QString noInterlinearText();

  // What the right mouse button would open at the last mouse position.
  enum class Popup { None, Word, Sublinear, Margin, TranslationSource };

  // The verse columns of set 1 of `columnSets` are this window's translation columns; without
  // them the window keeps columns of its own, each showing the first translation.
  TIntLinWin(TintLin& db, TRenderTxt& render, Twtext& layout, TTranslations* translations,
             TColumnSets* columnSets = nullptr, QWidget* parent = nullptr);
  ~TIntLinWin() override;

  // ---- place ----
  // Shows the passage from `ref`. False, with the no-interlinear text, when the text lacks the book.
  bool ShowPlace(const VerseRef& ref);
  std::int32_t startPosition() const { return start_; }
  VerseRef currentRef() const;
  // The header's place text for a position: book name, chapter, ":", verse and verse mark.
  QString placeText(std::int32_t position) const;

  // ---- painting ----
  // 1 copy the image only; 2 compose the cell texts again and paint, keeping the rebuild request;
  // 3 the same and clear it; 4 paint without touching the request.
  void Refresh(int mode);
  // Paints the current state into the off-screen image (mode 4) and returns it.
  const QImage& render();
  void setColours(const TIntLinColours& c);
  void setColumnFonts(const TColumnFont& translation, const TColumnFont& notes);
  const TIntLinColours& colours() const { return colours_; }
  TIntLinMargins margins;
  int zoomIndex = 0;  // 0..32; zoom = 1 + index / 16

  // ---- scrolling ----
  void RowDown(bool shift = false);
  void RowUp(bool shift = false);
  void PageDown();
  void PageUp();
  // While the thumb is dragged to d (-50..50) the header shows the place d verses away.
  void ShowThumbPlace(int delta);
  void GoThumbPlace();
  void stepVerses(int count);
  void stepChapters(int count);
  int scrollRows() const { return scrollRows_; }
  int pixelOffset() const { return pixelOffset_; }
  // Runs a smooth scroll in progress to its end at once.
  void finishSmoothScroll();
  bool verseComplete() const { return verseComplete_; }
  bool moreAbove() const { return scrollRows_ > 0; }
  const std::vector<std::int32_t>& rowStarts() const { return rowStarts_; }
  int versesShown() const { return versesShown_; }

  // ---- columns and layouts ----
  double translationShare = 0.25;  // the part of the width given to the translation area
  int columnCount() const { return columnCount_; }
  void setColumns(int count);
  // 1..3: the translations on top with 1 to 3 interlinear rows below; 4: in the right margin.
  void SetLayout(int tag);
  int layout() const { return layoutTag_; }
  void AddColumn();
  void RemoveColumn();
  void UpdateHeader();
  int divisionX() const;
  int columnWidth() const;
  TColumnSets& columnSets() { return *sets_; }
  // The translation column (1..count) under a point, 0 when none.
  int ColumnAt(const QPoint& p);
  Popup popupKind() const { return popup_; }

  // ---- focus and word information ----
  void setWordInfo(TFrmInfo2* info) { info_ = info; }
  Tfocus& focus() { return *focus_; }
  TShared& shared() { return shared_; }
  const TSelectedWord& selectedWord() const { return selected_; }

 signals:
  void placeChanged(const VerseRef& ref);
  // A word line was clicked (or chosen with Enter in keyboard mode).
  void wordChosen(const TSelectedWord& word);
  // The right button asks for a popup menu; the main window builds it.
  void popupRequested(TIntLinWin::Popup kind, const QPoint& globalPos);
  // A double click on a translation column asks for that verse in the memo window.
  void memoRequested(int column, const VerseRef& ref);
  // The panel's height should fit the on-top layout again.
  void fitHeightRequested();
  // Space over the no-interlinear text: the window layout is applied again.
  void layoutReapplyRequested();

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void wheelEvent(QWheelEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void mouseDoubleClickEvent(QMouseEvent*) override;
  void leaveEvent(QEvent*) override;

 private:
  // painting (IntLinPaint.cpp)
  void paintFull(QPainter& p);
  void paintOnTop(QPainter& p);
  void drawRows(QPainter& p, const TCellView& view, int top, int bottom, int maxRows, int left, int right,
                bool headings, IVerseColumn* const* columns, int columnCount);
  void drawHeading(QPainter& p, const QString& text, int left, int right, int y);
  void drawTriangles(QPainter& p, int right, int top, int bottom);
  void prepareColumns(QPainter& p, int top, int bottom);
  int usableWidth() const;
  bool rtl() const;
  int rowsLeft() const;
  int rowsRight() const;
  TCellView baseView(QPainter& p) const;
  void setPlaceLabel(const QString& text);
  // A column's name as the header and the on-top lines show it: a note collection in brackets.
  static QString columnTitle(const TtrnNote& c);
  // The share of the width that keeps `n` columns `width` wide, when it leaves room on both sides.
  void keepColumnWidth(int n, int width);
  void placeHeaderControls();

  // scrolling (IntLinScroll.cpp)
  void smoothStep();
  void startSmoothScroll();
  void scrollBarAction(int action);
  void newStart(std::int32_t position);

  void hoverTick();
  void keyboardCell(bool forward);
  void keyboardRow(bool down);

  TintLin& db_;
  TRenderTxt& render_;
  Twtext& layout_;
  TTranslations* translations_;
  std::unique_ptr<TTxtDrw> drw_;
  QImage image_;
  TIntLinColours colours_;
  mutable TReferences refs_;  // references of stream positions in this text
  TColumnFont translationFont_;
  TColumnFont noteFont_{QStringLiteral("Arial"), -12, 0, 0};

  std::int32_t start_ = -1;
  bool hasBook_ = true;
  bool rebuild_ = true;
  bool refreshing_ = false;
  int nextPaintMode_ = 3;
  double fontZoom_ = 0;  // the zoom the renderer's fonts were made for

  int scrollRows_ = 0;
  int pixelOffset_ = 0;
  int pixelTarget_ = 0;
  QTimer smoothTimer_;
  QElapsedTimer smoothClock_;
  qint64 smoothStartOffset_ = 50;
  bool verseComplete_ = false;
  std::vector<std::int32_t> rowStarts_;
  int versesShown_ = 0;
  std::int32_t lastPageSpan_ = 0;
  int thumbDelta_ = 0;

  int columnCount_ = 1;
  int layoutTag_ = 4;
  std::unique_ptr<TSourceList> ownList_;
  std::unique_ptr<TColumnSets> ownSets_;
  TColumnSets* sets_ = nullptr;
  TtrnNote& column(int i) const;  // 0-based, of set 1
  std::array<std::unique_ptr<TVerseColumnAdapter>, kMaxColumns> adapters_;
  int columnsDrawn_ = 0;
  bool dragging_ = false;
  Popup popup_ = Popup::None;

  TShared shared_;
  std::unique_ptr<Tfocus> focus_;
  TSelectedWord selected_;
  TFrmInfo2* info_ = nullptr;
  QTimer hoverTimer_;
  QPoint lastHoverPoint_{-100, -100};

  QWidget* header_ = nullptr;
  QLabel* place_ = nullptr;
  std::array<QLabel*, kSublinearLabels> lineLabels_{};
  std::array<QLabel*, kMaxColumns> columnLabels_{};
  QToolButton* plus_ = nullptr;
  QToolButton* minus_ = nullptr;
  QToolButton* layoutButton_ = nullptr;
  QActionGroup* layoutItems_ = nullptr;
  QScrollBar* scroll_ = nullptr;
  QLabel* noText_ = nullptr;
};

}  // namespace kov
