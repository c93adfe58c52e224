#include "TextFabric.h"

#include <QDir>
#include <QFile>

namespace kov::import {

namespace {

QString unescape(QStringView v)
{
    if (!v.contains(u'\\'))
        return v.toString();
    QString out;
    out.reserve(v.size());
    for (qsizetype i = 0; i < v.size(); ++i) {
        if (v[i] == u'\\' && i + 1 < v.size()) {
            const QChar n = v[++i];
            out += n == u't' ? QChar(u'\t') : n == u'n' ? QChar(u'\n') : n;
        } else {
            out += v[i];
        }
    }
    return out;
}

// "1-5,7" -> node list; false when malformed.
bool parseNodes(QStringView text, std::vector<std::pair<int, int>>& ranges)
{
    ranges.clear();
    for (auto part : text.split(u',')) {
        const auto dash = part.indexOf(u'-');
        bool ok1 = false, ok2 = true;
        const int a = (dash < 0 ? part : part.left(dash)).toInt(&ok1);
        const int b = dash < 0 ? a : part.mid(dash + 1).toInt(&ok2);
        if (!ok1 || !ok2 || a <= 0 || b < a)
            return false;
        ranges.emplace_back(a, b);
    }
    return !ranges.empty();
}

constexpr int kMaxNode = 50'000'000;  // keeps a hostile range from exhausting memory

}  // namespace

bool parseTfFeature(const QByteArray& data, const QString& fileName, TfFeature& f, SourceError& error)
{
    f = {};
    f.fileName = fileName;
    const QString text = QString::fromUtf8(data);
    const auto lines = QStringView(text).split(u'\n');
    qsizetype i = 0;
    if (lines.isEmpty() || lines[0].trimmed() != u"@node") {
        error = {fileName, 1, QStringLiteral("not a node feature (the first line must be \"@node\")")};
        return false;
    }
    for (i = 1; i < lines.size() && lines[i].startsWith(u'@'); ++i) {
        const auto line = lines[i].mid(1);
        const auto eq = line.indexOf(u'=');
        f.meta.insert((eq < 0 ? line : line.left(eq)).toString(), eq < 0 ? QString() : line.mid(eq + 1).toString());
    }
    if (i < lines.size() && lines[i].isEmpty())
        ++i;  // the blank line that ends the metadata
    // A final newline leaves an empty last piece that is no value.
    qsizetype end = lines.size();
    if (end > i && lines[end - 1].isEmpty())
        --end;
    int node = 0;
    std::vector<std::pair<int, int>> ranges;
    for (; i < end; ++i) {
        QStringView line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        const int lineNo = static_cast<int>(i + 1);
        const auto tab = line.indexOf(u'\t');
        if (tab < 0) {
            ranges.assign(1, {node + 1, node + 1});
        } else if (!parseNodes(line.left(tab), ranges)) {
            error = {fileName, lineNo, QStringLiteral("bad node range \"%1\"").arg(line.left(tab))};
            return false;
        }
        const QString value = unescape(tab < 0 ? line : line.mid(tab + 1));
        for (auto [a, b] : ranges) {
            if (b > kMaxNode) {
                error = {fileName, lineNo, QStringLiteral("node %1 out of range").arg(b)};
                return false;
            }
            if (static_cast<size_t>(b) >= f.values.size()) {
                f.values.resize(static_cast<size_t>(b) + 1);
                f.lines.resize(static_cast<size_t>(b) + 1);
            }
            for (int n = a; n <= b; ++n) {
                f.values[static_cast<size_t>(n)] = value;
                f.lines[static_cast<size_t>(n)] = lineNo;
            }
            node = b;
        }
    }
    return true;
}

bool readTfFeature(const QString& path, TfFeature& feature, SourceError& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = {path, 0, QStringLiteral("cannot open: %1").arg(file.errorString())};
        return false;
    }
    return parseTfFeature(file.readAll(), path, feature, error);
}

void splitGreekForm(const QString& full, QString& before, QString& word, QString& after)
{
    qsizetype a = 0;
    while (a < full.size() && !full[a].isLetter())
        ++a;
    qsizetype b = a;
    while (b < full.size() && (full[b].isLetter() || full[b].isMark()))
        ++b;
    if (b > a && b < full.size() && (full[b] == QChar(0x2019) || full[b] == QChar(0x02BC)))
        ++b;  // elision belongs to the word
    before = full.left(a);
    word = full.mid(a, b - a);
    after = full.mid(b);
}

namespace {

// The article and the names written with capital eta take a rough breathing; the data has a few with the
// smooth one. The lemma tells which breathing the word has.
bool repairEta(QString& word, const QString& lemma)
{
    QString w = word.normalized(QString::NormalizationForm_D);
    const QString l = lemma.normalized(QString::NormalizationForm_D);
    if (w.size() < 2 || w[0] != QChar(0x0397) || w[1] != QChar(0x0313))
        return false;
    // the article (lemma ὁ), the relative (ὅς) and names such as Ἡρῴδης: the lemma has the rough breathing;
    // ἡμεῖς is filed under ἐγώ
    const bool roughLemma = l.size() >= 2 && l[1] == QChar(0x0314);
    const bool weForm = l == QStringLiteral("ε\u0313γω\u0301") && w.size() > 2 && w[2] == QChar(0x03BC);
    if (!roughLemma && !weForm)
        return false;
    w[1] = QChar(0x0314);
    word = w.normalized(QString::NormalizationForm_C);
    return true;
}

}  // namespace

bool assembleN1904(const QHash<QString, TfFeature>& features, std::vector<GreekBook>& books, GreekRepairs& repairs,
                   SourceError& error)
{
    books.clear();
    repairs = {};
    static const char* needed[] = {"otype", "book", "chapter", "verse", "text", "after", "unicode",
                                   "lemma", "strong", "morph", "gloss"};
    for (const char* n : needed) {
        if (!features.contains(QString::fromLatin1(n))) {
            error = {QString::fromLatin1(n) + QStringLiteral(".tf"), 0, QStringLiteral("feature missing")};
            return false;
        }
    }
    const auto& otype = features[QStringLiteral("otype")];
    const auto& book = features[QStringLiteral("book")];
    const auto& chapter = features[QStringLiteral("chapter")];
    const auto& verse = features[QStringLiteral("verse")];
    const auto& text = features[QStringLiteral("text")];
    const auto& after = features[QStringLiteral("after")];
    const auto& unicode = features[QStringLiteral("unicode")];
    const auto& lemma = features[QStringLiteral("lemma")];
    const auto& strong = features[QStringLiteral("strong")];
    const auto& morph = features[QStringLiteral("morph")];
    const auto& gloss = features[QStringLiteral("gloss")];

    int words = 0;
    while (words + 1 < static_cast<int>(otype.values.size()) && otype.values[static_cast<size_t>(words + 1)] == u"w")
        ++words;
    if (words == 0) {
        error = {otype.fileName, 0, QStringLiteral("no word nodes (type \"w\")")};
        return false;
    }
    for (int n = 1; n <= words; ++n) {
        const QString code = book.value(n);
        bool okC = false, okV = false;
        const int c = chapter.value(n).toInt(&okC);
        const int v = verse.value(n).toInt(&okV);
        if (code.isEmpty() || !okC || !okV) {
            const auto& f = code.isEmpty() ? book : !okC ? chapter : verse;
            error = {f.fileName, f.line(n), QStringLiteral("word node %1 has no book, chapter or verse").arg(n)};
            return false;
        }
        if (books.empty() || books.back().code != code) {
            for (const auto& b : books) {
                if (b.code == code) {
                    error = {book.fileName, book.line(n), QStringLiteral("book %1 appears twice").arg(code)};
                    return false;
                }
            }
            GreekBook gb;
            gb.code = code;
            gb.osisName = code;
            books.push_back(std::move(gb));
        }
        auto& verses = books.back().verses;
        if (verses.empty() || verses.back().chapter != c || verses.back().verse != v) {
            GreekVerse gv;
            gv.chapter = c;
            gv.verse = v;
            verses.push_back(std::move(gv));
        }
        GreekWord w;
        w.unicode = unicode.value(n);
        w.lemma = lemma.value(n);
        w.strong = strong.value(n).toInt();
        w.morph = morph.value(n);
        w.gloss = gloss.value(n);
        QString trail;
        splitGreekForm(w.unicode, w.before, w.text, trail);
        if (w.text.isEmpty()) {
            error = {unicode.fileName, unicode.line(n), QStringLiteral("word node %1 has no Greek letters").arg(n)};
            return false;
        }
        // The full form holds the word with its punctuation; "text" and "after" add the blank that follows.
        const QString srcAfter = after.value(n);
        qsizetype blanks = srcAfter.size();
        while (blanks > 0 && srcAfter[blanks - 1].isSpace())
            --blanks;
        w.after = trail + srcAfter.mid(blanks);
        if (text.value(n).contains(QChar(0x2014)) && text.value(n) != w.before + w.text + trail)
            ++repairs.dashSplits;
        if (w.before.contains(u'[') || trail.contains(u']'))
            ++repairs.brackets;
        if (repairEta(w.text, w.lemma))
            ++repairs.etaBreathing;
        verses.back().words.push_back(std::move(w));
    }
    return true;
}

bool readN1904(const QString& tfDir, std::vector<GreekBook>& books, GreekRepairs& repairs, SourceError& error)
{
    QHash<QString, TfFeature> features;
    for (const char* n : {"otype", "book", "chapter", "verse", "text", "after", "unicode", "lemma", "strong", "morph",
                          "gloss"}) {
        TfFeature f;
        if (!readTfFeature(QDir(tfDir).filePath(QString::fromLatin1(n) + QStringLiteral(".tf")), f, error))
            return false;
        features.insert(QString::fromLatin1(n), std::move(f));
    }
    return assembleN1904(features, books, repairs, error);
}

GreekTotals countGreek(const std::vector<GreekBook>& books)
{
    GreekTotals t;
    countText(books, t, [](GreekTotals& c, const GreekWord& w) {
        ++c.words;
        if (w.gloss.isEmpty())
            ++c.withoutGloss;
    });
    return t;
}

}  // namespace kov::import
