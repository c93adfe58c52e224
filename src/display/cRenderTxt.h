#pragma once
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/ColorBlend.h"
#include "db/ScriptTransform.h"
#include "display/LetterCodeFonts.h"
#include "display/RenderErrors.h"

class QPainter;
class QTextLayout;

namespace kov {

QColor toQColor(StoredColor c);

// A face and a logical height as stored: a negative height is the character height in pixels, a
// positive one the cell height (ascent + descent).
struct FontFace {
  QString name;
  int height = -12;
};

// What a font set needs from one presentation's settings.
struct PresentationFonts {
  std::vector<FontFace> sublinears;  // slots 0 .. count-1 (at most 21)
  FontFace translation{QStringLiteral("Times New Roman"), -16};
  FontFace notes{QStringLiteral("Arial"), -12};
  int verseNumberHeight = -10;
  int monospaceHeight = -13;
  int smallCaptionHeight = -11;
};

// The renderer's markup state for one field; copyable so a caller can measure ahead and go back.
struct MarkupState {
  int style = 0;  // bold 1, italic 2, small 4, underline 8
  double raise = 0;
  int colorIndex = 0;
  bool light = false;
  bool greyBand = false;
  bool highlight = false;
  std::array<bool, 3> link{};
  int savedMonoSlot = -1;  // slot to return to at "/ms"; -1 when no span is open
  bool barContinues = false;
  double barLeft = 0, barRight = 0, barBaseline = 0;
  std::array<std::array<StoredColor, 2>, 4> pairs{};  // [colour index][light]
  std::optional<std::array<StoredColor, 2>> savedBase;  // base pair while h1/h3 replace it
  bool cut = false;  // the field was truncated: later runs are neither drawn nor measured
  int slot = 0;      // font slot in effect (changes with "ms"); filled by markupState()
};

// The renderer every view draws and measures original-language words, glosses and marked-up
// fields with. It owns three font sets of 27 slots x 16 styles, made in advance so that choosing
// a font while painting is a lookup.
class TRenderTxt {
 public:
  static constexpr int kSets = 3;
  static constexpr int kSlots = 27;
  static constexpr int kStyles = 16;
  enum StyleBits { Bold = 1, Italic = 2, Small = 4, Underline = 8 };
  enum { AlignTop = 0, AlignBaseline = 24 };
  static constexpr int kMonoSlot = 25;
  static constexpr int kMaxHighlightRecords = 100;
  static constexpr int kMaxTagName = 99;

  TRenderTxt();
  ~TRenderTxt();
  TRenderTxt(const TRenderTxt&) = delete;
  TRenderTxt& operator=(const TRenderTxt&) = delete;

  // --- fonts ----------------------------------------------------------------------------
  void BuildFontSet(int set, const PresentationFonts& fonts, double zoom);
  void BuildAdhocFont(const QString& face, int height, int slot);
  void SelectFont(int set, int slot, int style);
  void SelectAdhocFont(int slot, int style) { SelectFont(2, slot, style); }
  // The font a slot and style draw with (a style that was not built falls back to style 0).
  const QFont& font(int set, int slot, int style) const;
  LetterCode slotLetterCode(int set, int slot) const;
  int currentSet() const { return set_; }
  int currentSlot() const { return slot_; }
  int currentStyle() const { return style_; }
  double ascent() const;
  double descent() const;
  double height() const { return ascent() + descent(); }

  // --- colours ----------------------------------------------------------------------------
  // Set clBgInt first: the light variants are blends toward it.
  StoredColor clBgInt = 0xFFFFFF;
  StoredColor clSrchTag = 0x80F8FF;
  void setTextClr(StoredColor c);
  StoredColor textClr() const { return textClr_; }
  StoredColor currentColor() const;
  void ResetMarkup();
  MarkupState markupState() const;
  void setMarkupState(const MarkupState& s);

  // --- run settings ---------------------------------------------------------------------------
  QPainter* canvas = nullptr;
  int textAlign = AlignBaseline;
  bool drawEffects = true;
  bool clip = false;
  bool rightToLeft = false;
  bool completeFields = false;
  bool measureOnly = false;  // shape and advance the pen, draw nothing
  const CharMap* charMap = nullptr;
  bool useCharMap = false;
  bool hitTest = false;
  QPointF hitPoint;
  double lineGap = 0;
  double scaleX = 1, scaleY = 1;  // the view's two scale factors
  ScriptOptions scriptOptions;    // applied line options for the original-language slot
  bool flipWords = false;

  // --- outputs of a draw ------------------------------------------------------------------------
  int hitPos = -1;                   // 0-based index into the field text; -1 when none
  std::vector<double> highlightXs;   // left x of each highlighted run (at most 100)

  // --- drawing ------------------------------------------------------------------------------------
  void DrawMarkup(double x, double y, double& advance, const std::string& text8, const QRectF& clipRect = {});
  void DrawMarkupW(double x, double y, double& advance, const QString& text, const QRectF& clipRect = {});
  void TextOut8(double x, double y, const std::string& text);
  double TextWidth8(const std::string& text) const;
  double TextHeight8(const std::string& text) const;
  QSizeF TextExtentW(const QString& text);

  static QString StripTags(const QString& text);
  QString ToUnicode(const std::string& text8) const;
  std::string FromUnicode(const QString& text) const;

  // Shaped layouts kept between measuring and drawing the same text.
  void clearLayoutCache();
  std::size_t layoutCacheSize() const;

 private:
  struct FontEntry {
    QFont font;
    std::optional<QFontMetricsF> metrics;
    LetterCode code = LetterCode::None;
    bool built = false;
    std::uint32_t id = 0;  // unique per build, keys the layout cache
  };
  struct Shaped;
  struct CacheKey {
    std::uint32_t fontId;
    bool rtl;
    QString text;
    bool operator==(const CacheKey&) const = default;
  };
  friend size_t qHash(const CacheKey& k, size_t seed) noexcept;

  FontEntry& entry(int set, int slot, int style);
  const FontEntry& entry(int set, int slot, int style) const;
  const FontEntry& current() const;
  void makeEntry(FontEntry& e, const QString& face, int height, int style, LetterCode code);
  const Shaped& shape(const FontEntry& f, const QString& text, bool rtl);
  void drawRun(double x, double y, double& advance, QString run, int firstIndex);
  void applyTag(const QString& name);
  void recomputePairs();

  std::vector<FontEntry> fonts_;  // [set][slot][style]
  FontEntry fallback_;
  std::uint32_t nextFontId_ = 1;
  int set_ = 0, slot_ = 0, style_ = 0;
  StoredColor textClr_ = 0;
  MarkupState m_;
  QHash<CacheKey, std::shared_ptr<Shaped>> cache_;
};

}  // namespace kov
