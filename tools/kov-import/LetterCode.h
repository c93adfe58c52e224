#pragma once
// The 8-bit letter code of the database texts and the character tables that map it back to Unicode.
//
// Greek: the letters as Latin letters (a b g d e z h q i k l m n x o p r s t u f c y w, capitals in upper
// case), sigma always "s" (the display makes the final form); the text is decomposed (NFD) so that every
// breathing, accent, diaeresis and iota subscript is one byte of its own above 127, and composed again
// (NFC) on the way back.
// Hebrew: consonants as Latin letters (a alef, b bet, g gimel, d dalet, e he, v vav, z zayin, x chet,
// h tet, i yod, k kaf, l lamed, m mem, n nun, s samekh, o ayin, p pe, y tsade, q qof, r resh, w shin/sin,
// t tav; final forms K M N P Y), points and accents one byte each above 127, kept in the source's order
// (no normalisation: Unicode's canonical order would reorder the points).
#include <QString>
#include <array>
#include <optional>
#include <string>

namespace kov::import {

// The CHARTABLE of a word-list header: which bytes the list uses and the Unicode character of each.
struct CharTableHeader {
    int count = 0;
    QString label1;  // the script's name
    QString label2;  // "Unicode"
    QString source;  // one character per byte, U+0000..U+00FF
    QString target;  // the Unicode character of each
};

class CharTable {
public:
    CharTable(QString name);
    static const CharTable& greek();
    static const CharTable& hebrew();

    void set(unsigned char byte, char16_t ch);
    char16_t at(unsigned char byte) const { return map_[byte]; }  // 0 = not mapped
    std::optional<unsigned char> byteOf(char16_t ch) const;

    // Each byte through the map; a byte without an entry becomes U+FFFD.
    QString toUnicode(const std::string& code) const;
    // Each character to its byte; nullopt names the first character without a byte.
    std::optional<std::string> fromUnicode(const QString& text, QChar* unmapped = nullptr) const;
    // A table for the bytes a list uses: the union of the bytes of all its texts.
    CharTableHeader header(const std::array<bool, 256>& used) const;
    static void markUsed(std::array<bool, 256>& used, const std::string& code);

private:
    QString name_;
    std::array<char16_t, 256> map_{};
};

// Options for the Hebrew forms the lists need.
struct HebrewForm {
    bool accents = false;     // cantillation U+0591..U+05AF (and U+05C4/U+05C5 upper/lower dots stay points)
    bool meteg = true;        // U+05BD
    bool morphemes = false;   // keep "/" between morphemes
};

struct CodeResult {
    std::string code;
    QString error;  // empty on success: names the character that has no code
    bool ok() const { return error.isEmpty(); }
};

CodeResult hebrewToCode(const QString& hebrew, const HebrewForm& form = {});
QString codeToHebrew(const std::string& code);
// The Hebrew form without what `form` leaves out (the Unicode counterpart of hebrewToCode).
QString hebrewForm(const QString& hebrew, const HebrewForm& form);

CodeResult greekToCode(const QString& greek);
// Back to Unicode: final sigma where a word ends, composed (NFC).
QString codeToGreek(const std::string& code);

}  // namespace kov::import
