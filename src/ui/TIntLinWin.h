#pragma once
#include <QImage>
#include <QWidget>

#include <cstdint>
#include <memory>

#include "db/VerseRef.h"
#include "display/Ufocus.h"

#include <QTimer>

class QActionGroup;
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
class Tfocus;
class TtrnNote;
struct TCellView;

// The interlinear window: the passage from a verse on, as rows of word cells with their
// sublinears, and a translation column in the right margin. Painted into an off-screen image.
// Scrolls by verse (arrow keys, wheel), by chapter (Shift) and by page (Page Up/Down).
class TIntLinWin : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kHeaderHeight = 22;

  TIntLinWin(TintLin& db, TRenderTxt& render, Twtext& layout, TTranslations* translations,
             QWidget* parent = nullptr);
  ~TIntLinWin() override;

  // Shows the passage from `ref` (its book, chapter and verse). False, showing the
  // no-interlinear text, when the text does not have the book.
  bool ShowPlace(const VerseRef& ref);
  // The first verse shown: its marker position and reference.
  std::int32_t startPosition() const { return start_; }
  VerseRef currentRef() const;
  // Moves by `count` verses (negative: back), clamped to the text.
  void stepVerses(int count);
  void stepChapters(int count);

  int zoomIndex = 0;             // 0..32; zoom = 1 + index / 16
  double translationShare = 0.25;  // ratio: the part of the width given to the translation columns
  static constexpr int kMaxColumns = 10;
  static constexpr int kDragLimit = 30;  // the division stays this far from the right edge
  // Translation columns in the right margin (0..10), each showing a translation slot.
  int columnCount() const { return columnCount_; }
  void setColumns(int count);
  // 1..3: the translations on top with 1 to 3 interlinear rows below; 4: translations in the right margin.
  void SetLayout(int tag);
  int layout() const { return layoutTag_; }
  void AddColumn();
  void RemoveColumn();
  // The x of the division between the rows and the translation columns.
  int divisionX() const;
  // Margins of the layout in pixels: rows' left margin, space before the division, translation
  // area's left margin, gap between columns, its right margin.
  int rowsLeft = 20, beforeDivision = 10, columnsLeft = 25, columnGap = 25, columnsRight = 10;
  int versesShown() const { return versesShown_; }
  // Paints the current state into the off-screen image and returns it.
  const QImage& render();

  // The word information window shown when the mouse rests on a word (not owned).
  void setWordInfo(TFrmInfo2* info) { info_ = info; }
  Tfocus& focus() { return *focus_; }
  const TShared& shared() const { return shared_; }
  const TSelectedWord& selectedWord() const { return selected_; }

 signals:
  void placeChanged(const VerseRef& ref);
  // A word line was clicked (or chosen with Enter in keyboard mode).
  void wordChosen(const TSelectedWord& word);

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void wheelEvent(QWheelEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void leaveEvent(QEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;

 private:
  void paintHeader(QPainter& p, int width);
  void paintTranslation(QPainter& p, int left, int right, int top, int bottom);
  void hoverTick();
  // Verse column `index` (0-based) over its translation, or nullptr when that one is not open.
  std::unique_ptr<TtrnNote> makeColumn(int index, QPainter& p, int top, int bottom);

  TintLin& db_;
  TRenderTxt& render_;
  Twtext& layout_;
  TTranslations* translations_;
  std::unique_ptr<TTxtDrw> drw_;
  QImage image_;
  std::int32_t start_ = -1;
  bool hasBook_ = true;
  int versesShown_ = 0;
  bool dirty_ = true;
  double fontZoom_ = 0;  // the zoom the renderer's fonts were made for
  TShared shared_;
  std::unique_ptr<Tfocus> focus_;
  TSelectedWord selected_;
  TFrmInfo2* info_ = nullptr;
  QTimer hoverTimer_;
  QScrollBar* scroll_ = nullptr;
  QToolButton* plus_ = nullptr;
  QToolButton* minus_ = nullptr;
  int columnCount_ = 1;
  int layoutTag_ = 4;
  QToolButton* layoutButton_ = nullptr;
  QActionGroup* layoutItems_ = nullptr;
  void renderRows(QPainter& p, const TCellView& base, int top, int bottom, int maxRows, int left, int right);
  void renderOnTop(QPainter& p, int top);
  bool dragging_ = false;
  int columnWidth() const;
  int usableWidth() const;
  void syncScrollBar();
  void scrolledTo(int value);
  QPoint lastHoverPoint_{-100, -100};
};

}  // namespace kov
