#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "db/cIndexPos.h"
#include "db/cWordList.h"

// Verse-indexed text files: a text block holding the verses one after another and a
// three-level verse index (books, chapters, verses) whose verse links are offsets into
// the block. One reader per linked text.

namespace kov {

namespace txttag {
constexpr int16_t kFile = -2000;
constexpr int16_t kHeaderRecord = 1000;
constexpr int16_t kReserved = 1010;
constexpr int16_t kXmlHeader = 1100;
constexpr int16_t kText = 1200;
constexpr int16_t kIndex = -2100;
constexpr int16_t kKeys = 2110;
constexpr int16_t kLengths = 2120;
constexpr int16_t kEntries = 2130;
}  // namespace txttag

class TtxtData {
 public:
  // Reads the file's chunks: header records, XML header, the verse index; the text
  // block is located. False and *error when the file is missing or not usable.
  bool open(const QString& folder, const QString& file, QString* error = nullptr);
  // The same over a file's bytes.
  bool openBytes(QByteArray bytes, QString* error = nullptr);
  bool isOpen() const { return open_; }

  // Looks the keys up in the verse index and places the reader at the verse (at the
  // chapter's first verse when the verse is missing). False when the book or the chapter
  // is not in the index.
  bool gotoVerse(const tbcvs& keys);
  // The text from the end of the previous read to the next verse's offset: after
  // gotoVerse, the verse found; then each following verse. Empty after the last verse.
  // A verse is returned whole whatever its length.
  std::string readVerse();

  // Keys of the verse readVerse returned last, and of the verse the reader is now on.
  const tbcvs& verseKeys() const { return verseKeys_; }
  const tbcvs& currentKeys() const { return index_.currentKeys(); }

  const Tindexpos& index() const { return index_; }
  const TWlHeader& header() const { return header_; }
  const std::string& xmlHeader() const { return xml_; }
  qsizetype textSize() const { return textSize_; }

 private:
  QByteArray data_;
  qsizetype textStart_ = 0;
  qsizetype textSize_ = 0;
  TWlHeader header_;
  std::string xml_;
  Tindexpos index_;
  tbcvs verseKeys_;
  std::int32_t readEnd_ = 0;
  bool open_ = false;
};

// One verse of a verse-indexed text to write.
struct TVerseText {
  tbcvs keys;
  std::string text;
};

// The bytes of a verse-indexed text file: books and chapters in the order their first
// verse comes. nullopt and *error for a key longer than 255 bytes or a text over 2 GB.
std::optional<QByteArray> buildVerseTextFile(const std::vector<TVerseText>& verses, const std::string& xml = "<TXT/>",
                                             const TWlHeader& header = {}, QString* error = nullptr);
bool writeVerseTextFile(const QString& path, const std::vector<TVerseText>& verses, const std::string& xml = "<TXT/>",
                        QString* error = nullptr);

}  // namespace kov
