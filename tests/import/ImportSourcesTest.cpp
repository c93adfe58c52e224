// Converters of the database builder: small slices of each source given inline, and the full sources
// when they are present on this machine.
#include "kov-import/HebrewMorph.h"
#include "kov-import/LetterCode.h"
#include "kov-import/Oshb.h"
#include "kov-import/Strongs.h"
#include "kov-import/TextFabric.h"
#include "kov-import/Transliterate.h"

#include <QBuffer>
#include <array>
#include <cctype>
#include <iostream>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace kov::import;

namespace {

const char* kGen = R"(<?xml version="1.0" encoding="utf-8"?>
<osis xmlns="http://www.bibletechnologies.net/2003/OSIS/namespace"><osisText>
<div type="book" osisID="Gen"><chapter osisID="Gen.1">
<verse osisID="Gen.1.1">
<w lemma="b/7225" n="1.0" morph="HR/Ncfsa" id="01xeN">בְּ/רֵאשִׁ֖ית</w>
<w lemma="1254 a" morph="HVqp3ms" id="01Nvk">בָּרָ֣א</w>
<w lemma="430" n="1" morph="HNcmpa" id="01TyA">אֱלֹהִ֑ים</w>
<w lemma="853" morph="HTo" id="01vuQ">אֵ֥ת</w>
<w lemma="d/8064" n="0.0" morph="HTd/Ncmpa" id="01TSc">הַ/שָּׁמַ֖יִם</w>
<w lemma="c/853" morph="HC/To" id="01k5P">וְ/אֵ֥ת</w>
<w lemma="d/776" n="0" morph="HTd/Ncbsa" id="01nPh">הָ/אָֽרֶץ</w><seg type="x-sof-pasuq">׃</seg>
</verse>
<verse osisID="Gen.1.2">
<w lemma="5921 a" morph="HR" id="01qNN">עַל</w><seg type="x-maqqef">־</seg><w lemma="6440" morph="HNcbpc" id="01EVS">פְּנֵ֣י</w>
<w lemma="1254 a" morph="HVqp3ms" id="x1">ישבו</w><note type="variant"><catchWord>ישבו</catchWord><rdg type="x-qere"><w lemma="3427" morph="HVqrmpc" id="13xKf">יֹשְׁבֵ֣י</w></rdg></note>
<note>KJV:Gen.1.3</note>
<w lemma="8414" morph="HNcmsa" id="x2">מִנִּי</w><note type="variant"><catchWord>מִנִּי</catchWord><rdg type="x-qere"/></note>
<w lemma="7225" morph="HNcmsa" id="x3">אֵ֥ת</w><note type="variant"><catchWord>x</catchWord><rdg type="x-accent"><w lemma="1" morph="HNcmsa">אב</w></rdg></note>
<seg type="x-pe">פ</seg>
</verse>
</chapter>
<chapter osisID="Gen.2"><verse osisID="Gen.2.4"><w lemma="2005" morph="AVqp3ms" id="a1">הֵן</w></verse></chapter>
</div></osisText></osis>)";

const std::string dot = "\xB7";

}  // namespace

TEST(ImportOshb, ReadsWordsPrefixesMarksAndVariants)
{
    HebrewBook book;
    SourceError err;
    ASSERT_TRUE(readOshbBook(QString::fromUtf8(kGen), QStringLiteral("Gen.xml"), book, err)) << err.text().toStdString();
    EXPECT_EQ(book.code, QStringLiteral("GEN"));
    ASSERT_EQ(book.verses.size(), 3u);
    const auto& v1 = book.verses[0];
    ASSERT_EQ(v1.words.size(), 7u);
    EXPECT_EQ(v1.words[0].text, QString::fromUtf8("בְּ/רֵאשִׁ֖ית"));
    EXPECT_EQ(v1.words[0].lemma, QStringLiteral("b/7225"));
    EXPECT_EQ(v1.words[0].morph, QStringLiteral("HR/Ncfsa"));
    EXPECT_EQ(v1.words[6].after, QString::fromUtf8("׃"));
    const auto& v2 = book.verses[1];
    EXPECT_EQ(v2.words[0].after, QString::fromUtf8("־"));
    ASSERT_EQ(v2.words.size(), 6u);
    EXPECT_EQ(v2.words[2].variant, Variant::Ketiv);
    EXPECT_EQ(v2.words[3].variant, Variant::Qere);
    EXPECT_EQ(v2.words[3].lemma, QStringLiteral("3427"));
    EXPECT_EQ(v2.words[4].variant, Variant::Ketiv) << "a ketiv whose qere is empty";
    EXPECT_EQ(v2.words[5].variant, Variant::None) << "an accent variant is no ketiv/qere";
    EXPECT_EQ(v2.paragraph, QStringLiteral("P"));
    EXPECT_EQ(v2.kjvNote, QStringLiteral("Gen.1.3"));
    const auto t = countHebrew({book});
    EXPECT_EQ(t.verses, 3);
    EXPECT_EQ(t.chapters, 2);
    EXPECT_EQ(t.words, 7 + 5 + 1);
    EXPECT_EQ(t.qere, 1);
}

TEST(ImportOshb, VerseMapAndNotesGiveKjvNumbers)
{
    HebrewBook book;
    SourceError err;
    ASSERT_TRUE(readOshbBook(QString::fromUtf8(kGen), QStringLiteral("Gen.xml"), book, err));
    const QByteArray mapXml = R"(<verseMap><book osisID="Gen">
<verse wlc="Gen.2.4" kjv="Gen.2.3" type="full"/>
<verse wlc="Gen.1.2!b" kjv="Gen.1.3!a" type="partial"/>
<verse wlc="Gen.1.1!a" kjv="Gen.1.1!b" type="partial"/>
</book></verseMap>)";
    QByteArray copy = mapXml;
    QBuffer buf(&copy);
    buf.open(QIODevice::ReadOnly);
    VerseMap map;
    ASSERT_TRUE(readVerseMap(buf, QStringLiteral("VerseMap.xml"), map, err)) << err.text().toStdString();
    applyVerseMap(book, &map);
    EXPECT_EQ(book.verses[2].kjvChapter, 2);
    EXPECT_EQ(book.verses[2].kjvVerse, 3);
    EXPECT_EQ(book.verses[1].kjvVerse, 2) << "the end of a verse does not move it";
    EXPECT_EQ(book.verses[0].kjvVerse, 1);
    applyVerseMap(book, nullptr);  // without a map the source's notes decide
    EXPECT_EQ(book.verses[1].kjvVerse, 3);
}

TEST(ImportOshb, BadInputNamesFileAndLine)
{
    HebrewBook book;
    SourceError err;
    EXPECT_FALSE(readOshbBook(QStringLiteral("<osis>\n<div type=\"book\" osisID=\"Gen\">\n<verse osisID=\"Gen.x.1\"/>"),
                              QStringLiteral("Gen.xml"), book, err));
    EXPECT_EQ(err.line, 3);
    EXPECT_TRUE(err.text().startsWith(QStringLiteral("Gen.xml:3:")));
    EXPECT_FALSE(readOshbBook(QStringLiteral("<osis><div type=\"book\" osisID=\"Gen\"><verse osisID=\"Gen.1.1\"><w>x"),
                              QStringLiteral("Gen.xml"), book, err));
    EXPECT_FALSE(err.message.isEmpty());
    EXPECT_FALSE(readOshbBook(QStringLiteral("<osis><w>x</w></osis>"), QStringLiteral("a.xml"), book, err));
    std::vector<HebrewBook> all;
    EXPECT_FALSE(readOshb(QStringLiteral("/nonexistent/wlc"), all, err));
    EXPECT_TRUE(err.file.endsWith(QStringLiteral("VerseMap.xml")));
}

TEST(ImportLetterCode, HebrewRoundTripAndForms)
{
    const QString word = QString::fromUtf8("הַ/שָּׁמַ֖יִם");
    auto full = hebrewToCode(word, {true, true, true});
    ASSERT_TRUE(full.ok());
    EXPECT_EQ(codeToHebrew(full.code), word);
    auto main = hebrewToCode(word);
    ASSERT_TRUE(main.ok());
    EXPECT_EQ(codeToHebrew(main.code), QString::fromUtf8("הַשָּׁמַיִם"));
    EXPECT_EQ(main.code.substr(0, 1), "e");
    EXPECT_EQ(main.code.back(), 'M');
    for (unsigned char b : main.code)
        EXPECT_TRUE(std::isalpha(b) || b > 127);
    auto bad = hebrewToCode(QStringLiteral("ab"));
    EXPECT_FALSE(bad.ok());
    EXPECT_TRUE(bad.error.contains(QStringLiteral("U+0061")));
}

TEST(ImportLetterCode, GreekRoundTripKeepsEveryMark)
{
    const QStringList words = {QString::fromUtf8("Ἀβραάμ"), QString::fromUtf8("λόγος"), QString::fromUtf8("ᾠδῇ"),
                               QString::fromUtf8("Ἡρῴδης"), QString::fromUtf8("δι’"), QString::fromUtf8("Ἰησοῦ"),
                               QString::fromUtf8("προϊστάμενος"), QString::fromUtf8("ὃς")};
    for (const auto& w : words) {
        const auto c = greekToCode(w);
        ASSERT_TRUE(c.ok()) << c.error.toStdString();
        EXPECT_EQ(codeToGreek(c.code), w) << w.toStdString();
    }
    EXPECT_EQ(greekToCode(QString::fromUtf8("λόγος")).code, "lo\xC1gos");
    EXPECT_EQ(greekToCode(QString::fromUtf8("ψυχή")).code, "yuch\xC1");
    const auto c = greekToCode(QString::fromUtf8("Ἀβραάμ"));
    std::array<bool, 256> used{};
    CharTable::markUsed(used, c.code);
    const auto h = CharTable::greek().header(used);
    EXPECT_EQ(h.count, h.source.size());
    EXPECT_EQ(h.source.size(), h.target.size());
    // every used byte maps back through the table's own strings
    QString through;
    for (unsigned char b : c.code)
        through += h.target[h.source.indexOf(QChar(b))];
    EXPECT_EQ(through.normalized(QString::NormalizationForm_C), QString::fromUtf8("Ἀβραάμ"));
}

TEST(ImportMorph, ConvertsToDecoderCodes)
{
    struct Case {
        const char* oshb;
        std::string code;
        bool lossy;
    } cases[] = {
        {"HR/Ncfsa", "Pp" + dot + "ncfsa", false},
        {"HVqp3ms", "vqp3ms", false},
        {"HNcmpa", "ncmpa", false},
        {"HTo", "Po", false},
        {"HTd/Ncmpa", "Pa" + dot + "ncmpa", false},
        {"HC/Vqw3ms", "Pc" + dot + "vqw3ms", false},
        {"HNcmpc/Sp3ms", "ncmpcX3ms", false},
        {"HR/Sp3ms", "PpX3ms", false},
        {"HC/Vqq2ms", "Pc" + dot + "vqp2ms{2}", false},
        {"HVqj3ms", "vqi3ms{1}J", false},
        {"HVqh1cs/Sp3ms", "vqi1cs{1}CtX3ms", false},
        {"HVprfsa", "vpPfsa", false},
        {"HNcmsa/Sd", "ncmsaXd", false},
        {"HRd/Vprmsa", "Pp" + dot + "Pa" + dot + "vpPmsa", false},
        {"AVqp3ms", "%vNp3ms", false},
        {"AR/Ncmsd", "%Pp" + dot + "%ncmsd", false},
        {"HNp", "np", false},
        {"HNpm", "np", true},
        {"HTm", "Pi", true},
        {"HPdxms", "pi3ms", true},
        {"HPp3ms", "pi3ms", false},
        {"HNcbsa", "ncbsa", false},
        {"HNcmsc/Sp1cs", "ncmscX1cs", false},
        {"HNcxsc/Sp1cs", "ncxscX1cs", false},  // an unknown gender keeps the suffix in place
        {"HAcmsa", "ucmsa", false},
        {"HAgmsa", "ngmsa", true},
        {"HVuw3ms", "vtw3ms", true},
    };
    for (const auto& c : cases) {
        const auto r = convertHebrewMorph(QString::fromLatin1(c.oshb));
        EXPECT_TRUE(r.error.isEmpty()) << c.oshb << ": " << r.error.toStdString();
        EXPECT_EQ(r.code, c.code) << c.oshb;
        EXPECT_EQ(r.lossy, c.lossy) << c.oshb;
    }
    for (const char* bad : {"", "X", "HZ", "HV?p3ms", "HTz", "HSz"})
        EXPECT_FALSE(convertHebrewMorph(QString::fromLatin1(bad)).error.isEmpty()) << bad;
}

TEST(ImportTranslit, HebrewAndGreek)
{
    const std::pair<const char*, const char*> hebrew[] = {
        {"בְּ/רֵאשִׁ֖ית", "bereshit"}, {"בָּרָ֣א", "bara"},           {"אֱלֹהִ֑ים", "elohim"},
        {"אֵ֥ת", "et"},                {"הַ/שָּׁמַ֖יִם", "hashshamayim"}, {"וְ/אֵ֥ת", "ve'et"},
        {"הָ/אָֽרֶץ", "ha'arets"},      {"ר֣וּחַ", "ruakh"},              {"תּוֹרָה", "torah"},
    };
    for (const auto& [h, t] : hebrew)
        EXPECT_EQ(transliterateHebrew(QString::fromUtf8(h)), QString::fromUtf8(t)) << t;
    const std::pair<const char*, const char*> greek[] = {
        {"λόγος", "logos"},   {"ἡμέρα", "hēmera"}, {"υἱός", "huios"},   {"Χριστοῦ", "Christou"},
        {"ἄγγελος", "angelos"}, {"ῥῆμα", "rhēma"},  {"ᾠδῇ", "ōidēi"},   {"Ἡρῴδης", "Hērōidēs"},
        {"αὐτός", "autos"},   {"ψυχή", "psychē"},
    };
    for (const auto& [g, t] : greek)
        EXPECT_EQ(transliterateGreek(QString::fromUtf8(g)), QString::fromUtf8(t)) << t;
}

TEST(ImportTextFabric, ParsesRangesEscapesAndImplicitNodes)
{
    const QByteArray tf = "@node\n@valueType=str\n\nA\n\n5\tE\\tx\n7-8\tG\nI\n";
    TfFeature f;
    SourceError err;
    ASSERT_TRUE(parseTfFeature(tf, QStringLiteral("f.tf"), f, err)) << err.text().toStdString();
    EXPECT_EQ(f.meta.value(QStringLiteral("valueType")), QStringLiteral("str"));
    EXPECT_EQ(f.value(1), QStringLiteral("A"));
    EXPECT_EQ(f.value(2), QString());
    EXPECT_EQ(f.value(5), QStringLiteral("E\tx"));
    EXPECT_EQ(f.value(7), QStringLiteral("G"));
    EXPECT_EQ(f.value(8), QStringLiteral("G"));
    EXPECT_EQ(f.value(9), QStringLiteral("I"));
    EXPECT_EQ(f.line(9), 8);
    EXPECT_FALSE(parseTfFeature("@edge\n\n1\n", QStringLiteral("e.tf"), f, err));
    EXPECT_FALSE(parseTfFeature("@node\n\n3-1\tx\n", QStringLiteral("b.tf"), f, err));
    EXPECT_EQ(err.line, 3);
    EXPECT_FALSE(parseTfFeature("@node\n\n1-999999999\tx\n", QStringLiteral("b.tf"), f, err));
}

TEST(ImportTextFabric, AssemblesN1904WordsAndRepairsQuirks)
{
    auto feat = [](const char* body) {
        TfFeature f;
        SourceError e;
        parseTfFeature(QByteArray("@node\n\n") + body, QStringLiteral("x.tf"), f, e);
        return f;
    };
    QHash<QString, TfFeature> fs;
    fs.insert(QStringLiteral("otype"), feat("1-4\tw\n5\tbook\n"));
    fs.insert(QStringLiteral("book"), feat("MAT\nMAT\nMAT\nMRK\nMAT\n"));
    fs.insert(QStringLiteral("chapter"), feat("1\n1\n1\n16\n"));
    fs.insert(QStringLiteral("verse"), feat("1\n1\n2\n99\n"));
    fs.insert(QStringLiteral("text"), feat("Βίβλος\n—κα\nἨρῴδης\n[[Πάντα\n"));
    fs.insert(QStringLiteral("after"), feat(" \nὶ \n, \n \n"));
    fs.insert(QStringLiteral("unicode"), feat("Βίβλος\n—καὶ\nἨρῴδης,\n[[Πάντα\n"));
    fs.insert(QStringLiteral("lemma"), feat("βίβλος\nκαί\nἩρῴδης\nπᾶς\n"));
    fs.insert(QStringLiteral("strong"), feat("976\n2532\n2264\n3956\n"));
    fs.insert(QStringLiteral("morph"), feat("N-NSF\nCONJ\nN-NSM\nA-APN\n"));
    fs.insert(QStringLiteral("gloss"), feat("[The] book\nand\nHerod\n\n"));
    std::vector<GreekBook> books;
    GreekRepairs rep;
    SourceError err;
    ASSERT_TRUE(assembleN1904(fs, books, rep, err)) << err.text().toStdString();
    ASSERT_EQ(books.size(), 2u);
    ASSERT_EQ(books[0].verses.size(), 2u);
    const auto& w2 = books[0].verses[0].words[1];
    EXPECT_EQ(w2.before, QString::fromUtf8("—"));
    EXPECT_EQ(w2.text, QString::fromUtf8("καὶ"));
    EXPECT_EQ(books[0].verses[1].words[0].text, QString::fromUtf8("Ἡρῴδης"));
    EXPECT_EQ(books[0].verses[1].words[0].after, QStringLiteral(", "));
    EXPECT_EQ(books[1].verses[0].verse, 99);
    EXPECT_EQ(books[1].verses[0].words[0].before, QStringLiteral("[["));
    EXPECT_EQ(rep.dashSplits, 1);
    EXPECT_EQ(rep.brackets, 1);
    EXPECT_EQ(rep.etaBreathing, 1);
    EXPECT_EQ(countGreek(books).withoutGloss, 1);
    fs.remove(QStringLiteral("gloss"));
    EXPECT_FALSE(assembleN1904(fs, books, rep, err));
    EXPECT_TRUE(err.file.startsWith(QStringLiteral("gloss")));
}

TEST(ImportStrongs, ReadsEntriesAndBuildsGlosses)
{
    QByteArray heb = R"(<osis><osisText><div type="glossary">
<div type="entry" n="7225"><w lemma="רֵאשִׁית" POS="ray-sheeth'" xlit="rêʼshîyth" ID="H7225">ראשית</w>
<foreign><w gloss="G:536" /></foreign>
<list><item>1) first,  beginning,  best,  chief</item><item>1a) beginning</item></list>
<note type="exegesis">from the same as <w lemma="רֹאשׁ" POS="roshe" src="7218" xlit="rôʼsh"/>;</note>
<note type="explanation"><hi>the first</hi>, <hi>in place</hi></note>
<note type="translation">beginning, chief(-est).</note></div>
<div type="entry" n="834"><w lemma="אֲשֶׁר" xlit="ʼăsher" POS="ash-er'">אשר</w>
<list><item>1) (relative part.)</item></list><note type="explanation"><hi>who</hi>, <hi>which</hi></note></div>
<div type="entry" n="1254"><w lemma="בָּרָא" xlit="bârâʼ" POS="baw-raw'">ברא</w>
<list><item>1) to create,  shape</item></list></div>
<div type="entry" n="8064"><w lemma="שָׁמַיִם" xlit="" POS="">x</w><list><item>1) heaven,  heavens</item></list></div>
</div></osisText></osis>)";
    QBuffer hb(&heb);
    hb.open(QIODevice::ReadOnly);
    std::vector<StrongEntry> he;
    SourceError err;
    ASSERT_TRUE(readStrongsHebrew(hb, QStringLiteral("h.xml"), he, err)) << err.text().toStdString();
    ASSERT_EQ(he.size(), 4u);
    EXPECT_EQ(he[0].key(), QStringLiteral("H7225"));
    EXPECT_EQ(he[0].pronunciation, QStringLiteral("ray-sheeth'"));
    EXPECT_EQ(he[0].references, (QStringList{QStringLiteral("G536"), QStringLiteral("H7218")}));
    EXPECT_EQ(he[0].kjvUsage, QStringLiteral("beginning, chief(-est)."));
    EXPECT_TRUE(he[0].derivation.contains(QStringLiteral("H7218")));
    EXPECT_EQ(he[1].shortGloss, QStringLiteral("who"));
    EXPECT_EQ(he[2].shortGloss, QStringLiteral("create"));

    QHash<int, QString> glosses;
    for (const auto& e : he)
        glosses.insert(e.number, e.shortGloss);
    glosses.insert(430, hebrewShortGloss({}, {}, 430));
    glosses.insert(853, hebrewShortGloss({}, {}, 853));
    glosses.insert(776, hebrewShortGloss({}, {}, 776));
    glosses.insert(3027, QStringLiteral("hand"));
    const std::tuple<const char*, const char*, const char*> gen[] = {
        {"b/7225", "HR/Ncfsa", "in beginning"}, {"1254 a", "HVqp3ms", "create"},   {"430", "HNcmpa", "God"},
        {"853", "HTo", "[obj]"},               {"d/8064", "HTd/Ncmpa", "the heaven"}, {"c/853", "HC/To", "and [obj]"},
        {"d/776", "HTd/Ncbsa", "the earth"},   {"b/3027", "HR/Ncfsc/Sp3ms", "in his hand"},
    };
    for (const auto& [lemma, morph, gloss] : gen)
        EXPECT_EQ(hebrewWordGloss(QString::fromLatin1(lemma), QString::fromLatin1(morph), glosses),
                  QString::fromLatin1(gloss));
    EXPECT_EQ(hebrewStrongText(QStringLiteral("c/d/776")), QStringLiteral("H776"));
    EXPECT_EQ(hebrewStrongText(QStringLiteral("1254 a")), QStringLiteral("H1254"));
    EXPECT_EQ(hebrewStrongText(QStringLiteral("1177+")), QStringLiteral("H1177"));

    QByteArray gr = R"(<strongsdictionary><entries><entry strongs="03056">
<strongs>3056</strongs> <greek BETA="LO/GOS" unicode="λόγος" translit="lógos"/> <pronunciation strongs="log'-os"/>
<strongs_derivation>from <strongsref language="GREEK" strongs="3004"/>;</strongs_derivation><strongs_def> something said</strongs_def><kjv_def>--account, word.</kjv_def>
</entry></entries></strongsdictionary>)";
    QBuffer gb(&gr);
    gb.open(QIODevice::ReadOnly);
    std::vector<StrongEntry> ge;
    ASSERT_TRUE(readStrongsGreek(gb, QStringLiteral("g.xml"), ge, err)) << err.text().toStdString();
    ASSERT_EQ(ge.size(), 1u);
    EXPECT_EQ(ge[0].key(), QStringLiteral("G3056"));
    EXPECT_EQ(ge[0].lemma, QString::fromUtf8("λόγος"));
    EXPECT_EQ(ge[0].kjvUsage, QStringLiteral("account, word"));
    EXPECT_EQ(ge[0].derivation, QStringLiteral("from G3004;"));
    EXPECT_EQ(ge[0].references, QStringList{QStringLiteral("G3004")});

    QByteArray broken = "<entries><entry strongs=\"1\">\n<greek unicode=\"a\"></entries>";
    QBuffer bb(&broken);
    bb.open(QIODevice::ReadOnly);
    EXPECT_FALSE(readStrongsGreek(bb, QStringLiteral("g.xml"), ge, err));
    EXPECT_EQ(err.line, 2);
}

// ---- the full sources, when present ----

namespace {

QString sourcesDir()
{
    const QString env = qEnvironmentVariable("KOV_SOURCES");
    return env.isEmpty() ? QDir::homePath() + QStringLiteral("/.cache/kov/sources") : env;
}

QString n1904Dir()
{
    const QString env = qEnvironmentVariable("KOV_N1904");
    const QString base = env.isEmpty() ? QStringLiteral("/work/shared/data/n1904") : env;
    return base + QStringLiteral("/tf/0.4.1");
}

}  // namespace

TEST(ImportFullSources, HebrewOldTestament)
{
    const QString wlc = sourcesDir() + QStringLiteral("/morphhb-2.0.2/wlc");
    if (!QFile::exists(wlc + QStringLiteral("/Gen.xml")))
        GTEST_SKIP() << "morphhb not found in " << wlc.toStdString() << " (run scripts/fetch-sources.sh)";
    std::vector<HebrewBook> books;
    SourceError err;
    ASSERT_TRUE(readOshb(wlc, books, err)) << err.text().toStdString();
    const auto t = countHebrew(books);
    EXPECT_EQ(t.books, 39);
    EXPECT_EQ(t.verses, 23213);
    EXPECT_EQ(t.words, 305507);
    int lossy = 0, morphemes = 0, badCode = 0;
    for (const auto& b : books)
        for (const auto& v : b.verses)
            for (const auto& w : v.words) {
                const auto m = convertHebrewMorph(w.morph);
                EXPECT_TRUE(m.error.isEmpty()) << b.code.toStdString() << " " << v.chapter << ":" << v.verse << " "
                                               << m.error.toStdString();
                lossy += m.lossy;
                ++morphemes;
                const auto c = hebrewToCode(w.text, {true, true, true});
                if (!c.ok() || codeToHebrew(c.code) != w.text)
                    ++badCode;
            }
    EXPECT_EQ(badCode, 0);
    EXPECT_LT(lossy * 100, morphemes * 4) << lossy << " of " << morphemes;
    // Psalm titles join verse 1, Malachi 3:19 is the KJV's 4:1
    auto kjvOf = [&](int book, int c, int v) {
        for (const auto& verse : books[static_cast<size_t>(book)].verses)
            if (verse.chapter == c && verse.verse == v)
                return std::pair(verse.kjvChapter, verse.kjvVerse);
        return std::pair(0, 0);
    };
    EXPECT_EQ(kjvOf(18, 3, 1), std::pair(3, 1));
    EXPECT_EQ(kjvOf(18, 3, 2), std::pair(3, 1));
    EXPECT_EQ(kjvOf(18, 51, 2), std::pair(51, 1));
    EXPECT_EQ(kjvOf(18, 44, 2), std::pair(44, 1)) << "the map wins over a wrong note";
    EXPECT_EQ(kjvOf(38, 3, 19), std::pair(4, 1));
    EXPECT_EQ(kjvOf(28, 4, 1), std::pair(3, 1));
    std::cout << "[          ] lossy parsings: " << lossy << " of " << morphemes << "\n";
}

TEST(ImportFullSources, GreekNewTestament)
{
    const QString dir = n1904Dir();
    if (!QFile::exists(dir + QStringLiteral("/otype.tf")))
        GTEST_SKIP() << "N1904 not found in " << dir.toStdString() << " (set KOV_N1904)";
    std::vector<GreekBook> books;
    GreekRepairs rep;
    SourceError err;
    ASSERT_TRUE(readN1904(dir, books, rep, err)) << err.text().toStdString();
    const auto t = countGreek(books);
    EXPECT_EQ(t.books, 27);
    EXPECT_EQ(t.words, 137779);
    EXPECT_EQ(t.verses, 7943);
    EXPECT_EQ(t.withoutGloss, 157);
    EXPECT_EQ(rep.dashSplits, 16);
    EXPECT_GE(rep.etaBreathing, 100);
    int bad = 0;
    for (const auto& b : books)
        for (const auto& v : b.verses)
            for (const auto& w : v.words) {
                const auto c = greekToCode(w.text);
                if (!c.ok() || codeToGreek(c.code) != w.text) {
                    if (++bad < 5)
                        ADD_FAILURE() << w.text.toStdString() << " " << c.error.toStdString();
                }
            }
    EXPECT_EQ(bad, 0);
    std::cout << "[          ] repairs: dash " << rep.dashSplits << ", brackets " << rep.brackets << ", eta "
              << rep.etaBreathing << "\n";
}

TEST(ImportFullSources, StrongsDictionaries)
{
    const QString base = sourcesDir() + QStringLiteral("/strongs-1.0.2");
    const QString heb = base + QStringLiteral("/hebrew/StrongHebrewG.xml");
    const QString gr = base + QStringLiteral("/greek/StrongsGreekDictionaryXML_1.4/strongsgreek.xml");
    if (!QFile::exists(heb) || !QFile::exists(gr))
        GTEST_SKIP() << "strongs not found in " << base.toStdString() << " (run scripts/fetch-sources.sh)";
    std::vector<StrongEntry> he, ge;
    SourceError err;
    ASSERT_TRUE(readStrongsFile(heb, true, he, err)) << err.text().toStdString();
    ASSERT_TRUE(readStrongsFile(gr, false, ge, err)) << err.text().toStdString();
    EXPECT_EQ(he.size(), 8674u);
    EXPECT_EQ(ge.size(), 5624u);
    int noGloss = 0;
    for (const auto& e : he)
        noGloss += e.shortGloss.isEmpty();
    EXPECT_LT(noGloss, 50);
}
