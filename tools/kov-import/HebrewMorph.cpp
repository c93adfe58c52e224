#include "HebrewMorph.h"

#include <QStringList>

namespace kov::import {

namespace {

constexpr char kDot = static_cast<char>(0xB7);

struct Conv {
    bool aramaic = false;
    bool lossy = false;
    std::string out;   // finished parts
    std::string part;  // the part being built (suffix groups are added to it)
    QString error;

    char at(const QString& s, int i) const { return i < s.size() ? s[i].toLatin1() : '\0'; }

    void flush()
    {
        if (part.empty())
            return;
        while (part.size() > 2 && part.back() == 'x')  // placeholders only matter before a suffix group
            part.pop_back();
        if (!out.empty())
            out += kDot;
        if (aramaic)
            out += '%';
        out += part;
        part.clear();
    }

    // gender, number, state as three characters; "x" keeps the suffix position where the decoder expects it
    std::string nominal(const QString& m, int from)
    {
        std::string g(1, at(m, from)), n(1, at(m, from + 1)), s(1, at(m, from + 2));
        if (g[0] == 'c') {  // common gender has no nominal counterpart
            g = "b";
            lossy = true;
        }
        if (g[0] == '\0')
            g = "x";
        if (n[0] == '\0')
            n = "x";
        if (s[0] == '\0')
            s = "x";
        return g + n + s;
    }

    static std::string trimX(std::string s)
    {
        while (!s.empty() && s.back() == 'x')
            s.pop_back();
        return s;
    }

    char stem(char c)
    {
        static const char* heb[][2] = {{"q", "q"}, {"N", "n"}, {"p", "p"}, {"P", "P"}, {"h", "h"}, {"H", "H"},
                                       {"t", "t"}, {"o", "e"}, {"O", "f"}, {"r", "v"}, {"m", "k"}, {"M", "l"},
                                       {"k", "a"}, {"K", "i"}, {"Q", "Q"}, {"l", "d"}, {"L", "g"}, {"f", "w"},
                                       {"D", "x"}, {"j", "b"}, {"i", "c"}, {"c", "m"}, {"v", "s"}};
        static const char* heb_approx[][2] = {{"u", "t"}, {"w", "x"}, {"y", "x"}, {"z", "v"}};
        static const char* aram[][2] = {{"q", "N"}, {"Q", "O"}, {"u", "F"}, {"p", "M"}, {"P", "K"}, {"M", "S"},
                                        {"a", "A"}, {"h", "B"}, {"s", "Q"}, {"e", "R"}, {"H", "D"}, {"i", "L"},
                                        {"t", "H"}, {"v", "I"}, {"o", "P"}, {"z", "V"}, {"r", "G"}};
        static const char* aram_approx[][2] = {{"w", "S"}, {"f", "G"}, {"b", "D"}, {"c", "B"}, {"m", "P"},
                                               {"l", "P"}, {"L", "G"}, {"O", "G"}, {"G", "K"}};
        if (aramaic) {
            for (auto& e : aram)
                if (e[0][0] == c)
                    return e[1][0];
            for (auto& e : aram_approx)
                if (e[0][0] == c) {
                    lossy = true;
                    return e[1][0];
                }
        } else {
            for (auto& e : heb)
                if (e[0][0] == c)
                    return e[1][0];
            for (auto& e : heb_approx)
                if (e[0][0] == c) {
                    lossy = true;
                    return e[1][0];
                }
        }
        return '\0';
    }

    void verb(const QString& m)
    {
        const char s = stem(at(m, 1));
        if (!s) {
            error = QStringLiteral("unknown verb stem in \"%1\"").arg(m);
            return;
        }
        part = std::string("v") + s;
        const char t = at(m, 2);
        std::string mood;
        char conj = '\0';
        switch (t) {
        case 'p': conj = 'p'; break;
        case 'q': conj = 'p'; mood = "{2}"; break;
        case 'i': conj = 'i'; break;
        case 'w': conj = 'w'; break;
        case 'h': conj = 'i'; mood = "{1}C"; break;
        case 'j': conj = 'i'; mood = "{1}J"; break;
        case 'v': conj = 'v'; break;
        case 'r': conj = 'P'; break;
        case 's': conj = 's'; break;
        case 'a': conj = 'a'; break;
        case 'c': conj = 'c'; break;
        case '\0': return;
        default: error = QStringLiteral("unknown verb form in \"%1\"").arg(m); return;
        }
        part += conj;
        if (conj == 'P' || conj == 's') {
            part += trimX(nominal(m, 3));  // participles: gender, number, state
        } else {
            std::string pgn;
            for (int i = 3; i < m.size() && i < 6; ++i)
                pgn += m[i] == u'x' ? std::string() : std::string(1, m[i].toLatin1());
            part += pgn;
        }
        part += mood;
        pendingMood = !mood.empty() && mood[0] == '{' && mood[1] == '1';
    }
    bool pendingMood = false;

    void suffix(const QString& m)
    {
        if (part.empty() && at(m, 1) == 'p') {
            // a suffix standing alone: shown as the personal pronoun it is
            QString pronoun = QStringLiteral("Pp") + m.mid(2);
            morpheme(pronoun);
            lossy = true;
            return;
        }
        // A mood group is five characters wide for the decoder; pad it when a suffix group follows.
        if (pendingMood) {
            part += 't';
            pendingMood = false;
        }
        const char t = at(m, 1);
        if (t == 'p') {
            std::string pgn;
            for (int i = 2; i < m.size() && i < 5; ++i) {
                char c = m[i].toLatin1();
                if (c == 'b') {
                    c = 'c';
                    lossy = true;
                }
                if (c != 'x')
                    pgn += c;
            }
            part += "X" + pgn;
        } else if (t == 'd' || t == 'h' || t == 'n') {
            part += std::string("X") + t;
        } else {
            error = QStringLiteral("unknown suffix in \"%1\"").arg(m);
        }
    }

    void morpheme(const QString& m)
    {
        const char pos = at(m, 0);
        const char type = at(m, 1);
        if (pos == 'S') {
            suffix(m);
            return;
        }
        flush();
        pendingMood = false;
        switch (pos) {
        case 'C': part = "Pc"; break;
        case 'D': part = "Pd"; break;
        case 'R':
            part = "Pp";
            if (type == 'd') {  // the preposition carries the article: two parts
                flush();
                part = "Pa";
            }
            break;
        case 'T':
            switch (type) {
            case 'd': part = "Pa"; break;
            case 'i': part = "Pg"; break;
            case 'j': part = "Pi"; break;
            case 'n': part = "Pn"; break;
            case 'o': part = "Po"; break;
            case 'r': part = "Pr"; break;
            case 'a': part = "Pd"; lossy = true; break;  // affirmation
            case 'e': part = "Pi"; lossy = true; break;  // exhortation
            case 'm': part = "Pi"; lossy = true; break;  // demonstrative ("behold")
            case '\0': part = "Pd"; lossy = true; break;  // a particle of no stated kind
            default: error = QStringLiteral("unknown particle \"%1\"").arg(m);
            }
            break;
        case 'N':
            if (type == 'c' || type == 'g')
                part = std::string("n") + type + nominal(m, 2);
            else if (type == 'p') {
                part = "np";
                if (m.size() > 2)
                    lossy = true;  // a proper name's gender has no place
            } else if (type == 'x') {  // a noun of unknown type: taken as common
                part = "nc" + nominal(m, 2);
                lossy = true;
            } else
                error = QStringLiteral("unknown noun type in \"%1\"").arg(m);
            break;
        case 'A':
            switch (type) {
            case 'a': part = "a" + nominal(m, 2); break;
            case 'c': part = "uc" + nominal(m, 2); break;
            case 'o': part = "uo" + nominal(m, 2); break;
            case 'g': part = "ng" + nominal(m, 2); lossy = true; break;  // gentilic adjective as gentilic noun
            default: error = QStringLiteral("unknown adjective type in \"%1\"").arg(m);
            }
            break;
        case 'P': {
            if (type == 'r') {
                part = "Pr";
                break;
            }
            std::string person(1, at(m, 2)), gender(1, at(m, 3)), number(1, at(m, 4));
            if (type == 'i')
                person = "i";
            else if (type != 'p')
                lossy = true;  // demonstrative and indefinite pronouns have no class of their own
            if (person[0] == 'x' || person[0] == '\0')
                person = "3";
            if (gender[0] == 'b') {
                gender = "c";
                lossy = true;
            }
            if (gender[0] == 'x' || gender[0] == '\0')
                gender = "c";
            if (number[0] == 'x' || number[0] == '\0')
                number = "s";
            if (type != 'p' && type != 'i' && type != 'd' && type != 'f') {
                error = QStringLiteral("unknown pronoun type in \"%1\"").arg(m);
                break;
            }
            part = "pi" + person + gender + number;
            break;
        }
        case 'V': verb(m); break;
        default: error = QStringLiteral("unknown part of speech in \"%1\"").arg(m);
        }
    }
};

}  // namespace

MorphResult convertHebrewMorph(const QString& oshb)
{
    MorphResult r;
    if (oshb.size() < 2 || (oshb[0] != u'H' && oshb[0] != u'A')) {
        r.error = QStringLiteral("not a morphology code: \"%1\"").arg(oshb);
        return r;
    }
    Conv c;
    c.aramaic = oshb[0] == u'A';
    for (const auto& m : oshb.mid(1).split(u'/')) {
        if (m.isEmpty()) {
            // a few source codes end in "/": an unanalysed morpheme
            c.lossy = true;
            continue;
        }
        c.morpheme(m);
        if (!c.error.isEmpty()) {
            r.error = c.error;
            return r;
        }
    }
    c.flush();
    r.code = c.out;
    r.lossy = c.lossy;
    return r;
}

}  // namespace kov::import
