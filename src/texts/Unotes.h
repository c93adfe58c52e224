#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>

#include "db/VerseRef.h"

namespace kov {

class TReferences;

// Kind letter and block size of a verse-block note folder: the kind is the first
// character of its first file, the block size the digits 2 to 6 of its second file's
// name (50 when the folder holds fewer than two files or they are not digits).
struct TNoteCollectionInfo {
  char kind = 0;
  int blockSize = 50;
};
TNoteCollectionInfo probeNoteCollection(const QString& folder);
// The same rule over a list of file names already chosen and ordered by the caller.
TNoteCollectionInfo noteCollectionInfo(const QStringList& files);

// Book folder of a chapter-notes collection: the book code, Luke's filed as "LUC".
QString noteBookFolder(const std::string& bookCode);

// Notes of one column: chapter notes (kind 'N', read and written) or verse-block notes
// (kind 'V' or another letter, read only). Files are read forward, so a walk through
// ascending verses reads each file once.
class Tnotes {
 public:
  explicit Tnotes(int column = 1) : column_(column) {}

  // A chapter-notes collection: the folder "<name>.N/".
  void setChapterCollection(const QString& folder);
  // A verse-block collection: folders notesDir + name + "00", "03", ...; serial verse
  // numbers come from `refs` (not owned).
  void setBlockCollection(const QString& notesDir, const QString& name, char kind,
                          int blockSize, TReferences* refs);

  char kind() const { return kind_; }
  int blockSize() const { return blockSize_; }
  int column() const { return column_; }
  const QString& DBDir() const { return dbDir_; }
  void setDBDir(const QString& dir);
  const QString& DBDirW() const { return dbDirW_; }
  void setDBDirW(const QString& dir);

  // The verse to read or save.
  const VerseRef& ref() const { return ref_; }
  void setRef(const VerseRef& ref) { ref_ = ref; }

  bool Open() const { return open_; }
  // True opens the file of ref() (kept open while it stays in the same file); false
  // closes it.
  void setOpen(bool open);

  // Reads the note of ref() into noteText(); true when found.
  bool ReadNote();
  const QString& noteText() const { return note_; }
  int noteLength() const { return static_cast<int>(note_.size()); }
  bool found() const { return found_; }
  const VerseRef& foundRef() const { return foundRef_; }
  bool fileExisted() const { return fileExists_; }
  // The verse of the last marker read (chapter notes): where the next note is.
  int currentVerse() const { return currentVerse_; }
  // The requested key as five digits.
  QString keyText() const;

  // Replaces the note of ref() in its chapter file and appends a line to "log.txt".
  // The old file stays until the new one is complete. False, with error() set, when
  // something could not be written (nothing is lost then).
  bool SaveNote(const QString& text);
  const QString& error() const { return error_; }

  std::uint8_t Error = 0;
  int difVs = 0;

  // The folder and file ref() is read from (empty when it has none).
  QString notePath() const;
  // A line that opens a note in this collection: its key, else -1.
  int markerKey(const QString& line) const;

 private:
  int readKey() const;

  int column_;
  char kind_ = 'N';
  int blockSize_ = 50;
  QString dbDir_, dbDirW_, name_;
  TReferences* refs_ = nullptr;
  VerseRef ref_, foundRef_;
  bool open_ = false;
  QString openPath_;
  QStringList lines_;
  int cursor_ = 0;
  int lastKey_ = -1;
  QString note_;
  bool found_ = false;
  bool fileExists_ = false;
  int currentVerse_ = 0;
  QString error_;
};

// Converts the escapes of verse-block note text to stored note text: a backslash with
// "#" or a backslash switches bold, "{" and "}" italic; a line break ends bold.
QString convertBlockEscapes(const QString& text);

}  // namespace kov
