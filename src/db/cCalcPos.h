#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kov {

// One book of a book table. Record 0 of a table is the header record: its name is the
// text's description, its code and abbreviation the text's own.
struct Tbk_rec {
  std::string Bkn;          // book name
  std::string Bka;          // abbreviation, at most 5 characters
  std::string Bks;          // 3-character code
  std::uint8_t chapters = 0;
  char testament = ' ';

  bool operator==(const Tbk_rec&) const = default;
};

// One chapter: 7 bytes on disk (book, chapter, verses, 32-bit start position).
struct Tch_rec {
  std::uint8_t book = 0;
  std::uint8_t chapter = 0;
  std::uint8_t verses = 0;
  std::int32_t position = 0;

  bool operator==(const Tch_rec&) const = default;
};

// What a loaded ".bk" file holds.
struct TbookTable {
  QStringList headerLines;   // the "*" lines, at most 5, without anything removed
  QStringList variantNames;  // text after "*V", at most 5
  Tbk_rec header;            // record 0
  std::vector<Tbk_rec> books;  // books 1..N
};

// A problem found while loading the index files. `NotFound` is the one the user is told
// about (text: path + " - not found!"); `Unreadable` is a file that exists but cannot be
// used (the user interface only beeps for a ".gdi" file); `text` always says what failed.
struct CalcposError {
  enum Kind { NotFound, Unreadable };
  Kind kind = NotFound;
  QString path;
  QString text;
};

// Book code as stored: older files spell Luke "LUC".
std::string normalizeBookCode(std::string code);

// Parse/format the ".bk" text and the ".gdi" records. The parsers never throw; they
// fill what they could read and return false with a message naming the line or record.
bool parseBk(const QByteArray& data, TbookTable& out, QString* error);
QByteArray formatBk(const TbookTable& table);
bool parseGdi(const QByteArray& data, std::vector<Tch_rec>& out, QString* error);
QByteArray formatGdi(const std::vector<Tch_rec>& chapters);
// Atomic writers (temporary file, then rename).
bool writeBkFile(const QString& path, const TbookTable& table, QString* error = nullptr);
bool writeGdiFile(const QString& path, const std::vector<Tch_rec>& chapters,
                  QString* error = nullptr);

// Maps between references and positions for one text: its book table (from ".bk") and
// its chapter table (from ".gdi", or set from memory by the database).
class TCalcpos {
 public:
  static constexpr int MaxBooks = 70;
  static constexpr int MaxChapterRecords = 1500;
  static constexpr int MaxHeaderLines = 5;
  static constexpr int MaxVariants = 5;
  static constexpr std::int32_t SentinelPosition = 10000000;

  TCalcpos();

  const QString& Dir() const { return dir_; }
  void setDir(const QString& dir) { dir_ = dir; }
  const QString& Name() const { return name_; }
  void setName(const QString& name) { name_ = name; }

  // Loads Dir + Name + ".gdi" and ".bk"; returns the number of failed files (0..2) and
  // appends what failed to *errors. An empty Name loads nothing and returns 0. A failed
  // file leaves its table empty (or holding what could be read from a damaged ".bk").
  int Init(std::vector<CalcposError>* errors = nullptr);

  // Fills the tables from memory (the interlinear database reads them from its own
  // file). Returns false, changing nothing, when a table breaks the format's limits.
  bool setTables(const TbookTable& books, const std::vector<Tch_rec>& chapters,
                 QString* error = nullptr);

  // Current book. Writing Bks selects by code (without case; "LUC" finds Luke's "LUK").
  int Bnr() const { return bnr_; }
  void setBnr(int bookNr);
  const std::string& Bks() const { return bks_; }
  void setBks(const std::string& code);
  const std::string& Bka() const { return bka_; }
  const std::string& Bkn() const { return bkn_; }

  // Writing selects the chapter of the current book (BkCr -1 when there is none).
  int Chapter() const { return chapter_; }
  void setChapter(int chapter);
  int VerseChapter() const { return verseChapter_; }
  // Verses of all chapter records up to and including the current one.
  int VerseCount() const { return verseCount_; }

  // Writing finds the chapter containing a position. Reading gives the start of the
  // chapter last selected through Chapter or BkCr (a Position write does not change it).
  std::int32_t Position() const { return position_; }
  void setPosition(std::int32_t position);

  int BkCr() const { return bkCr_; }
  void setBkCr(int index);
  int BkCrbuf = 0;
  std::uint8_t Error = 0;

  // The last book, chapter or position selection succeeded.
  bool found() const { return found_; }
  // The last book-code selection passed the book "MAT".
  bool ntFlag() const { return nt_; }

  int bookCount() const { return static_cast<int>(books_.size()) - 1; }
  // 0 is the header record; 1..bookCount() books; anything else an empty record.
  const Tbk_rec& book(int nr) const;
  int chapterCount() const { return static_cast<int>(chapters_.size()); }
  // 0..chapterCount()-1; chapterCount() gives the sentinel.
  const Tch_rec& chapterRecord(int index) const;
  int firstStep() const { return firstStep_; }
  const QStringList& headerLines() const { return headerLines_; }
  const QStringList& variantNames() const { return variantNames_; }
  // The text's description (header record name).
  const std::string& description() const { return books_[0].Bkn; }

 private:
  void setChapterTable(std::vector<Tch_rec> chapters);
  void takeBook(int nr);
  void takeRecord(int index);

  QString dir_, name_;
  std::vector<Tbk_rec> books_;     // [0] header, then books
  std::vector<Tch_rec> chapters_;  // without the sentinel
  std::vector<int> verseSums_;     // verses of records 0..i
  QStringList headerLines_, variantNames_;
  int firstStep_ = 0;
  int bnr_ = 0;
  std::string bks_ = "MAT", bka_, bkn_;
  int chapter_ = 0;
  int verseChapter_ = 0;
  int verseCount_ = 0;
  std::int32_t position_ = 0;
  int bkCr_ = -1;
  bool found_ = false;
  bool nt_ = false;
};

}  // namespace kov
