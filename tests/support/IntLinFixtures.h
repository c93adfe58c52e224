#pragma once
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/GsFile.h"
#include "db/cIntLin.h"

namespace kov::test {

// A sublinear of a fixture database.
struct SublinearSpec {
  QString fileName;  // "gloss.wl"
  std::string xml;   // header XML; default "<WL><id>name</id></WL>"
  // Renderings of a word form, named by the form's text: the first is entry w, the
  // others are appended to the list and linked into w's ring.
  std::map<std::string, std::vector<std::string>> rings;
  // One token per word of the stream, in order: a number, "-" for 255, "." for the
  // default (0 when the form has renderings, 255 when not). Missing tokens are ".".
  std::string selections;
  int selectionLength = -1;     // bytes written to the ".wlx" (-1: one per position)
  bool writeList = true;        // false: the file is missing
  bool writeSelection = true;
  std::function<void(TWordList&)> patch;  // changes the list before it is written
};

using Rings = std::map<std::string, std::vector<std::string>>;
SublinearSpec sublinear(const QString& fileName, Rings rings = {}, std::string selections = {}, std::string xml = {});

// A database described in a few lines. The text is a list of tokens:
//   #MAT      a book (chapter 1 begins)        @2     chapter 2 begins
//   3:  3a:   verse marker 3 (with mark 'a')   _      a gap word (empty text)
//   {v1}..{v5} variant markers  {t0}..{t4} toggles  {[} {]} brackets  {e} end of a run
//   {s0}..{s2} sign codes       {65001} any cell     anything else: a word
// Position 0 holds a cell no walk reads; the first token goes to position 1. Word forms
// are numbered in order of first appearance. The first verse of a chapter carries the
// new-chapter flag, the first of a book the new-book flag too.
struct IntLinSpec {
  QString main = QStringLiteral("TST");
  std::string lng = "greek";
  bool oldTestament = false;  // testament of every book
  std::string text;
  std::vector<TvariantInfo> variants;
  QString ont = QStringLiteral("NT");
  std::vector<SublinearSpec> sublinears;
  bool writeMain = true;
};

class IntLinFixture {
 public:
  QTemporaryDir dir;
  QString root;  // the interlinear folder, ending in '/'
  QString folder;  // root + main + '/'
  IntLinSpec desc;
  TGsContent gs;
  std::vector<std::int32_t> words;  // positions of the words, in order
  std::map<std::string, std::int32_t> markers;  // "MAT 1:2" -> position of the verse marker
  std::map<std::string, std::int32_t> forms;    // word text -> form

  std::int32_t marker(const std::string& ref) const { return markers.at(ref); }
  std::int32_t form(const std::string& text) const { return forms.at(text); }

  // Root, main name and the pending table (main text and the sublinears in order);
  // then readGs, loadAll and applyPending with the given display options.
  TLoadReport load(TintLin& db, const LineOptions& options = {}) const;
  // Only root, main name and pending table.
  void prepare(TintLin& db) const;
};

// Builds and writes the files of a fixture database into a temporary folder.
std::unique_ptr<IntLinFixture> buildIntLin(const IntLinSpec& desc);

// The stream and tables of a description, without writing anything.
TGsContent gsFromText(const IntLinSpec& desc, std::vector<std::int32_t>* words = nullptr,
                      std::map<std::string, std::int32_t>* markers = nullptr,
                      std::map<std::string, std::int32_t>* forms = nullptr,
                      std::vector<std::string>* formTexts = nullptr);

}  // namespace kov::test
