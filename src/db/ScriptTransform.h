#pragma once
#include <QString>

#include <string>

namespace kov {

// The display options the script transformations read. The caller fills it from the applied
// line options and the database's main-text language, so the functions stay free of state.
struct ScriptOptions {
  bool hebrew = false;       // the main text is Hebrew (else Greek)
  bool translit = false;     // show the original-language line transliterated
  bool modernGreek = false;  // Greek: final sigma at the end of a word
};

// Letter code as stored -> letter code as shown. With transliteration on, the modern Greek
// final sigma is not made (the transliteration has no final forms). The 8-bit form is cut at
// 255 characters; the 16-bit form has no limit.
std::string applyScriptOptions(const std::string& text, const ScriptOptions& options);
QString applyScriptOptions(const QString& text, const ScriptOptions& options);

// A word as shown (or typed) -> its stored letter code. Hebrew final forms are not restored.
// The result is cut at 255 characters.
std::string undoScriptOptions(const std::string& text, const ScriptOptions& options);

// Reverses a right-to-left word for display; an empty text or one starting with a digit
// (verse numbers) is returned unchanged.
std::string flipWord(const std::string& text);
QString flipWord(const QString& text);

}  // namespace kov
