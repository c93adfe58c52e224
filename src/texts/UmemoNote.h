#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace kov {

// A piece of memo text as shown: Strong references and "\\" spans green.
struct TMemoRun {
  QString text;
  bool green = false;
  bool bold = false;
  bool italic = false;

  bool operator==(const TMemoRun&) const = default;
};

// The editor a memo is shown in and saved from (the rich-text editor implements it).
class TMemoDocument {
 public:
  virtual ~TMemoDocument() = default;
  virtual void appendRun(const TMemoRun& run) = 0;
  virtual void appendLineBreak() = 0;
  // The memo's lines as they are stored (memo markup included).
  virtual QStringList memoLines() const = 0;
};

// Styles that carry from one memo line to the next.
struct TMemoMarkupState {
  bool green = false;  // switched by a double backslash
  bool bold = false;
  bool italic = false;
};

// Applies the memo markup to one stored line: "G" or "H" and a digit start a green
// Strong reference that ends after its last digit; "\\" switches green; "\@" bold;
// "(\" shows "(" and starts italic, "\)" ends it and shows ")".
std::vector<TMemoRun> memoLineToRuns(const QString& line, TMemoMarkupState& state);
std::vector<TMemoRun> memoLineToRuns(const QString& line);

// Memo notes: files of 50 keys (Strong numbers or serial verse numbers), each note
// opened by a marker line of 5 or 7 digits.
class TmemoNote {
 public:
  // root + "/" + folderPrefix + "00".."99" + "/" + filePrefix + five digits [+ "." + ext]
  void setCollection(const QString& root, const QString& folderPrefix, const QString& filePrefix,
                     const QString& extension, int markerWidth);
  // A Strong's dictionary collection: prgDir + name + ".s", language letter 'G' or 'H'.
  void setStrongCollection(const QString& prgDir, const QString& name, char language);
  // Another dictionary collection of the notes folder.
  void setDictionaryCollection(const QString& notesDir, const QString& name, char kind);

  const QString& DBDir() const { return root_; }
  int markerWidth() const { return width_; }
  bool IsOpen() const { return open_; }
  std::uint8_t Error = 0;
  int difVs = 0;

  void setEditor(TMemoDocument* doc) { doc_ = doc; }

  QString folderFor(int key) const;
  QString fileFor(int key) const;
  QString markerFor(int key) const;
  // The key of a marker line, else -1.
  int markerKey(const QString& line) const;

  // Appends the note of `key` to the editor with its markup applied; true when found.
  bool ShowMemo(int key);
  bool found() const { return found_; }
  bool fileExisted() const { return existed_; }
  // Replaces the note of `key` with the editor's lines. False, with error() set and the
  // old file unchanged, when it cannot be written.
  bool SaveMemo(int key);
  const QString& error() const { return error_; }

 private:
  QString root_, folderPrefix_, filePrefix_, ext_;
  int width_ = 7;
  TMemoDocument* doc_ = nullptr;
  bool open_ = false;
  bool found_ = false;
  bool existed_ = false;
  QString error_;
};

}  // namespace kov
