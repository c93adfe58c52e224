#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

#include "db/cCalcPos.h"

// The ".gs" file of a main text: its book table and variant names (XML), its word
// stream and its chapter table, in the chunked container of the word-list files.

namespace kov {

namespace gstag {
constexpr int16_t kFile = -3000;
constexpr int16_t kXml = 1100;
constexpr int16_t kStream = 3000;
constexpr int16_t kChapters = 3010;
}  // namespace gstag

// A variant reading of the text. The third string is carried but never filled.
struct TvariantInfo {
  QString code;
  QString description;
  QString third;

  // "<code> : <description>", the name shown in the variant menus.
  QString nameLine() const { return code + QStringLiteral(" : ") + description; }
  bool operator==(const TvariantInfo&) const = default;
};

struct TGsContent {
  static constexpr int kMaxVariants = 5;

  TbookTable books;  // books 1..B; testament 'A' (Old) or 'B' (New)
  std::vector<TvariantInfo> variants;
  QString ont;                        // the testament word other texts' settings read
  std::vector<std::uint16_t> stream;  // the cells as stored (no closing cells)
  std::vector<Tch_rec> chapters;
  bool hasXml = false;
  bool hasStream = false;
  bool hasChapters = false;
};

// `valid` is false when the file header is not that of a ".gs" file: nothing was read.
// `errors` says what was wrong; the parts read before a damaged chunk are kept.
struct GsReadResult {
  bool valid = false;
  QStringList errors;
};

// Reads a ".gs" file's bytes. A chunk that lies about its size ends the walk (the
// chunks before it are kept); a chunk of the wrong record size is reported and skipped.
GsReadResult parseGs(QByteArrayView bytes, TGsContent& out);
// Reads the book table, variants and ONT word from the XML text of chunk 1100.
void parseGsXml(const QByteArray& xml, TGsContent& out, QStringList* errors);
// The ONT word of a ".gs" file's bytes (empty when the file or the element is missing).
QString ontOf(QByteArrayView bytes);

// The file's bytes. nullopt and *error for content the format cannot hold.
std::optional<QByteArray> buildGsFile(const TGsContent& content, QString* error = nullptr);
QByteArray gsXml(const TGsContent& content);
// Writes the file atomically.
bool writeGsFile(const QString& path, const TGsContent& content, QString* error = nullptr);

}  // namespace kov
