#pragma once
#include <QString>

#include <cstdint>
#include <optional>
#include <string>

namespace kov {

// Small string operations shared by the views, dialogs and writers. Texts are 8-bit unless the
// signature says otherwise. A tag is everything from a '<' to the next '>' (cell markup).

// Normalises a query line: leading blanks dropped, commas read as blanks, runs of blanks and
// of '*' collapsed to one, tags dropped when removeTags is set, one trailing blank removed.
// At most 255 characters.
std::string cleanSearchText(const std::string& text, bool removeTags);

// "major.minor", with ".release" when the release is set; a non-zero build gives all four
// numbers.
std::string versionText(std::int32_t majorVersion, std::int32_t minorVersion,
                        std::int32_t release, std::int32_t build);

// The text without its tags; a stray '>' goes too, and an unclosed '<' drops the rest.
std::string removeTags(const std::string& text);

// Drops the blanks and tabs at the start of the text and directly after each '>'.
QString dropBlanksAfterTags(const QString& text);

// Each '<' becomes "<i>" and each '>' "</i>". At most 255 characters.
std::string markItalic(const std::string& text);

// Drops blanks (' ' only) at both ends; a text of blanks only gives one blank.
std::string trimBlanks(const std::string& text);

// name + "." + extension when name has no '.', else name.
std::string addDefaultExtension(const std::string& name, const std::string& extension);

// The characters before the first '.'; empty when there is none.
std::string nameBeforeDot(const std::string& text);

// path + "/" unless it is empty or already ends in '/'. At most 255 characters in.
std::string withTrailingSlash(const std::string& path);

// The text without its first and last characters; empty below 3 characters. At most 255.
std::string innerText(const std::string& text);

// A folder entry of a file list, "before[name.ext]": the part before the '[' and the name
// between it and the next '.'. Empty when the entry has no '[' with a later '.'.
struct BracketName {
  std::string before;
  std::string name;
};
std::optional<BracketName> bracketName(const std::string& entry);

// The caption without its '&' accelerator marks.
std::string removeAmpersands(const std::string& caption);

// A 16-bit text as an 8-bit database text: characters beyond Latin-1 become "?".
std::string toLatin1Text(const QString& text);

// The number formed by the digits at the start of the text; 1 when it does not start with a
// digit. Saturates at the largest int.
int leadingNumber(const std::string& text);

// Never fails: a decimal integer (leading blanks and a sign allowed) gives its value; any other
// text gives the value of the digits after the blanks and sign, up to the first character that
// is not a digit or would overflow (the sign is then ignored); 0 when there are none.
int textToNumber(const std::string& text);

}  // namespace kov
