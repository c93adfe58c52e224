#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "db/ColorBlend.h"

class QPainter;
class QTextDocument;

namespace kov {

class TRenderTxt;

// One measured word of a verse text.
struct TWtextWord {
  std::int32_t start = 0;   // 1-based position in the source
  std::uint8_t length = 0;  // bytes
  std::uint8_t style = 0;   // 1 bold, 2 italic, 4 superscript
  StoredColor color = 0;
  std::int32_t width = 0;
  std::uint8_t raise = 0;
  bool spaceFollows = false;
  bool breakFollows = false;
  bool hitStart = false;  // first word of a search-hit run
};

// The verse text layout engine: turns a verse text with control bytes into measured words, breaks
// them into lines inside a rectangle, justifies full lines and draws them through the renderer's
// font set 0. One instance is shared; each caller sets the inputs it needs before `Layout`.
class Twtext {
 public:
  static constexpr int kMaxWords = 4096;
  static constexpr int kMaxHits = 101;
  static constexpr int kMaxLineTable = 256;
  static constexpr std::size_t kWordBuffer = 1024;
  static constexpr StoredColor kHitColor = 0x0000FF;
  static constexpr StoredColor kSuperscriptGrey = 0x808080;

  explicit Twtext(TRenderTxt& render);

  // --- inputs (pixels on the canvas) ---
  std::string source;  // 8-bit verse text; at most 65535 bytes are read
  int left = 0, top = 0, right = 0;
  int bottom = 0;  // bottom limit; holds the text bottom after a run that laid out text
  int indent = 0;
  int areaLeft = 0, areaRight = 0, filledDownTo = 0;
  int activeLeft = 0, activeRight = 0;
  QPainter* canvas = nullptr;
  StoredColor fontColor = 0;
  int fontSlot = 20;
  StoredColor lineBandColor = 0xFFFFFF;
  StoredColor areaColor = 0xFFFFFF;
  StoredColor clBgInt = 0xFFFFFF;  // faded words blend from it
  int rowGap = 0;                  // the screen row-gap setting; half of it bounds a line band
  bool superscriptKeepsColor = false;
  bool justify = true;
  bool measureOnly = false;
  bool richTextMode = false;
  int firstWord = 1;
  int firstLineToDraw = 0;
  int lineGap = 15;
  int* lineTable = nullptr;  // 256 entries when set

  // --- outputs ---
  std::vector<TWtextWord> words;  // words[0] unused
  int wordCount = 0;
  int continuation = 0;
  std::vector<int> hitXs;
  int hitCount() const { return static_cast<int>(hitXs.size()); }
  int spaceWidth() const { return spaceWidth_; }
  int ascent() const { return ascent_; }
  int descent() const { return descent_; }

  void Layout();
  // Pours the word list into a rich-text document at its end, with colours and styles.
  void ToRichEdit(QTextDocument& doc);

  static std::string ToHtml(const std::string& text);
  static std::string ToCellMarkup(const std::string& text);

 private:
  void flush(bool space, bool lineBreak);
  void breakAndDraw();

  TRenderTxt& render_;
  std::string buffer_;
  int wordStart_ = 0;
  bool pending_ = true;
  bool bold_ = false, italic_ = false, super_ = false, hit_ = false, hitRunStart_ = false;
  int style_ = 0;
  StoredColor color_ = 0;
  int raise_ = 0;
  int lastHeight_ = 0;
  int spaceWidth_ = 0, ascent_ = 0, descent_ = 0;
};

}  // namespace kov
