#pragma once
#include <QString>

#include <vector>

namespace kov {

// A verse-note collection a column can show. Kind 'N': chapter notes in the program folder's
// "<name>.N/"; any other letter: verse-block notes in the notes folder's "<name>00/", "<name>03/",
// ... whose files start with that letter and hold `blockSize` verses each.
struct TNoteSource {
  QString name;
  char kind = 'N';
  int blockSize = 50;

  bool operator==(const TNoteSource&) const = default;
};

// The verse-note collections of the program folder ("*.N" folders, listed without the ".N")
// followed by those of the notes folder (sub-folders "<name>00"). Strong-note collections ("*.S"
// folders, and notes-folder collections whose files start with "G" or "H") and collections of
// kind "T" are left out. Each group is sorted by name without case so the list does not depend
// on the file system's listing order. A missing or empty folder adds nothing.
std::vector<TNoteSource> scanNoteSources(const QString& prgDir, const QString& notesDir);

}  // namespace kov
