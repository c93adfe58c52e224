#include "db/Cparsing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kov {
namespace {

using Lines = std::vector<std::string>;

const std::string I = "<ms>    </ms>";
const std::string IX = "<ms>  <c1>X</c1></ms>";

Lines decoded(const std::string& code) {
  Lines lines;
  Tparsing().decode(code, lines);
  return lines;
}

// Codes of the database's own format, as a word's morphemes are written in the parsing list.
TEST(ParsingDecode, WordClasses) {
  struct Case {
    std::string code;
    Lines lines;
  };
  const Case cases[] = {
      {"vqp3ms", {"<c1>Verb</c1>", I + " qal perfect", I + " 3rd person masculine singular"}},
      {"%vNp3ms", {"<c1>Verb</c1>", I + " peal perfect", I + " 3rd person masculine singular"}},
      {"vNp3ms", {"<c1>Verb</c1>", I + " perfect", I + " 3rd person masculine singular"}},
      {"%vqp3ms", {"<c1>Verb</c1>", I + " perfect", I + " 3rd person masculine singular"}},
      {"vqPmsa", {"<c1>Verb</c1>", I + " qal participle", I + " masculine singular absolute"}},
      {"vhi3ms{1}Jt",
       {"<c1>Verb</c1>", I + " hifil imperfect",
        I + " 3rd person masculine singular jussive in form & meaning"}},
      {"vqi1cs{1}C", {"<c1>Verb</c1>", I + " qal imperfect", I + " 1st person common singular cohortative"}},
      {"vqp3ms{2}",
       {"<c1>Verb</c1>", I + " qal perfect", I + " 3rd person masculine singular consecutive perfect"}},
      {"vqc3ms", {"<c1>Verb</c1>", I + " qal infinitive construct", I + " 3rd person masculine singular"}},
      {"vq", {"<c1>Verb</c1>"}},
      {"ncmpa", {"<c1>Noun</c1>", I + " common", I + " masculine plural absolute"}},
      {"ncfsc3ms",
       {"<c1>Noun</c1>", I + " common", I + " feminine singular construct",
        I + " 3rd person masculine singular"}},
      {"ncmscX3fs",
       {"<c1>Noun</c1>", I + " common", I + " masculine singular construct",
        IX + " 3rd person feminine singular"}},
      {"ngmsd", {"<c1>Noun</c1>", I + " gentilic", I + " masculine singular determined"}},
      {"np", {"<c1>Noun</c1>", I + " proper name"}},
      {"npi", {"<c1>Noun</c1>", I + " proper name", I + " interrogative"}},
      {"nx", {"<c1>Noun</c1>"}},
      {"amsa", {"<c1>Adjective</c1>", I + " masculine singular absolute"}},
      {"afpc3mp", {"<c1>Adjective</c1>", I + " feminine plural construct", I + " 3rd person masculine plural"}},
      {"pi3ms", {"<c1>Pronoun</c1>", I + " independent 3rd person masculine singular"}},
      {"piicp", {"<c1>Pronoun</c1>", I + " independent interrogative common plural"}},
      {"pd3ms", {"<c1>Pronoun</c1>"}},
      {"ucmpa", {"<c1>cardinal</c1>", I + " masculine plural absolute"}},
      {"uofsa", {"<c1>ordinal</c1>", I + " feminine singular absolute"}},
      {"uxmp", {I + " masculine plural"}},
      {"P", {"<c1>Particle</c1>"}},
      {"Po", {"<c1>Particle</c1>", I + " object marker"}},
      {"Pp1cs", {"<c1>Particle</c1>", I + " preposition", I + " 1st person common singular"}},
      {"Pz", {"<c1>Particle</c1>"}},
      {"x", {"<c1>Paragraph</c1>"}},
      {"vqvmsh", {"<c1>Verb</c1>", I + " qal imperative", I + " masculine singular", I + " paragogic <i>he</i>"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(decoded(c.code), c.lines);
  }
}

TEST(ParsingDecode, JoinedCodesGiveGroupsInOrder) {
  const std::string dot = "\xB7";
  // Preposition + noun, conjunction + wayyiqtol: how prefixed words are written.
  EXPECT_EQ(decoded("Pp" + dot + "ncfsa"),
            (Lines{"<c1>Particle</c1>", I + " preposition", "<c1>Noun</c1>", I + " common",
                   I + " feminine singular absolute"}));
  EXPECT_EQ(decoded("Pc" + dot + "vqw3ms"),
            (Lines{"<c1>Particle</c1>", I + " conjunction", "<c1>Verb</c1>",
                   I + " qal waw-consecutive", I + " 3rd person masculine singular"}));
  // Empty parts add nothing; the Aramaic mark holds for its own part only.
  EXPECT_EQ(decoded(dot + "%vMp3ms" + dot + dot + "vMp3ms"),
            (Lines{"<c1>Verb</c1>", I + " pael perfect", I + " 3rd person masculine singular",
                   "<c1>Verb</c1>", I + " perfect", I + " 3rd person masculine singular"}));
}

TEST(ParsingDecode, ForeignOrEmptyCodesAddNothing) {
  // Codes in another morphology notation (language letter first, '/' between morphemes) are
  // not this format: they must give no lines rather than wrong ones.
  for (const std::string code : {"", "%", "\xB7\xB7", "HVqp3ms", "HNcmpa", "HR/Ncfsa",
                                 "HC/Vqw3ms", "AVqp3ms", "z", "3ms"}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(decoded(code), Lines{});
  }
}

TEST(ParsingDecode, UnreadSuffixCharacterEndsThePart) {
  const std::string dot = "\xB7";
  struct Case {
    std::string code;
    Lines lines;
  };
  const Case cases[] = {
      {"vqp4", {"<c1>Verb</c1>", I + " qal perfect"}},
      {"vqp3m4s", {"<c1>Verb</c1>", I + " qal perfect", I + " 3rd person masculine"}},
      {"ncmsaX4", {"<c1>Noun</c1>", I + " common", I + " masculine singular absolute"}},
      {"vqp3ms{1", {"<c1>Verb</c1>", I + " qal perfect", I + " 3rd person masculine singular"}},
      {"Pc4" + dot + "x", {"<c1>Particle</c1>", I + " conjunction", "<c1>Paragraph</c1>"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(decoded(c.code), c.lines);
  }
}

TEST(ParsingDecode, AppendsToCallersLines) {
  Lines lines{""};
  Tparsing().decode("x", lines);
  EXPECT_EQ(lines, (Lines{"", "<c1>Paragraph</c1>"}));
}

}  // namespace
}  // namespace kov
