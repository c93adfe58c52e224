#pragma once
#include <QString>
#include <string>
#include <vector>

#include "texts/WordGPWriter.h"

namespace kov::testing {

// A verse with the text it was made from.
struct TextVerse {
  TWgpVerse verse;
  std::string text;
};

// `count` verses spread over books of 10 chapters of 20 verses (codes GEN, EXO, LEV,
// ... in order), each a made-up sentence with punctuation, brackets and quotes, the
// same for the same index. Words come from splitVerseText.
std::vector<TextVerse> sampleTranslation(int count);
std::vector<TWgpVerse> versesOf(const std::vector<TextVerse>& verses);

// One verse from explicit words.
TWgpVerse wordsVerse(const std::string& book, int chapter, int verse,
                     std::vector<std::string> words, char mark = 0);

// Writes the translation's six files into dir (throws on failure).
void writeTranslation(const QString& dir, const QString& name, const std::vector<TWgpVerse>& verses);

}  // namespace kov::testing
