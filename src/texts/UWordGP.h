#pragma once
#include <QFile>
#include <QString>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "db/References.h"
#include "db/StreamLimits.h"
#include "db/VerseStep.h"
#include "db/VerseRef.h"

namespace kov {

class TCalcpos;

// A fixed table of the data model overflowed; the current operation ends here.
class TextRangeError : public std::range_error {
 public:
  using std::range_error::range_error;
};

// Which translation words the current search results mark (the search engine provides
// it). True only while results are shown, the last search ran over `slot`, and its hit
// map holds `position`.
class TTranslationHits {
 public:
  virtual ~TTranslationHits() = default;
  virtual bool isHit(int slot, std::int32_t position) const = 0;
};

// Reader of one translation: the word table in memory, the code stream (".GD") read in
// blocks. One per translation slot; every reader sets CurRef and calls GotoRef first.
class TWordGP {
 public:
  static constexpr int MaxWords = 64001;       // word numbers 0..64000
  static constexpr int MaxCheckpoints = 641;
  static constexpr int SeekBlock = 2048;
  static constexpr int VerseBlock = 1024;
  static constexpr int StartBlock = 100;
  static constexpr int MaxHits = 101;
  static constexpr int MaxPunctWords = 51;
  static constexpr std::uint16_t LayoutCode = 64000;
  static constexpr std::uint16_t MarkerCode = 65000;
  static constexpr std::uint16_t NewBookFlag = 1u << 14;
  static constexpr std::uint16_t NewChapterFlag = 1u << 13;

  explicit TWordGP(int trnIndex = 1);
  ~TWordGP();
  TWordGP(const TWordGP&) = delete;
  TWordGP& operator=(const TWordGP&) = delete;

  const QString& Name() const { return name_; }
  void setName(const QString& name) { name_ = name; }
  const QString& Dir() const { return dir_; }
  void setDir(const QString& dir);
  int TrnIndex() const { return trnIndex_; }

  // The translation's verse index (not owned); GotoRef and book changes use it.
  void setCalcpos(TCalcpos* calc) { calc_ = calc; }
  TCalcpos* calcpos() const { return calc_; }
  // The search's hit test (not owned); without one no word is marked.
  void setHits(const TTranslationHits* hits) { hits_ = hits; }
  // Receives the "open n"/"close n" lines of the trace log.
  void setTraceLog(std::function<void(const QString&)> log) { trace_ = std::move(log); }

  // Loads the word table and opens the code stream. False, loading nothing, unless
  // .WI1, .WI2 and .wgp exist; false with error() set when .GD cannot be opened.
  bool init();
  const QString& error() const { return error_; }
  bool IsOpen() const { return gd_.isOpen(); }
  void ToggleOpen();

  int WordCount() const { return static_cast<int>(wi1_.size()); }
  std::int32_t LastRecord() const { return lastRecord_; }
  std::uint16_t headerWord() const { return header_; }
  // Text of word n; empty for numbers outside the table or a damaged table.
  std::string GetWord(int n) const;
  // 1-based character position of word n in the .wgp text (0 when it has none).
  std::int32_t WordOffset(int n) const;

  bool GotoRef();
  // Reads the verse at Position and moves to the next one. True at the end of the text.
  bool ReadVerse();
  void FindVerseStart();
  TVerseStep StepVerses(std::int32_t position, int count, bool clampAtEnd);

  std::int32_t Position() const { return position_; }
  void setPosition(std::int32_t p) { position_ = p; }
  std::int16_t NextVerse() const { return nextVerse_; }
  // Seeks forward from Position to the marker of verse v.
  void setNextVerse(std::int16_t v);
  std::int16_t Lastverse() const { return lastVerse_; }
  bool VerseExist() const { return verseExist_; }

  VerseRef CurRef;
  VerseRef PrevRef;

  const std::string& VerseText() const { return verseText_; }
  std::uint16_t VerseTextLen() const { return static_cast<std::uint16_t>(verseText_.size()); }
  const std::string& WordsText() const { return wordsText_; }
  // Lengths of the words of WordsText in order (marks included).
  const std::vector<std::uint16_t>& WordLens() const { return wordLens_; }
  std::uint32_t WordsLen() const { return wordsLen_; }
  const std::vector<std::int32_t>& HitPositions() const { return hitPositions_; }
  int HitCount() const { return static_cast<int>(hitPositions_.size()); }
  const std::vector<int>& PunctWords() const { return punctWords_; }
  int PunctLast() const { return static_cast<int>(punctWords_.size()) - 1; }
  // Codes naming no word (N..63999) met while reading, and word lookups that fell
  // outside a damaged table.
  int badCodes() const { return badCodes_; }

  static bool isPunctuation(unsigned char c);
  static bool isClosing(unsigned char c);
  static bool isOpening(unsigned char c);

 private:
  // Reads up to `count` records from `from`; fewer at the end of the stream.
  int readRecords(std::int32_t from, int count, std::vector<std::uint16_t>& out);
  std::uint16_t recordAt(std::int32_t pos);
  void buildPunctWords();
  void buildVerseText();

  int trnIndex_;
  QString name_, dir_, error_;
  TCalcpos* calc_ = nullptr;
  const TTranslationHits* hits_ = nullptr;
  std::function<void(const QString&)> trace_;

  std::vector<std::uint8_t> wi1_;
  std::vector<std::int32_t> wi2_;
  std::string wgp_;
  QFile gd_;
  std::int32_t records_ = 0;
  std::int32_t lastRecord_ = -1;
  std::uint16_t header_ = 0;

  std::int32_t position_ = 0;
  std::int16_t nextVerse_ = 0;
  std::int16_t lastVerse_ = 0;
  bool verseExist_ = false;

  std::vector<std::uint16_t> buf_;
  std::string wordsText_;
  std::vector<std::uint16_t> wordLens_;
  std::uint32_t wordsLen_ = 0;
  std::string verseText_;
  std::vector<std::int32_t> hitPositions_;
  std::vector<int> punctWords_;
  mutable int badCodes_ = 0;
};

// Serves TReferences' translation slots 1..10 from their readers (not owned).
class TWordGPVerses : public TTranslationVerses {
 public:
  void setReader(int slot, TWordGP* reader);
  std::int32_t goToVerse(int slot, std::int32_t chapterStart, int verse) override;
  std::int16_t verseAt(int slot, std::int32_t position) override;

 private:
  TWordGP* reader(int slot) const;
  TWordGP* readers_[11] = {};
};

}  // namespace kov
