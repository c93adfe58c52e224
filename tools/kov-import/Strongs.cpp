#include "Strongs.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace kov::import {

namespace {

QString squeeze(QString s) { return s.simplified(); }

void addRef(StrongEntry& e, const QString& ref)
{
    if (!ref.isEmpty() && !e.references.contains(ref))
        e.references += ref;
}

// "G:1118" / "433" / "00427" -> number; 0 when none.
int refNumber(QStringView s)
{
    if (const auto colon = s.indexOf(u':'); colon >= 0)
        s = s.mid(colon + 1);
    bool ok = false;
    const int n = s.toInt(&ok);
    return ok ? n : 0;
}

// Reads the mixed content of the current element as text; inline words become their lemma, references
// "H433"/"G427". Returns the first <hi> text through firstHi.
QString mixedText(QXmlStreamReader& x, StrongEntry& e, QString* firstHi = nullptr)
{
    QString out;
    int depth = 1;
    while (depth > 0 && !x.atEnd()) {
        const auto t = x.readNext();
        if (t == QXmlStreamReader::Characters) {
            out += x.text();
        } else if (t == QXmlStreamReader::StartElement) {
            ++depth;
            const auto a = x.attributes();
            const auto name = x.name();
            if (name == u"w" || name == u"greek") {
                const QString word = a.value(name == u"w" ? QLatin1String("lemma") : QLatin1String("unicode")).toString();
                out += word;
                if (a.hasAttribute(QLatin1String("src"))) {
                    const QString ref = QStringLiteral("H") + QString::number(refNumber(a.value(QLatin1String("src"))));
                    out += QStringLiteral(" (") + ref + u')';
                    addRef(e, ref);
                }
            } else if (name == u"strongsref") {
                const QString ref = (a.value(QLatin1String("language")) == u"HEBREW" ? QStringLiteral("H") : QStringLiteral("G")) +
                                    QString::number(refNumber(a.value(QLatin1String("strongs"))));
                out += ref;
                addRef(e, ref);
            } else if (name == u"hi" && firstHi && firstHi->isEmpty()) {
                *firstHi = x.readElementText(QXmlStreamReader::IncludeChildElements);
                out += *firstHi;
                --depth;
            }
        } else if (t == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    return squeeze(out);
}

}  // namespace

QString hebrewShortGloss(const QString& firstSense, const QString& firstHighlight, int number)
{
    // A few very frequent words whose first sense describes rather than renders them.
    switch (number) {
    case 853: return QStringLiteral("[obj]");
    case 3068: return QStringLiteral("LORD");
    case 430: return QStringLiteral("God");
    case 7225: return QStringLiteral("beginning");
    case 776: return QStringLiteral("earth");
    default: break;
    }
    static const QRegularExpression label(QStringLiteral("^\\s*\\d+[a-z0-9]*\\)\\s*"));
    static const QRegularExpression parens(QStringLiteral("\\([^)]*\\)"));
    QString s = firstSense;
    s.remove(label);
    s.remove(parens);
    s = s.section(QRegularExpression(QStringLiteral("[,;]")), 0, 0).simplified();
    if (s.isEmpty()) {
        s = firstHighlight.simplified();
        static const QRegularExpression article(QStringLiteral("^(a|an|the)\\s+"));
        s.remove(article);
    }
    if (s.startsWith(QStringLiteral("to ")))
        s = s.mid(3);
    return s;
}

bool readStrongsHebrew(QIODevice& in, const QString& fileName, std::vector<StrongEntry>& entries, SourceError& error)
{
    QXmlStreamReader x(&in);
    entries.clear();
    StrongEntry* e = nullptr;
    QString firstSense, firstHi;
    bool inForeign = false;
    auto finish = [&] {
        if (e)
            e->shortGloss = hebrewShortGloss(firstSense, firstHi, e->number);
    };
    while (!x.atEnd()) {
        const auto t = x.readNext();
        if (t == QXmlStreamReader::EndElement && x.name() == u"foreign")
            inForeign = false;
        if (t != QXmlStreamReader::StartElement)
            continue;
        const auto name = x.name();
        const auto a = x.attributes();
        if (name == u"div" && a.value(QLatin1String("type")) == u"entry") {
            finish();
            bool ok = false;
            const int n = a.value(QLatin1String("n")).toInt(&ok);
            if (!ok || n <= 0) {
                error = {fileName, x.lineNumber(), QStringLiteral("entry without a number")};
                return false;
            }
            entries.push_back({});
            e = &entries.back();
            e->language = u'H';
            e->number = n;
            firstSense.clear();
            firstHi.clear();
        } else if (!e) {
            continue;
        } else if (name == u"foreign") {
            inForeign = true;
        } else if (name == u"w" && inForeign) {
            if (const int n = refNumber(a.value(QLatin1String("gloss"))); n > 0)
                addRef(*e, QStringLiteral("G") + QString::number(n));
        } else if (name == u"w" && e->lemma.isEmpty()) {
            e->lemma = a.value(QLatin1String("lemma")).toString();
            e->translit = a.value(QLatin1String("xlit")).toString();
            e->pronunciation = a.value(QLatin1String("POS")).toString();
            x.skipCurrentElement();
        } else if (name == u"item") {
            const QString item = x.readElementText(QXmlStreamReader::IncludeChildElements).simplified();
            if (!e->outline.isEmpty())
                e->outline += u'\n';
            e->outline += item;
            if (firstSense.isEmpty() && item.contains(QRegularExpression(QStringLiteral("^\\d+\\)"))))
                firstSense = item;
        } else if (name == u"note") {
            const auto type = a.value(QLatin1String("type")).toString();
            QString hi;
            const QString text = mixedText(x, *e, &hi);
            if (type == u"exegesis")
                e->derivation = text;
            else if (type == u"explanation") {
                e->definition = text;
                firstHi = hi;
            } else if (type == u"translation")
                e->kjvUsage = text;
        }
    }
    finish();
    if (x.hasError()) {
        error = {fileName, x.lineNumber(), x.errorString()};
        return false;
    }
    if (entries.empty()) {
        error = {fileName, 0, QStringLiteral("no entries")};
        return false;
    }
    return true;
}

bool readStrongsGreek(QIODevice& in, const QString& fileName, std::vector<StrongEntry>& entries, SourceError& error)
{
    QXmlStreamReader x(&in);
    entries.clear();
    StrongEntry* e = nullptr;
    while (!x.atEnd()) {
        if (x.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = x.name();
        const auto a = x.attributes();
        if (name == u"entry") {
            bool ok = false;
            const int n = a.value(QLatin1String("strongs")).toInt(&ok);
            if (!ok || n <= 0) {
                error = {fileName, x.lineNumber(), QStringLiteral("entry without a number")};
                return false;
            }
            entries.push_back({});
            e = &entries.back();
            e->language = u'G';
            e->number = n;
        } else if (!e) {
            continue;
        } else if (name == u"greek" && e->lemma.isEmpty()) {
            e->lemma = a.value(QLatin1String("unicode")).toString();
            e->translit = a.value(QLatin1String("translit")).toString();
        } else if (name == u"pronunciation" && e->pronunciation.isEmpty()) {
            e->pronunciation = a.value(QLatin1String("strongs")).toString();
        } else if (name == u"strongs_def") {
            e->definition = mixedText(x, *e);
        } else if (name == u"strongs_derivation") {
            e->derivation = mixedText(x, *e);
        } else if (name == u"kjv_def") {
            QString k = mixedText(x, *e);
            if (k.startsWith(QStringLiteral("--")))
                k = k.mid(2);
            if (k.endsWith(u'.'))
                k.chop(1);
            e->kjvUsage = k;
        } else if (name == u"strongsref" || name == u"see") {
            const QString ref = (a.value(QLatin1String("language")) == u"HEBREW" ? QStringLiteral("H") : QStringLiteral("G")) +
                                QString::number(refNumber(a.value(QLatin1String("strongs"))));
            addRef(*e, ref);
        }
    }
    if (x.hasError()) {
        error = {fileName, x.lineNumber(), x.errorString()};
        return false;
    }
    if (entries.empty()) {
        error = {fileName, 0, QStringLiteral("no entries")};
        return false;
    }
    return true;
}

bool readStrongsFile(const QString& path, bool hebrew, std::vector<StrongEntry>& entries, SourceError& error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        error = {path, 0, QStringLiteral("cannot open: %1").arg(f.errorString())};
        return false;
    }
    return hebrew ? readStrongsHebrew(f, path, entries, error) : readStrongsGreek(f, path, entries, error);
}

namespace {

QString prefixGloss(QStringView p)
{
    if (p == u"b") return QStringLiteral("in");
    if (p == u"c") return QStringLiteral("and");
    if (p == u"d") return QStringLiteral("the");
    if (p == u"l") return QStringLiteral("to");
    if (p == u"m") return QStringLiteral("from");
    if (p == u"k") return QStringLiteral("like");
    if (p == u"i") return QStringLiteral("?");
    if (p == u"s") return QStringLiteral("which");
    return {};
}

QString suffixGloss(QStringView pgn, bool possessive)
{
    // person, gender, number -> English pronoun
    const QChar p = pgn.size() > 0 ? pgn[0] : QChar();
    const QChar g = pgn.size() > 1 ? pgn[1] : QChar();
    const QChar n = pgn.size() > 2 ? pgn[2] : QChar();
    const bool pl = n == u'p';
    if (p == u'1')
        return possessive ? (pl ? QStringLiteral("our") : QStringLiteral("my")) : (pl ? QStringLiteral("us") : QStringLiteral("me"));
    if (p == u'2')
        return possessive ? QStringLiteral("your") : QStringLiteral("you");
    if (p == u'3') {
        if (pl)
            return possessive ? QStringLiteral("their") : QStringLiteral("them");
        if (g == u'f')
            return QStringLiteral("her");
        return possessive ? QStringLiteral("his") : QStringLiteral("him");
    }
    return {};
}

}  // namespace

QString hebrewStrongText(const QString& lemma)
{
    QStringList out;
    for (const auto& part : lemma.split(u'/')) {
        static const QRegularExpression num(QStringLiteral("^(\\d+)"));
        const auto m = num.match(part.trimmed());
        if (m.hasMatch())
            out += QStringLiteral("H") + QString::number(m.captured(1).toInt());
    }
    return out.join(u'/');
}

QString hebrewWordGloss(const QString& lemma, const QString& morph, const QHash<int, QString>& shortGlosses)
{
    // Lemma parts are the prefixes and the content word; morph parts add the suffixes after them.
    QStringList words;
    QString content;
    bool contentIsNominal = false;
    const QStringList morphs = morph.mid(1).split(u'/');
    const QStringList parts = lemma.split(u'/');
    for (int i = 0; i < parts.size(); ++i) {
        const QString part = parts[i].trimmed();
        static const QRegularExpression num(QStringLiteral("^(\\d+)"));
        const auto m = num.match(part);
        if (m.hasMatch()) {
            content = shortGlosses.value(m.captured(1).toInt());
            const QString cm = i < morphs.size() ? morphs[i] : QString();
            contentIsNominal = cm.startsWith(u'N') || cm.startsWith(u'A') || cm.startsWith(QStringLiteral("Vqc")) ||
                               (cm.startsWith(u'V') && cm.size() > 2 && cm[2] == u'c');
        } else {
            const QString g = prefixGloss(part);
            if (!g.isEmpty())
                words += g;
        }
    }
    QString suffix;
    for (const auto& m : morphs)
        if (m.startsWith(QStringLiteral("Sp")))
            suffix = suffixGloss(QStringView(m).mid(2), contentIsNominal);
    if (!suffix.isEmpty() && contentIsNominal)
        words += suffix;
    if (!content.isEmpty())
        words += content;
    if (!suffix.isEmpty() && !contentIsNominal)
        words += suffix;
    return words.join(u' ');
}

}  // namespace kov::import
