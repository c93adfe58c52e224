#include "texts/NoteSources.h"

#include <QDir>
#include <QStringList>

#include "core/ProgramFolder.h"
#include "texts/Unotes.h"

namespace kov {

namespace {

QStringList subFolders(const QString& dir, const QString& pattern) {
  if (dir.isEmpty()) return {};
  return QDir(dir).entryList({pattern}, QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
}

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// The first files of a verse-block collection: six characters, the 2nd to 4th "000", and
// nothing or an extension after them ("V00000", "V00050.txt").
bool isBlockFileName(const QString& f) {
  if (f.size() < 6 || (f.size() > 6 && f[6] != QLatin1Char('.'))) return false;
  return f[1] == QLatin1Char('0') && f[2] == QLatin1Char('0') && f[3] == QLatin1Char('0');
}

// Kind letter (0 when the folder has no block file, in capitals otherwise) and block size of a
// notes-folder collection, from its block files alone.
TNoteSource probeBlockFolder(const QString& folder) {
  QStringList files;
  for (const QString& f : QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase))
    if (isBlockFileName(f)) files << f;
  const TNoteCollectionInfo info = noteCollectionInfo(files);
  return {QString(), char(QChar::toUpper(char16_t(info.kind))), info.blockSize};
}

}  // namespace

std::vector<TNoteSource> scanNoteSources(const QString& prgDir, const QString& notesDir) {
  std::vector<TNoteSource> out;
  for (const QString& d : subFolders(prgDir, QStringLiteral("*.N"))) {
    const QString name = d.left(d.size() - 2);
    if (!name.isEmpty()) out.push_back({name, 'N', 50});
  }
  const QString notes = notesDir.isEmpty() ? QString() : withTrailingSlash(notesDir);
  for (const QString& d : subFolders(notes, QStringLiteral("*00"))) {
    // A digit second ("G00", "H03") marks the folders of a dictionary collection.
    if (d.size() < 3 || isDigit(d[1])) continue;
    TNoteSource s = probeBlockFolder(notes + d);
    if (s.kind == 0 || s.kind == 'G' || s.kind == 'H' || s.kind == 'T') continue;
    s.name = d.left(d.size() - 2);
    out.push_back(s);
  }
  return out;
}

}  // namespace kov
