#pragma once
// Writes one original text of the interlinear database (main list, book and stream file,
// sublinears with their selections) from words that already carry their 8-bit texts.
#include <QString>
#include <string>
#include <vector>

#include "db/GsFile.h"

namespace kov::import {

struct IlWord {
  std::string form;                     // main-list text (letter code)
  std::vector<std::string> renderings;  // one per sublinear, in the order of IlText::sublinears
  int variant = 0;                      // 0 none, 1..5 the variant reading the word belongs to
};

struct IlVerse {
  int chapter = 0;
  int verse = 0;
  std::vector<IlWord> words;
};

struct IlBook {
  std::string code;  // USFM
  std::string name;
  std::string abbreviation;  // at most 5 characters
  std::vector<IlVerse> verses;  // in order; chapters ascending
};

struct IlSublinear {
  QString fileName;  // "strong.wl"
  std::string xml;   // its header
};

struct IlText {
  QString name;             // folder and base name, "WLC"
  std::string mainXml;      // the main list's header
  bool oldTestament = true;
  QString ont;              // "OT" / "NT"
  std::vector<TvariantInfo> variants;
  std::vector<IlSublinear> sublinears;
  std::vector<IlBook> books;
};

struct IlStats {
  int books = 0, chapters = 0, verses = 0, words = 0, forms = 0;
  std::vector<int> entries;  // per sublinear: entries written (rings included)
};

// Writes <folder>/<name>.WL0, .gs and every sublinear's .wl and .wlx (atomically each). Entry 0
// of the main list is the empty gap word, so words are numbered from 1. A
// word form gets one ring per sublinear holding its distinct renderings, most frequent first;
// each position selects its own. False with *error when the text breaks the format's limits
// (64000 word forms, 255 chapters or verses, 255 renderings of one form, 255-byte texts).
bool writeInterlinear(const IlText& text, const QString& folder, IlStats* stats, QString* error);

// A word-list header: the elements the program reads, with an optional character table.
struct ListHeader {
  QString id, desS, rights, lng, type, helpFP;
  bool rtl = false;
  int remap = 0;
  int chartableCount = 0;
  QString chartableLabel1, chartableLabel2, chartableSource, chartableTarget;
};
std::string listHeaderXml(const ListHeader& h);

}  // namespace kov::import
