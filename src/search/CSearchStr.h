#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kov {

// Limits of a compiled row. Exceeding one in Compile throws SearchRangeError.
constexpr int kMaxPatternWords = 50;
constexpr int kMaxPatternWordLen = 640;
constexpr int kMaxPatternRows = 20;

// Flags of one pattern word.
struct TWordOpts {
  bool LeadStar = false;     // may start inside a word of the text
  bool TrailStar = false;    // may end inside a word of the text
  bool CaseSens = false;
  bool HasTags = false;      // holds '<' or '>': the word sees markup and entities literally
  bool AnchorStart = false;  // no separator may stand before the occurrence
  bool AnchorEnd = false;    // no separator may stand after the occurrence
  int8_t Digit = -1;         // the \0..\9 mark; kept for callers, the matcher ignores it
};

// Scratch form of a word while a cell is parsed.
struct TsQuery {
  std::string Text;
  TWordOpts Opts;
};

// The compiled words of one cell. In the word texts '*' is an inner wildcard (any run of
// characters inside one word of the text) and '#' one letter (anything but a separator or a
// word-end character); every other character is literal.
struct TSQ {
  std::vector<std::string> UpperWords;  // ASCII letters folded up (as written with CaseSens)
  std::vector<std::string> LowerWords;  // ASCII letters folded down (as written with CaseSens)
  std::vector<TWordOpts> WordOpts;
  std::vector<int32_t> WordLens;       // characters kept per word
  std::vector<int32_t> LiteralCounts;  // characters other than '*', '<' and '>' per word
  int32_t WordCount = 0;
};

// One found pattern word. Positions are 1-based character positions in the matched text
// (markup included); End < Start for a word that is only a star.
struct TMatchItem {
  int32_t Start = 0;
  int32_t End = 0;
  int32_t ExtStart = 0;  // widened to the whole word of the text with `extend`, else Start
  int32_t ExtEnd = 0;    // likewise, else End
  bool SepAfter = false;  // the character read after the occurrence is a separator
  int32_t WordIndex = 0;  // index of the pattern word in its row
};

// The items of the last successful MatchText (one per pattern word, in word order).
struct TwordMatch {
  std::vector<TMatchItem> Items;
  int32_t Count = 0;
};

// A translation word without its bold and italic switch bytes (2 and 25), which are not text.
// Returns word itself when it holds none, else a view of scratch (reused between calls).
std::string_view dropSwitchBytes(std::string_view word, std::string& scratch);

// The pattern matcher. One instance belongs to the search engine (another to any caller that
// filters on its own); it is not shared between threads.
//
// Engine use, per query column:
//   for each row r with a pattern: matcher.CaseSens = query.CaseSens; matcher.Mode = 0;
//                                  matcher.Compile(r, query.Cells[col][r].Text);
//   for each entry/rendering:      matcher.Row = r; if (matcher.MatchText(text, false)) ...
//   translation words:             matcher.MatchText(dropSwitchBytes(word, scratch), false)
// Highlighting (results, concordant view) calls MatchText(text, true) and reads the Ext*
// spans of Matches. Compile does all parsing and case folding; MatchText allocates nothing
// once its scratch buffers have grown to the longest text seen.
class TSearchStr {
 public:
  TSearchStr();

  // Set before Compile / MatchText.
  int32_t Row = 0;        // the row Compile fills and MatchText matches (0..19)
  bool CaseSens = false;  // taken into the words by Compile
  int32_t Mode = 0;       // 0 all words anywhere, 1 words in order, 2 one-word rows only
  std::string Pattern;    // the cell text Compile parses
  std::string Subject;    // the text MatchText(extend) matches

  TwordMatch Matches;  // items of the last call; emptied when a row fails

  // Parses Pattern into row `row` with CaseSens (also sets Row). An empty cell compiles to no
  // words, and such a row never matches. Throws SearchRangeError for a row outside 0..19, more
  // than 50 words or a word above 640 characters; the row is then left empty.
  void Compile(int row);
  void Compile(int row, std::string_view pattern);

  // Matches row Row against Subject (or against text, which is not copied) under Mode.
  // With extend the items of star words are widened to whole words of the text.
  bool MatchText(bool extend);
  bool MatchText(std::string_view text, bool extend);

  // Searches one word of row Row in text, starting at a 1-based position from firstStart to
  // lastStart; on success appends its item to Matches. Anchors are checked as part of the
  // search, so a later occurrence can satisfy an end anchor.
  bool MatchWord(std::string_view text, int word, int firstStart, int lastStart, bool extend);

  const TSQ& compiled(int row) const { return rows_.at(static_cast<std::size_t>(row)); }

 private:
  // The text as a word sees it: the visible characters and, per character, its 1-based
  // position in the text and whether a boundary tag ("<s>", "</s>") stands before it.
  // Identity views leave pos/tagBefore empty.
  struct View {
    const unsigned char* ch = nullptr;
    const int32_t* pos = nullptr;
    const uint8_t* tagBefore = nullptr;  // n + 1 entries when set
    int32_t n = 0;

    int32_t rawPos(int32_t k) const { return pos ? pos[k] : k + 1; }
    bool tagAt(int32_t k) const { return tagBefore != nullptr && tagBefore[k] != 0; }
  };

  static bool sepFrom(const View& v, int32_t k);  // a separator at index k or later
  void prepare(std::string_view text);
  const View& viewFor(const TWordOpts& opts);
  bool findWord(const View& v, int word, int firstStart, int lastStart, bool extend);

  std::array<TSQ, kMaxPatternRows> rows_;
  std::string_view text_;
  bool hasMarkup_ = false;
  bool rawBuilt_ = false;
  View visible_;
  View raw_;
  std::vector<unsigned char> visChars_;
  std::vector<int32_t> visPos_;
  std::vector<uint8_t> visTag_;
};

}  // namespace kov
