#pragma once
#include <QString>
#include <string>
#include <vector>

#include "db/cCalcPos.h"

namespace kov::testing {

struct BookSpec {
  std::string code;
  std::vector<int> verses;  // verses of each chapter
};

// A book table (names "<code> name", abbreviations = code in mixed case) and chapter
// records laid out one after another from position `start`, each chapter taking
// verses * `cellsPerVerse` positions.
TbookTable makeBooks(const std::vector<BookSpec>& books, const std::string& description = "Test text");
std::vector<Tch_rec> makeChapters(const std::vector<BookSpec>& books, std::int32_t start = 0,
                                  int cellsPerVerse = 10);

// GEN 3 chapters, EXO 1, MAT 2, MRK 1, LUK 1 (verses 5,4,3 | 2 | 25,23 | 6 | 8).
std::vector<BookSpec> miniBible();

// Fills a calculator from miniBible() laid out from position 0.
void fillMini(TCalcpos& calc);

// Writes <dir>/<name>.bk and .gdi with the project's writers.
void writeCalcFiles(const QString& dir, const QString& name, const TbookTable& books,
                    const std::vector<Tch_rec>& chapters);

// The source tree's root (for shipped data files): $KOV_SOURCE_DIR, else the first
// parent of the test binary or the working folder that holds data/books.ini.
QString sourceRoot();

}  // namespace kov::testing
