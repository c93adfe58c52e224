#include "support/TranslationFixtures.h"

#include <stdexcept>

namespace kov::testing {

namespace {
const char* const kBooks[] = {"GEN", "EXO", "LEV", "NUM", "DEU", "JOS", "JDG", "RUT", "1SA",
                              "2SA", "1KI", "2KI", "1CH", "2CH", "EZR", "NEH", "EST", "JOB",
                              "PSA", "PRO", "ECC", "SNG", "ISA", "JER", "LAM", "EZK", "DAN",
                              "HOS", "JOL", "AMO", "OBA", "JON", "MIC", "NAM", "HAB", "ZEP",
                              "HAG", "ZEC", "MAL", "MAT", "MRK", "LUK", "JHN", "ACT", "ROM",
                              "1CO", "2CO", "GAL", "EPH", "PHP", "COL", "1TH", "2TH", "1TI",
                              "2TI", "TIT", "PHM", "HEB", "JAS", "1PE", "2PE", "1JN", "2JN",
                              "3JN", "JUD", "REV"};
const char* const kWords[] = {"and", "the", "LORD", "said", "unto", "him", "behold", "light",
                              "day", "came", "to", "pass", "of", "Israel", "went", "up",
                              "city", "gate", "Grace", "peace", "be", "with", "you", "all"};
const char* const kTails[] = {".", ",", ";", ":", "?", "!", "", ""};
}  // namespace

std::vector<TextVerse> sampleTranslation(int count) {
  std::vector<TextVerse> out;
  unsigned seed = 12345;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFF;
  };
  for (int i = 0; i < count; ++i) {
    const int perBook = 10 * 20;
    TextVerse tv;
    tv.verse.book = kBooks[(i / perBook) % 66];
    tv.verse.chapter = (i % perBook) / 20 + 1;
    tv.verse.verse = i % 20 + 1;
    tv.verse.mark = (i % 97 == 5) ? 'a' : 0;
    std::string text;
    const int n = 3 + int(next() % 14);
    for (int w = 0; w < n; ++w) {
      std::string word = kWords[next() % 24];
      switch (next() % 23) {
        case 0: word = "(" + word + ")"; break;
        case 1: word = "\"" + word + "\""; break;
        case 2: word = "'" + word; break;
        case 3: word += " -"; break;
        case 4: word += "'s"; break;
        default: break;
      }
      if (!text.empty()) text += ' ';
      text += word + kTails[next() % 8];
    }
    tv.text = text;
    tv.verse.words = splitVerseText(text);
    out.push_back(std::move(tv));
  }
  return out;
}

std::vector<TWgpVerse> versesOf(const std::vector<TextVerse>& verses) {
  std::vector<TWgpVerse> out;
  for (const TextVerse& v : verses) out.push_back(v.verse);
  return out;
}

TWgpVerse wordsVerse(const std::string& book, int chapter, int verse,
                     std::vector<std::string> words, char mark) {
  TWgpVerse v;
  v.book = book;
  v.chapter = chapter;
  v.verse = verse;
  v.mark = mark;
  v.words = std::move(words);
  return v;
}

void writeTranslation(const QString& dir, const QString& name, const std::vector<TWgpVerse>& verses) {
  QString error;
  if (!writeWordGP(dir, name, verses, TbookTable{}, &error))
    throw std::runtime_error(error.toStdString());
}

}  // namespace kov::testing
