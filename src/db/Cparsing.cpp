#include "db/Cparsing.h"

#include <algorithm>

namespace kov {
namespace {

constexpr const char* kIndent = "<ms>    </ms>";
constexpr const char* kSuffixIndent = "<ms>  <c1>X</c1></ms>";

struct Entry {
  char code;
  const char* text;
};

template <std::size_t N>
const char* lookup(const Entry (&table)[N], char c) {
  for (const Entry& e : table) {
    if (e.code == c) return e.text;
  }
  return nullptr;
}

constexpr Entry kParticles[] = {
    {'a', " article"},       {'c', " conjunction"},   {'d', " adverb"},
    {'g', " interrogative"}, {'i', " interjection"},  {'n', " negative"},
    {'o', " object marker"}, {'p', " preposition"},   {'r', " relative"}};

constexpr Entry kHebrewStems[] = {
    {'H', " hofal"},   {'P', " pual"},      {'Q', " qal pass"},  {'a', " palel"},
    {'b', " pealal"},  {'c', " pilel"},     {'d', " pilpel"},    {'e', " polel"},
    {'f', " polal"},   {'g', " polpal"},    {'h', " hifil"},     {'i', " pulal"},
    {'k', " poel"},    {'l', " poal"},      {'m', " tifil"},     {'n', " nifal"},
    {'p', " piel"},    {'q', " qal"},       {'s', " hishtafel"}, {'t', " hitpael"},
    {'u', " potpaal"}, {'v', " hitpolel"},  {'w', " hitpalpel"}, {'x', " nitpael"}};

constexpr Entry kAramaicStems[] = {
    {'A', " afel"},      {'B', " hafel"},     {'D', " hofal"},    {'F', " hitpeel"},
    {'G', " hitpolel"},  {'H', " hishtafel"}, {'I', " ishtafel"}, {'K', " itpaal"},
    {'L', " itpeel"},    {'M', " pael"},      {'N', " peal"},     {'O', " peil"},
    {'P', " polel"},     {'Q', " safal"},     {'R', " shafel"},   {'S', " hitpaal"},
    {'V', " itpoel"}};

constexpr Entry kConjugations[] = {
    {'P', " participle"},        {'a', " infinitive absolute"}, {'c', " infinitive construct"},
    {'i', " imperfect"},         {'p', " perfect"},             {'s', " passive participle"},
    {'v', " imperative"},        {'w', " waw-consecutive"}};

constexpr Entry kGenders[] = {{'b', " both"}, {'f', " feminine"}, {'m', " masculine"}};
constexpr Entry kNumbers[] = {{'d', " dual"}, {'p', " plural"}, {'s', " singular"}};
constexpr Entry kStates[] = {{'a', " absolute"}, {'c', " construct"}, {'d', " determined"}};

constexpr Entry kPersons[] = {{'1', " 1st person"}, {'2', " 2nd person"}, {'3', " 3rd person"}};
constexpr Entry kSuffixGenders[] = {{'c', " common"}, {'f', " feminine"}, {'m', " masculine"}};
constexpr Entry kSuffixNumbers[] = {{'p', " plural"}, {'s', " singular"}};
constexpr Entry kSpecialForms[] = {{'a', " apocopated"},
                                   {'d', " directional <i>he</i>"},
                                   {'e', " energic <i>nun</i>"},
                                   {'h', " paragogic <i>he</i>"},
                                   {'n', " paragogic <i>nun</i>"}};
constexpr Entry kMoods[] = {{'C', " cohortative"}, {'J', " jussive"}};
constexpr Entry kMoodUses[] = {
    {'f', " in form only"}, {'m', " in meaning only"}, {'t', " in form & meaning"}};

// Reads one part with 0-based positions; a position past the end reads as no character.
class PartReader {
 public:
  PartReader(std::string_view part, std::vector<std::string>& lines)
      : part_(part), lines_(lines) {}

  char at(std::size_t pos) const { return pos < part_.size() ? part_[pos] : '\0'; }
  std::size_t size() const { return part_.size(); }

  void heading(const char* wordClass) {
    lines_.push_back(std::string("<c1>") + wordClass + "</c1>");
  }

  void detail(const std::string& description, const char* indent = kIndent) {
    if (!description.empty()) lines_.push_back(indent + description);
  }

  // Appends the table entry for the character at pos and moves on when there is one.
  template <std::size_t N>
  bool take(const Entry (&table)[N], std::size_t& pos, std::string& description) const {
    const char* text = lookup(table, at(pos));
    if (text == nullptr) return false;
    description += text;
    ++pos;
    return true;
  }

  // Gender, number and state, each optional, in that order.
  std::string nominal(std::size_t& pos) const {
    std::string d;
    take(kGenders, pos, d);
    take(kNumbers, pos, d);
    take(kStates, pos, d);
    return d;
  }

  void nominalLine(std::size_t pos) {
    detail(nominal(pos));
  }

  void suffixes(std::size_t pos) {
    while (pos < part_.size()) {
      const std::size_t start = pos;
      const char* indent = kIndent;
      if (at(pos) == 'X') {
        indent = kSuffixIndent;
        ++pos;
      }
      std::string d;
      take(kPersons, pos, d);
      take(kSuffixGenders, pos, d);
      take(kSuffixNumbers, pos, d);
      take(kSpecialForms, pos, d);
      if (part_.size() - std::min(pos, part_.size()) >= 3) {
        const std::string_view group = part_.substr(pos, 3);
        if (group == "{1}") {
          if (const char* mood = lookup(kMoods, at(pos + 3))) d += mood;
          if (const char* use = lookup(kMoodUses, at(pos + 4))) d += use;
          pos += 5;
        } else if (group == "{2}") {
          d += " consecutive perfect";
          pos += 3;
        }
      }
      detail(d, indent);
      // A character outside the format would never be read: the part ends there.
      if (pos == start) break;
    }
  }

 private:
  std::string_view part_;
  std::vector<std::string>& lines_;
};

}  // namespace

void Tparsing::decode(std::string_view code, std::vector<std::string>& lines) const {
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = code.find(kMorphemeSeparator, start);
    decodePart(code.substr(start, dot == std::string_view::npos ? dot : dot - start), lines);
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
}

void Tparsing::decodePart(std::string_view part, std::vector<std::string>& lines) const {
  const bool aramaic = !part.empty() && part.front() == '%';
  if (aramaic) part.remove_prefix(1);
  if (part.empty()) return;
  PartReader r(part, lines);

  // Positions are 0-based here: index 1 is the code's second character.
  switch (part.front()) {
    case 'P': {
      r.heading("Particle");
      const char* kind = lookup(kParticles, r.at(1));
      r.detail(kind ? kind : "");
      r.suffixes(2);
      break;
    }
    case 'a':
      r.heading("Adjective");
      r.nominalLine(1);
      r.suffixes(4);
      break;
    case 'n':
      r.heading("Noun");
      switch (r.at(1)) {
        case 'c':
        case 'g':
          r.detail(r.at(1) == 'c' ? " common" : " gentilic");
          r.nominalLine(2);
          r.suffixes(5);
          break;
        case 'p':
          r.detail(" proper name");
          if (r.at(2) == 'i') {
            r.detail(" interrogative");
            r.suffixes(3);
          } else {
            r.suffixes(2);
          }
          break;
        default:
          break;
      }
      break;
    case 'p':
      r.heading("Pronoun");
      if (r.at(1) == 'i') {
        std::string d = " independent";
        if (r.at(2) == 'i') {
          d += " interrogative";
        } else if (const char* person = lookup(kPersons, r.at(2))) {
          d += person;
        }
        if (const char* gender = lookup(kSuffixGenders, r.at(3))) d += gender;
        if (const char* number = lookup(kSuffixNumbers, r.at(4))) d += number;
        r.detail(d);
        r.suffixes(5);
      }
      break;
    case 'u':
      if (r.at(1) == 'c') r.heading("cardinal");
      else if (r.at(1) == 'o') r.heading("ordinal");
      r.nominalLine(2);
      r.suffixes(5);
      break;
    case 'v': {
      r.heading("Verb");
      if (r.size() <= 2) break;
      std::string d;
      const char* stem = aramaic ? lookup(kAramaicStems, r.at(1)) : lookup(kHebrewStems, r.at(1));
      if (stem) d += stem;
      std::size_t pos = 2;
      r.take(kConjugations, pos, d);
      r.detail(d);
      const std::string features = r.nominal(pos);
      r.detail(features);
      r.suffixes(pos);
      break;
    }
    case 'x':
      r.heading("Paragraph");
      break;
    default:
      break;
  }
}

}  // namespace kov
