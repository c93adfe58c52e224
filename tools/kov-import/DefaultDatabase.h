#pragma once
// Turns the open sources into the program's database: the Hebrew and Greek interlinear texts,
// a translation from a SWORD module, and the Strong's dictionaries as memo notes.
#include <QString>
#include <QStringList>
#include <array>
#include <string>
#include <vector>

#include "kov-import/InterlinearWriter.h"
#include "kov-import/Kjv.h"
#include "kov-import/Model.h"
#include "kov-import/Strongs.h"

namespace kov {
class TbookRef;
}

namespace kov::import {

struct ConversionReport {
  int words = 0;
  int parsingLossy = 0;     // words whose parsing lost a feature
  int parsingFailed = 0;    // words whose morphology could not be read at all
  int formsWithoutCode = 0; // words whose text has a character with no letter code
  int joinedVerses = 0;     // source verses joined into the verse before (same verse number)
  QStringList problems;     // a few examples, for the summary
};

// Maps text outside ASCII to bytes from 0xC0 upward (clear of the blanks and marks of Latin-1), one byte per character, for a list whose
// texts are Unicode (transliterations); the list's CHARTABLE maps them back.
class DynamicCharTable {
 public:
  std::string encode(const QString& text);
  ListHeader withTable(ListHeader h) const;
  bool full() const { return overflow_; }

 private:
  std::array<char16_t, 256> map_{};
  int next_ = 0xC0;
  bool overflow_ = false;
};

// The WLC text with its sublinears (Gloss, strong, Transliteration, P_WHM, Lemma).
IlText hebrewText(const std::vector<HebrewBook>& books, const std::vector<StrongEntry>& dictionary,
                  const TbookRef& names, ConversionReport& report);
// The N1904 text with its sublinears (Gloss, strong, Transliteration, Robinson, Lemma).
IlText greekText(const std::vector<GreekBook>& books, const std::vector<StrongEntry>& dictionary,
                 const TbookRef& names, ConversionReport& report);

// Gives every verse that the translation has and the text lacks an empty verse of its own,
// so that the interlinear and the translation line up verse for verse. Returns how many.
int addMissingVerses(IlText& text, const std::vector<TranslationBook>& versification);

// Writes <prgDir>/<name>.t/ with the translation's six files.
bool writeTranslation(const QString& prgDir, const QString& name, const QString& description,
                      const std::vector<TranslationBook>& books, const TbookRef& names, QString* error);

// Writes the dictionaries as the memo collection <prgDir>/<name>.s/ (G and H, 7-digit markers).
bool writeStrongNotes(const QString& prgDir, const QString& name, const std::vector<StrongEntry>& entries,
                      QString* error);
// The memo lines of one dictionary entry (memo markup: "\@" bold, Strong numbers shown as links).
QStringList strongNoteLines(const StrongEntry& e);

// Rights lines shown with each list.
QString hebrewRights();
QString greekRights();

}  // namespace kov::import
