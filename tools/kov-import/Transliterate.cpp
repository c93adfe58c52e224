#include "Transliterate.h"

#include <vector>

namespace kov::import {

namespace {

// ---- Hebrew ----

struct HLetter {
    char16_t base = 0;
    bool dagesh = false, shinDot = false, sinDot = false;
    char16_t vowel = 0;  // one of the vowel points, 0 when none
    bool holamVav = false;
};

bool isVowelPoint(char16_t c) { return (c >= 0x05B0 && c <= 0x05BB) || c == 0x05C7; }
bool isGuttural(char16_t c) { return c == 0x05D0 || c == 0x05D4 || c == 0x05D7 || c == 0x05E2; }

QString consonant(const HLetter& l)
{
    switch (l.base) {
    case 0x05D0: return QStringLiteral("'");
    case 0x05D1: return l.dagesh ? QStringLiteral("b") : QStringLiteral("v");
    case 0x05D2: return QStringLiteral("g");
    case 0x05D3: return QStringLiteral("d");
    case 0x05D4: return QStringLiteral("h");
    case 0x05D5: return QStringLiteral("v");
    case 0x05D6: return QStringLiteral("z");
    case 0x05D7: return QStringLiteral("kh");
    case 0x05D8: return QStringLiteral("t");
    case 0x05D9: return QStringLiteral("y");
    case 0x05DA:
    case 0x05DB: return l.dagesh ? QStringLiteral("k") : QStringLiteral("kh");
    case 0x05DC: return QStringLiteral("l");
    case 0x05DD:
    case 0x05DE: return QStringLiteral("m");
    case 0x05DF:
    case 0x05E0: return QStringLiteral("n");
    case 0x05E1: return QStringLiteral("s");
    case 0x05E2: return QStringLiteral("'");
    case 0x05E3:
    case 0x05E4: return l.dagesh ? QStringLiteral("p") : QStringLiteral("f");
    case 0x05E5:
    case 0x05E6: return QStringLiteral("ts");
    case 0x05E7: return QStringLiteral("q");
    case 0x05E8: return QStringLiteral("r");
    case 0x05E9: return l.sinDot ? QStringLiteral("s") : QStringLiteral("sh");
    case 0x05EA: return QStringLiteral("t");
    }
    return {};
}

QString vowel(char16_t v)
{
    switch (v) {
    case 0x05B1: case 0x05B5: case 0x05B6: return QStringLiteral("e");
    case 0x05B2: case 0x05B7: case 0x05B8: return QStringLiteral("a");
    case 0x05B3: case 0x05B9: case 0x05BA: case 0x05C7: return QStringLiteral("o");
    case 0x05B4: return QStringLiteral("i");
    case 0x05BB: return QStringLiteral("u");
    }
    return {};
}

QString hebrewWord(const std::vector<HLetter>& w)
{
    QString out;
    const size_t n = w.size();
    bool prevShewa = false;
    bool prevFullVowel = false;
    for (size_t i = 0; i < n; ++i) {
        HLetter l = w[i];
        const bool first = i == 0;
        const bool last = i + 1 == n;
        // vav as a vowel letter: holam (וֹ) or shureq (וּ without a vowel of its own)
        if (l.base == 0x05D5 && !first) {
            if (l.holamVav || (l.vowel == 0x05B9 && !prevFullVowel && !prevShewa)) {
                out += u'o';
                prevFullVowel = true;
                prevShewa = false;
                continue;
            }
            if (l.dagesh && l.vowel == 0 && !prevFullVowel) {
                out += u'u';
                prevFullVowel = true;
                prevShewa = false;
                continue;
            }
        }
        if (l.base == 0x05D5 && first && l.dagesh && l.vowel == 0) {
            out += u'u';
            prevFullVowel = true;
            continue;
        }
        // yod after i/e/a without its own vowel is a vowel letter
        if (l.base == 0x05D9 && !first && l.vowel == 0 && !l.dagesh && prevFullVowel &&
            (out.endsWith(u'i') || out.endsWith(u'e'))) {
            continue;
        }
        // a silent alef or final he without mappiq adds no sound
        if (l.base == 0x05D0 && l.vowel == 0 && (!first || last)) {
            prevShewa = false;
            continue;
        }
        if (l.base == 0x05D0 && first) {
            // an initial alef is not written
        } else if (l.base == 0x05D4 && last && l.vowel == 0 && !l.dagesh) {
            out += u'h';
            continue;
        } else {
            QString c = consonant(l);
            const bool begadkefat = QStringView(u"\u05D1\u05D2\u05D3\u05DB\u05DA\u05E4\u05E3\u05EA").contains(QChar(l.base));
            const bool doubled = l.dagesh && !first && prevFullVowel && l.base != 0x05D4 &&
                                 !(l.base == 0x05D5 && l.vowel == 0);
            (void)begadkefat;
            // furtive patah: the vowel is heard before a final guttural
            if (last && l.vowel == 0x05B7 && (l.base == 0x05D7 || l.base == 0x05E2 || (l.base == 0x05D4 && l.dagesh))) {
                out += u'a';
                out += c;
                break;
            }
            out += doubled ? c + c : c;
            if (l.vowel == 0x05B0) {
                // vocal shewa: at the start, after another shewa, under a doubled letter
                const bool vocal = first || prevShewa || doubled;
                if (vocal && !last)
                    out += u'e';
                prevShewa = !vocal;
                prevFullVowel = false;
                continue;
            }
        }
        const QString v = vowel(l.vowel);
        out += v;
        prevFullVowel = !v.isEmpty();
        prevShewa = false;
        (void)isGuttural;
    }
    return out;
}

}  // namespace

QString transliterateHebrew(const QString& hebrew)
{
    QString out;
    std::vector<HLetter> word;
    auto flushWord = [&] {
        out += hebrewWord(word);
        word.clear();
    };
    for (QChar qc : hebrew) {
        const char16_t c = qc.unicode();
        if (c >= 0x05D0 && c <= 0x05EA) {
            word.push_back({});
            word.back().base = c;
        } else if (word.empty()) {
            if (c == 0x05BE)
                out += u'-';
            else if (c == u' ')
                out += u' ';
        } else if (c == 0x05BC) {
            word.back().dagesh = true;
        } else if (c == 0x05C1) {
            word.back().shinDot = true;
        } else if (c == 0x05C2) {
            word.back().sinDot = true;
        } else if (isVowelPoint(c)) {
            if (c == 0x05B9 && word.back().base == 0x05D5 && word.back().vowel == 0)
                word.back().holamVav = true;
            else
                word.back().vowel = c;
        } else if (c == 0x05BE) {
            flushWord();
            out += u'-';
        } else if (c == u' ') {
            flushWord();
            out += u' ';
        }
        // accents, meteg, "/" and other marks do not change the sound
    }
    flushWord();
    return out;
}

// ---- Greek ----

namespace {

QString greekLetter(char16_t c)
{
    static const char16_t letters[] = u"αβγδεζηθικλμνξοπρσςτυφχψω";
    static const char* latin[] = {"a", "b", "g", "d", "e", "z", "ē", "th", "i", "k", "l", "m", "n",
                                  "x", "o", "p", "r", "s", "s", "t", "y", "ph", "ch", "ps", "ō"};
    for (int i = 0; letters[i]; ++i)
        if (letters[i] == c)
            return QString::fromUtf8(latin[i]);
    return {};
}

bool isGreekVowel(char16_t c) { return QStringView(u"αεηιουω").contains(QChar(c)); }

}  // namespace

QString transliterateGreek(const QString& greek)
{
    const QString d = greek.normalized(QString::NormalizationForm_D);
    // letters with their marks
    struct L {
        char16_t lower = 0;
        bool upper = false, rough = false, subscript = false, diaeresis = false;
    };
    std::vector<L> ls;
    QString out;
    auto flush = [&] {
        for (size_t i = 0; i < ls.size(); ++i) {
            const L& l = ls[i];
            QString s = greekLetter(l.lower);
            const L* next = i + 1 < ls.size() ? &ls[i + 1] : nullptr;
            // upsilon is "u" in diphthongs
            if (l.lower == u'υ' && i > 0 && QStringView(u"αεηο").contains(QChar(ls[i - 1].lower)) && !l.diaeresis)
                s = QStringLiteral("u");
            if (l.lower == u'υ' && next && next->lower == u'ι' && !next->diaeresis)
                s = QStringLiteral("u");
            if (l.lower == u'γ' && next && QStringView(u"γκξχ").contains(QChar(next->lower)))
                s = QStringLiteral("n");
            if (l.subscript)
                s += u'i';
            // the rough breathing sits on the vowel (or the second vowel of a diphthong) that starts the word
            bool rough = l.rough;
            if (!rough && i == 0 && next && next->rough && isGreekVowel(l.lower))
                rough = true;
            if (i == 1 && l.rough && isGreekVowel(ls[0].lower))
                rough = false;
            if (rough && l.lower == u'ρ')
                s = QStringLiteral("rh");
            else if (rough)
                s = u'h' + s;
            if (l.upper || (i == 1 && ls[0].upper == false && false))
                s[0] = s[0].toUpper();
            out += s;
        }
        ls.clear();
    };
    for (QChar qc : d) {
        const char16_t c = qc.unicode();
        if ((c >= 0x0391 && c <= 0x03A9) || (c >= 0x03B1 && c <= 0x03C9)) {
            L l;
            l.upper = c <= 0x03A9;
            l.lower = l.upper ? static_cast<char16_t>(c + 0x20) : c;
            ls.push_back(l);
        } else if (qc.isMark() && !ls.empty()) {
            if (c == 0x0314)
                ls.back().rough = true;
            else if (c == 0x0345)
                ls.back().subscript = true;
            else if (c == 0x0308)
                ls.back().diaeresis = true;
        } else {
            flush();
            if (c == 0x2019 || c == 0x02BC)
                out += u'\'';
            else
                out += qc;
        }
    }
    flush();
    return out;
}

}  // namespace kov::import
