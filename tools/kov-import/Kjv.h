#pragma once
// Reading a Bible translation from an installed SWORD module (the KJV of Debian's
// sword-text-kjv) into 8-bit verse texts for the translation writer.
#include <QString>
#include <string>
#include <vector>

#include "kov-import/Model.h"

namespace kov::import {

struct TranslationVerse {
  QString book;  // USFM code
  int chapter = 0;
  int verse = 0;
  std::string text;  // Latin-1; byte 25 switches italic (words the translators added)
};

struct TranslationBook {
  QString code;
  QString name;
  std::vector<TranslationVerse> verses;
};

// The verse text of one raw OSIS entry: <transChange type="added"> becomes italic, notes and
// cross references are dropped with their content, every other element keeps its text only
// (Strong and morphology markup go, a Psalm title stays at the start of its verse). Blanks are
// folded; characters outside Latin-1 become their closest ASCII form or "?".
std::string osisVerseText(const QString& osis);

// Every verse of the module in its own versification, books in canonical order with USFM codes.
bool readSwordModule(const QString& moduleName, std::vector<TranslationBook>& books, SourceError* error);

// USFM code of a book as the module names it by its OSIS abbreviation ("Gen", "1Sam", "Matt").
QString usfmFromOsis(const QString& osisBook);

}  // namespace kov::import
