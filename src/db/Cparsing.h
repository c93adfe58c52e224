#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kov {

// Decodes the compact morphology codes of the Hebrew parsing sublinear (for example "vqp3ms",
// "ncmpa", "%vNp3ms" for Aramaic) into English description lines in cell markup: headings as
// "<c1>Verb</c1>", details as an indent "<ms>    </ms>" followed by words each led by a blank.
class Tparsing {
 public:
  // The middle dot (Latin-1 byte 183) that joins the codes of the morphemes of one word.
  static constexpr char kMorphemeSeparator = '\xB7';

  // Splits code at every middle dot and appends the lines of each part, in order, to lines.
  // Decoding of a part stops at a suffix character that no rule reads.
  void decode(std::string_view code, std::vector<std::string>& lines) const;

 private:
  void decodePart(std::string_view part, std::vector<std::string>& lines) const;
};

}  // namespace kov
