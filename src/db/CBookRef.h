#pragma once
#include <QString>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "core/IniFile.h"

namespace kov {

// The book-name tables of "books.ini" in the program folder:
//   [BKS1] code=name for note captions, [BKS2] code=display name for window captions,
//   [BKN] typed book name=code and [BKA] typed abbreviation=code for reading references.
// Typed names are matched without regard to case and with runs of blanks counted as one
// blank ("gen", "GEN", "1  sam" all match), because users type them in any case.
class TbookRef {
 public:
  // A reference read from typed text. chapter and verse are 0 when the text has none.
  struct TypedRef {
    std::string code;
    int chapter = 0;
    int verse = 0;
    bool operator==(const TypedRef&) const = default;
  };

  // Reads PrgDir + "books.ini"; false (tables empty) when it cannot be read.
  bool load(const QString& prgDir, QString* error = nullptr);
  // Fills the tables from ini text held in memory.
  void loadText(const QByteArray& iniText);
  const QString& PrgDir() const { return prgDir_; }

  // Book code for a typed name: "BKA" first, then "BKN"; empty when unknown.
  std::string bookCodeOf(const QString& typed) const;
  // "BKS2" and "BKS1" names of a code (without case); empty when unknown.
  QString displayNameOf(std::string_view code) const;
  QString noteNameOf(std::string_view code) const;

  // Reads "<book> <chapter>:<verse>". The book is the longest leading part that ends at a
  // blank, a period, the first digit after a letter, or the end of the text and is a
  // known name, so "1 Sam 3:4", "Song of Songs 2:1", "1Sam 3:4", "Gen.1.1" and "Gen1:1"
  // all read. After the book and one separator come the chapter digits, then one
  // separator character and the verse digits. No value when no book name matches.
  std::optional<TypedRef> readTyped(const QString& text) const;

 private:
  void build();
  QString prgDir_;
  IniFile ini_;
  std::map<std::string, std::string> bka_, bkn_;  // normalised typed key -> code
};

}  // namespace kov
