#pragma once
#include <QString>

#include <vector>

#include "texts/NoteSources.h"

namespace kov {

class TTranslations;

// One source a verse column can show.
struct TSourceEntry {
  QString name;
  char kind = '-';    // 'T' translation, '-' the separator, 'N' or 'V' a note collection
  QString caption;    // the menu text: "<name>  <description>" for a translation, else the name
  int blockSize = 50; // verse-block collections: verses per file
};

// The sources a column can show, numbered 1..30: the translations (entry number = translation
// slot), one separator, then the chapter-note and verse-block collections while numbers stay
// within 30. Built once at start-up; menus are made from it by the caller.
class TSourceList {
 public:
  static constexpr int kMaxEntries = 30;

  void build(const TTranslations& translations, const std::vector<TNoteSource>& notes);

  int count() const { return int(entries_.size()); }
  // Entry n (1..count()); throws TextRangeError otherwise.
  const TSourceEntry& entry(int n) const;
  // The separator's number: every number below it is a translation slot.
  int firstNoteEntry() const { return firstNote_; }
  bool isTranslation(int n) const { return n >= 1 && n < firstNote_; }
  // The first entry of that name, compared without case; 0 when none (or the name is empty).
  int findByName(const QString& name) const;

  // The note collection new notes go to: once built, the first note entry's unless one was set.
  const QString& currentNoteCollection() const { return currentNotes_; }
  void setCurrentNoteCollection(const QString& name) { currentNotes_ = name; }
  // notesDir + the current collection ("" when there is none).
  QString currentNotesPath(const QString& notesDir) const;

 private:
  std::vector<TSourceEntry> entries_;
  int firstNote_ = 1;
  QString currentNotes_;
};

}  // namespace kov
