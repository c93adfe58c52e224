#include "LetterCode.h"

namespace kov::import {

namespace {

bool isHebrewAccent(char16_t c) { return c >= 0x0591 && c <= 0x05AF; }

CharTable makeGreek()
{
    CharTable t(QStringLiteral("Greek"));
    const char* latin = "abgdezhqiklmnxoprstufcyw";
    const char16_t lower[] = u"αβγδεζηθικλμνξοπρστυφχψω";
    const char16_t upper[] = u"ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩ";
    for (int i = 0; latin[i]; ++i) {
        t.set(static_cast<unsigned char>(latin[i]), lower[i]);
        t.set(static_cast<unsigned char>(latin[i] - 'a' + 'A'), upper[i]);
    }
    t.set('V', u'ς');  // only the display's final-sigma option writes it
    const char16_t marks[] = {0x0300, 0x0301, 0x0308, 0x0313, 0x0314, 0x0342, 0x0345, 0x0304, 0x0306, 0x2019,
                              0x2014, 0x02BC};
    for (unsigned i = 0; i < sizeof marks / sizeof marks[0]; ++i)
        t.set(static_cast<unsigned char>(0xC0 + i), marks[i]);
    for (char c : std::string(" .,;:!?()[]'-"))
        t.set(static_cast<unsigned char>(c), static_cast<unsigned char>(c));
    t.set(0xB7, 0x00B7);
    return t;
}

CharTable makeHebrew()
{
    CharTable t(QStringLiteral("Hebrew"));
    const char* latin = "abgdevzxhiKklMmNnsoPpYyqrwt";
    for (int i = 0; latin[i]; ++i)
        t.set(static_cast<unsigned char>(latin[i]), static_cast<char16_t>(0x05D0 + i));
    for (char16_t c = 0x05B0; c <= 0x05C7; ++c)  // points, maqqef, paseq, sof pasuq, nun hafukha
        t.set(static_cast<unsigned char>(0xC0 + (c - 0x05B0)), c);
    for (char16_t c = 0x0591; c <= 0x05AF; ++c)  // cantillation
        t.set(static_cast<unsigned char>(0xE0 + (c - 0x0591)), c);
    t.set(0xA1, 0x034F);  // combining grapheme joiner
    t.set(0xA2, 0x200D);
    for (char c : std::string(" /-.,"))
        t.set(static_cast<unsigned char>(c), static_cast<unsigned char>(c));
    return t;
}

}  // namespace

CharTable::CharTable(QString name) : name_(std::move(name)) {}

const CharTable& CharTable::greek()
{
    static const CharTable t = makeGreek();
    return t;
}

const CharTable& CharTable::hebrew()
{
    static const CharTable t = makeHebrew();
    return t;
}

void CharTable::set(unsigned char byte, char16_t ch) { map_[byte] = ch; }

std::optional<unsigned char> CharTable::byteOf(char16_t ch) const
{
    // The tables are small and fixed; a reverse scan keeps one source of truth.
    for (int b = 0; b < 256; ++b)
        if (map_[b] == ch && ch != 0)
            return static_cast<unsigned char>(b);
    return std::nullopt;
}

QString CharTable::toUnicode(const std::string& code) const
{
    QString out;
    out.reserve(static_cast<qsizetype>(code.size()));
    for (unsigned char b : code)
        out += QChar(map_[b] ? map_[b] : char16_t(0xFFFD));
    return out;
}

std::optional<std::string> CharTable::fromUnicode(const QString& text, QChar* unmapped) const
{
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (QChar c : text) {
        auto b = byteOf(c.unicode());
        if (!b) {
            if (unmapped)
                *unmapped = c;
            return std::nullopt;
        }
        out.push_back(static_cast<char>(*b));
    }
    return out;
}

void CharTable::markUsed(std::array<bool, 256>& used, const std::string& code)
{
    for (unsigned char b : code)
        used[b] = true;
}

CharTableHeader CharTable::header(const std::array<bool, 256>& used) const
{
    CharTableHeader h;
    h.label1 = name_;
    h.label2 = QStringLiteral("Unicode");
    // The loader skips blanks in the source text; a blank is shown as itself anyway.
    for (int b = 33; b < 256; ++b) {
        if (!used[b] || !map_[b])
            continue;
        h.source += QChar(static_cast<char16_t>(b));
        h.target += QChar(map_[b]);
    }
    h.count = static_cast<int>(h.source.size());
    return h;
}

namespace {

QString describe(QChar c)
{
    return QStringLiteral("no letter code for U+%1 (%2)")
        .arg(c.unicode(), 4, 16, QLatin1Char('0'))
        .arg(c)
        .toUpper();
}

}  // namespace

QString hebrewForm(const QString& hebrew, const HebrewForm& form)
{
    QString out;
    out.reserve(hebrew.size());
    for (QChar c : hebrew) {
        const char16_t u = c.unicode();
        if (!form.accents && isHebrewAccent(u))
            continue;
        if (!form.meteg && u == 0x05BD)
            continue;
        if (!form.morphemes && u == u'/')
            continue;
        out += c;
    }
    return out;
}

CodeResult hebrewToCode(const QString& hebrew, const HebrewForm& form)
{
    CodeResult r;
    QChar bad;
    auto code = CharTable::hebrew().fromUnicode(hebrewForm(hebrew, form), &bad);
    if (code)
        r.code = std::move(*code);
    else
        r.error = describe(bad);
    return r;
}

QString codeToHebrew(const std::string& code) { return CharTable::hebrew().toUnicode(code); }

CodeResult greekToCode(const QString& greek)
{
    CodeResult r;
    QString nfd = greek.normalized(QString::NormalizationForm_D);
    nfd.replace(QChar(0x03C2), QChar(0x03C3));  // final sigma: the display makes it again
    QChar bad;
    auto code = CharTable::greek().fromUnicode(nfd, &bad);
    if (code)
        r.code = std::move(*code);
    else
        r.error = describe(bad);
    return r;
}

QString codeToGreek(const std::string& code)
{
    QString s = CharTable::greek().toUnicode(code);
    // A sigma ends a word when no letter or mark follows it.
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != QChar(0x03C3))
            continue;
        const bool letterFollows = i + 1 < s.size() && (s[i + 1].isLetter() || s[i + 1].isMark());
        const bool letterBefore = i > 0 && (s[i - 1].isLetter() || s[i - 1].isMark());
        if (!letterFollows && letterBefore)
            s[i] = QChar(0x03C2);
    }
    return s.normalized(QString::NormalizationForm_C);
}

}  // namespace kov::import
