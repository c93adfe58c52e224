#include "support/RefsFixtures.h"

#include <QDir>
#include <QFileInfo>
#include <cctype>
#include <stdexcept>

namespace kov::testing {

TbookTable makeBooks(const std::vector<BookSpec>& books, const std::string& description) {
  TbookTable t;
  t.header = {description, "Tst", "TST", 0, 'X'};
  for (const BookSpec& b : books) {
    std::string abbr = b.code;
    for (std::size_t i = 1; i < abbr.size(); ++i)
      abbr[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(abbr[i])));
    const char testament = (b.code == "MAT" || b.code == "MRK" || b.code == "LUK" ||
                            b.code == "LUC" || b.code == "JHN")
                               ? 'N'
                               : 'O';
    t.books.push_back({b.code + " name", abbr, b.code, static_cast<std::uint8_t>(b.verses.size()),
                       testament});
  }
  return t;
}

std::vector<Tch_rec> makeChapters(const std::vector<BookSpec>& books, std::int32_t start,
                                  int cellsPerVerse) {
  std::vector<Tch_rec> out;
  std::int32_t pos = start;
  for (std::size_t b = 0; b < books.size(); ++b)
    for (std::size_t c = 0; c < books[b].verses.size(); ++c) {
      out.push_back({static_cast<std::uint8_t>(b + 1), static_cast<std::uint8_t>(c + 1),
                     static_cast<std::uint8_t>(books[b].verses[c]), pos});
      pos += books[b].verses[c] * cellsPerVerse;
    }
  return out;
}

std::vector<BookSpec> miniBible() {
  return {{"GEN", {5, 4, 3}}, {"EXO", {2}}, {"MAT", {25, 23}}, {"MRK", {6}}, {"LUK", {8}}};
}

void fillMini(TCalcpos& calc) {
  QString error;
  if (!calc.setTables(makeBooks(miniBible()), makeChapters(miniBible()), &error))
    throw std::runtime_error(error.toStdString());
}

void writeCalcFiles(const QString& dir, const QString& name, const TbookTable& books,
                    const std::vector<Tch_rec>& chapters) {
  QString error;
  if (!writeBkFile(dir + "/" + name + ".bk", books, &error) ||
      !writeGdiFile(dir + "/" + name + ".gdi", chapters, &error))
    throw std::runtime_error(error.toStdString());
}

QString sourceRoot() {
  const QString env = qEnvironmentVariable("KOV_SOURCE_DIR");
  if (!env.isEmpty()) return QDir(env).absolutePath();
  for (QString start : {QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath(),
                        QDir::currentPath() + "/x"}) {
    QDir d = QFileInfo(start).absoluteDir();
    for (int i = 0; i < 8; ++i) {
      if (QFileInfo::exists(d.filePath(QStringLiteral("data/books.ini")))) return d.absolutePath();
      if (!d.cdUp()) break;
    }
  }
  return {};
}

}  // namespace kov::testing
