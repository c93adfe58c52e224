#include "Oshb.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace kov::import {

const std::vector<BookName>& oshbBooks()
{
    static const std::vector<BookName> books = {
        {"Gen", "GEN"},  {"Exod", "EXO"}, {"Lev", "LEV"},   {"Num", "NUM"},   {"Deut", "DEU"}, {"Josh", "JOS"},
        {"Judg", "JDG"}, {"Ruth", "RUT"}, {"1Sam", "1SA"},  {"2Sam", "2SA"},  {"1Kgs", "1KI"}, {"2Kgs", "2KI"},
        {"1Chr", "1CH"}, {"2Chr", "2CH"}, {"Ezra", "EZR"},  {"Neh", "NEH"},   {"Esth", "EST"}, {"Job", "JOB"},
        {"Ps", "PSA"},   {"Prov", "PRO"}, {"Eccl", "ECC"},  {"Song", "SNG"},  {"Isa", "ISA"},  {"Jer", "JER"},
        {"Lam", "LAM"},  {"Ezek", "EZK"}, {"Dan", "DAN"},   {"Hos", "HOS"},   {"Joel", "JOL"}, {"Amos", "AMO"},
        {"Obad", "OBA"}, {"Jonah", "JON"}, {"Mic", "MIC"},  {"Nah", "NAM"},   {"Hab", "HAB"},  {"Zeph", "ZEP"},
        {"Hag", "HAG"},  {"Zech", "ZEC"}, {"Mal", "MAL"},
    };
    return books;
}

namespace {

QString usfmOf(const QString& osis)
{
    for (const auto& b : oshbBooks())
        if (osis == QLatin1String(b.osis))
            return QString::fromLatin1(b.usfm);
    return {};
}

// "Gen.1.2" (optionally with a "!a" part mark) -> book, chapter, verse.
bool splitRef(QStringView ref, QString* book, int& chapter, int& verse)
{
    const auto bang = ref.indexOf(u'!');
    if (bang >= 0)
        ref = ref.left(bang);
    const auto parts = ref.split(u'.');
    if (parts.size() != 3)
        return false;
    bool okC = false, okV = false;
    chapter = parts[1].toInt(&okC);
    verse = parts[2].toInt(&okV);
    if (!okC || !okV || chapter <= 0 || verse <= 0)
        return false;
    if (book)
        *book = parts[0].toString();
    return true;
}

// Counts the words of a catchword: blanks and maqqef separate them.
int wordCount(const QString& s)
{
    static const QRegularExpression sep(QStringLiteral("[\\s\u05BE]+"));
    return static_cast<int>(s.split(sep, Qt::SkipEmptyParts).size());
}

class BookReader {
public:
    BookReader(QIODevice& in, const QString& fileName, HebrewBook& book, SourceError& error)
        : xml_(&in), file_(fileName), book_(book), error_(error)
    {
    }

    bool run()
    {
        while (!xml_.atEnd()) {
            if (xml_.readNext() != QXmlStreamReader::StartElement)
                continue;
            const auto name = xml_.name();
            if (name == u"div" && xml_.attributes().value(QLatin1String("type")) == u"book") {
                book_.osisName = xml_.attributes().value(QLatin1String("osisID")).toString();
                book_.code = usfmOf(book_.osisName);
                if (book_.code.isEmpty())
                    return fail(QStringLiteral("unknown book \"%1\"").arg(book_.osisName));
            } else if (name == u"verse") {
                if (!startVerse())
                    return false;
            } else if (name == u"w") {
                if (!word())
                    return false;
            } else if (name == u"seg") {
                if (!seg())
                    return false;
            } else if (name == u"note") {
                if (!note())
                    return false;
            }
        }
        if (xml_.hasError())
            return fail(xml_.errorString());
        if (book_.osisName.isEmpty())
            return fail(QStringLiteral("no book in this file"), 0);
        return true;
    }

private:
    bool fail(const QString& message, qint64 line = -1)
    {
        error_ = {file_, line < 0 ? xml_.lineNumber() : line, message};
        return false;
    }

    HebrewVerse* verse() { return book_.verses.empty() ? nullptr : &book_.verses.back(); }

    bool startVerse()
    {
        if (book_.code.isEmpty())
            return fail(QStringLiteral("verse outside a book"));
        const auto id = xml_.attributes().value(QLatin1String("osisID"));
        QString b;
        HebrewVerse v;
        if (!splitRef(id, &b, v.chapter, v.verse) || b != book_.osisName)
            return fail(QStringLiteral("bad verse reference \"%1\"").arg(id));
        v.kjvChapter = v.chapter;
        v.kjvVerse = v.verse;
        book_.verses.push_back(std::move(v));
        return true;
    }

    bool readWord(HebrewWord& w)
    {
        const auto a = xml_.attributes();
        w.lemma = a.value(QLatin1String("lemma")).toString();
        w.morph = a.value(QLatin1String("morph")).toString();
        w.id = a.value(QLatin1String("id")).toString();
        w.text = xml_.readElementText(QXmlStreamReader::IncludeChildElements);
        if (xml_.hasError())
            return fail(xml_.errorString());
        if (w.text.isEmpty())
            return fail(QStringLiteral("empty word"));
        return true;
    }

    bool word()
    {
        auto* v = verse();
        if (!v)
            return fail(QStringLiteral("word outside a verse"));
        HebrewWord w;
        if (!readWord(w))
            return false;
        v->words.push_back(std::move(w));
        return true;
    }

    bool seg()
    {
        const auto type = xml_.attributes().value(QLatin1String("type")).toString();
        const auto text = xml_.readElementText(QXmlStreamReader::IncludeChildElements);
        auto* v = verse();
        if (!v)
            return fail(QStringLiteral("segment outside a verse"));
        if (type == u"x-pe") {
            v->paragraph = QStringLiteral("P");
        } else if (type == u"x-samekh") {
            v->paragraph = QStringLiteral("S");
        } else if (!v->words.empty()) {
            // maqqef, paseq, sof pasuq, reversed nun: marks that belong after the word
            v->words.back().after += text;
        }
        return true;
    }

    bool note()
    {
        const auto type = xml_.attributes().value(QLatin1String("type")).toString();
        if (type.isEmpty()) {
            const auto text = xml_.readElementText(QXmlStreamReader::IncludeChildElements);
            if (text.startsWith(u"KJV:") && verse())
                verse()->kjvNote = text.mid(4);
            return !xml_.hasError() || fail(xml_.errorString());
        }
        if (type != u"variant") {
            xml_.skipCurrentElement();
            return !xml_.hasError() || fail(xml_.errorString());
        }
        auto* v = verse();
        if (!v)
            return fail(QStringLiteral("variant outside a verse"));
        const qint64 noteLine = xml_.lineNumber();
        QString catchWord;
        std::vector<HebrewWord> qere;
        bool isQere = false;
        bool sawQere = false;
        int depth = 1;
        while (depth > 0 && !xml_.atEnd()) {
            const auto t = xml_.readNext();
            if (t == QXmlStreamReader::EndElement) {
                if (xml_.name() == u"rdg")
                    isQere = false;
                --depth;
            } else if (t == QXmlStreamReader::StartElement) {
                const auto name = xml_.name();
                if (name == u"catchWord") {
                    catchWord = xml_.readElementText(QXmlStreamReader::IncludeChildElements);
                } else if (name == u"rdg") {
                    isQere = xml_.attributes().value(QLatin1String("type")) == u"x-qere";
                    sawQere = sawQere || isQere;
                    ++depth;
                } else if (name == u"w" && isQere) {
                    HebrewWord w;
                    if (!readWord(w))
                        return false;
                    w.variant = Variant::Qere;
                    qere.push_back(std::move(w));
                } else if (name == u"seg" && isQere) {
                    const auto text = xml_.readElementText(QXmlStreamReader::IncludeChildElements);
                    if (!qere.empty())
                        qere.back().after += text;
                } else {
                    xml_.skipCurrentElement();
                }
            }
        }
        if (xml_.hasError())
            return fail(xml_.errorString());
        // Only a qere reading makes a variant (an accent variant does not); an empty qere (a word written
        // and not read) still makes its ketiv a variant.
        if (!sawQere)
            return true;
        const int n = wordCount(catchWord);
        // A qere without ketiv (read but not written) has an empty catchword and adds its words alone.
        if ((n == 0 && qere.empty()) || n > static_cast<int>(v->words.size()))
            return fail(QStringLiteral("ketiv \"%1\" does not match the words before it").arg(catchWord), noteLine);
        for (int i = static_cast<int>(v->words.size()) - n; i < static_cast<int>(v->words.size()); ++i)
            v->words[static_cast<size_t>(i)].variant = Variant::Ketiv;
        for (auto& w : qere)
            v->words.push_back(std::move(w));
        return true;
    }

    QXmlStreamReader xml_;
    QString file_;
    HebrewBook& book_;
    SourceError& error_;
};

}  // namespace

bool readOshbBook(QIODevice& in, const QString& fileName, HebrewBook& book, SourceError& error)
{
    book = {};
    return BookReader(in, fileName, book, error).run();
}

bool readOshbBook(const QString& xml, const QString& fileName, HebrewBook& book, SourceError& error)
{
    QByteArray bytes = xml.toUtf8();
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadOnly);
    return readOshbBook(buf, fileName, book, error);
}

bool readVerseMap(QIODevice& in, const QString& fileName, VerseMap& map, SourceError& error)
{
    QXmlStreamReader xml(&in);
    map = {};
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"verse")
            continue;
        const auto a = xml.attributes();
        const auto wlc = a.value(QLatin1String("wlc"));
        const auto kjv = a.value(QLatin1String("kjv"));
        const bool full = a.value(QLatin1String("type")) == u"full";
        VerseMap::Ref ref;
        int hc = 0, hv = 0;
        if (!splitRef(wlc, nullptr, hc, hv) || !splitRef(kjv, nullptr, ref.chapter, ref.verse)) {
            error = {fileName, xml.lineNumber(), QStringLiteral("bad verse mapping \"%1\" -> \"%2\"").arg(wlc.toString(), kjv.toString())};
            return false;
        }
        // A Hebrew verse goes to the KJV verse its first words belong to. "X!b" describes the end of X,
        // and "X!a -> Y!b" means X starts with the tail of a KJV verse that began in the verse before:
        // X keeps its own number in both cases.
        if (!full) {
            if (wlc.endsWith(u"!b"))
                continue;
            if (wlc.endsWith(u"!a") && kjv.endsWith(u"!b"))
                continue;
        }
        const auto bang = wlc.indexOf(u'!');
        map.kjv.insert((bang >= 0 ? wlc.left(bang) : wlc).toString(), ref);
    }
    if (xml.hasError()) {
        error = {fileName, xml.lineNumber(), xml.errorString()};
        return false;
    }
    return true;
}

void applyVerseMap(HebrewBook& book, const VerseMap* map)
{
    for (auto& v : book.verses) {
        v.kjvChapter = v.chapter;
        v.kjvVerse = v.verse;
        const QString key = QStringLiteral("%1.%2.%3").arg(book.osisName).arg(v.chapter).arg(v.verse);
        if (map) {
            const auto it = map->kjv.constFind(key);
            if (it != map->kjv.cend()) {
                v.kjvChapter = it->chapter;
                v.kjvVerse = it->verse;
            }
            continue;
        }
        int c = 0, n = 0;
        if (!v.kjvNote.isEmpty() && !v.kjvNote.contains(u'!') && splitRef(v.kjvNote, nullptr, c, n)) {
            v.kjvChapter = c;
            v.kjvVerse = n;
        }
    }
}

bool readOshb(const QString& wlcDir, std::vector<HebrewBook>& books, SourceError& error)
{
    books.clear();
    const QDir dir(wlcDir);
    VerseMap map;
    const QString mapPath = dir.filePath(QStringLiteral("VerseMap.xml"));
    QFile mapFile(mapPath);
    if (!mapFile.open(QIODevice::ReadOnly)) {
        error = {mapPath, 0, QStringLiteral("cannot open the verse map: %1").arg(mapFile.errorString())};
        return false;
    }
    if (!readVerseMap(mapFile, mapPath, map, error))
        return false;
    for (const auto& b : oshbBooks()) {
        const QString path = dir.filePath(QString::fromLatin1(b.osis) + QStringLiteral(".xml"));
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            error = {path, 0, QStringLiteral("cannot open: %1").arg(f.errorString())};
            return false;
        }
        HebrewBook book;
        if (!readOshbBook(f, path, book, error))
            return false;
        if (book.osisName != QLatin1String(b.osis)) {
            error = {path, 0, QStringLiteral("holds book \"%1\", expected \"%2\"").arg(book.osisName, b.osis)};
            return false;
        }
        applyVerseMap(book, &map);
        books.push_back(std::move(book));
    }
    return true;
}

HebrewTotals countHebrew(const std::vector<HebrewBook>& books)
{
    HebrewTotals t;
    countText(books, t, [](HebrewTotals& c, const HebrewWord& w) {
        if (w.variant == Variant::Qere) {
            ++c.qere;
            return;
        }
        ++c.words;
        if (w.variant == Variant::Ketiv)
            ++c.ketiv;
    });
    return t;
}

}  // namespace kov::import
