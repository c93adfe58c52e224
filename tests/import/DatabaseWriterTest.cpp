#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "db/CBookRef.h"
#include "db/cGndStream.h"
#include "db/cIntLin.h"
#include "kov-import/DefaultDatabase.h"
#include "kov-import/LetterCode.h"
#include "kov-import/Oshb.h"
#include "texts/UWordGP.h"
#include "texts/UmemoNote.h"

namespace kov::import {
namespace {

// Genesis 1:1 with its prefixes, a verse with a ketiv and its qere, and an Aramaic word.
const char* kSlice = R"(<osis><osisText><div type="book" osisID="Gen"><chapter osisID="Gen.1">
<verse osisID="Gen.1.1"><w lemma="b/7225" morph="HR/Ncfsa">בְּ/רֵאשִׁ֖ית</w> <w lemma="1254 a" morph="HVqp3ms">בָּרָ֣א</w>
<w lemma="430" morph="HNcmpa">אֱלֹהִ֑ים</w> <w lemma="853" morph="HTo">אֵ֥ת</w>
<w lemma="d/8064" morph="HTd/Ncmpa">הַ/שָּׁמַ֖יִם</w> <w lemma="c/853" morph="HC/To">וְ/אֵ֥ת</w>
<w lemma="d/776" morph="HTd/Ncbsa">הָ/אָֽרֶץ</w><seg type="x-sof-pasuq">׃</seg></verse>
<verse osisID="Gen.1.2"><w lemma="776" morph="HNcbsa">אֶרֶץ</w>
<w lemma="3427" morph="HVqp3ms">ישבו</w><note type="variant"><catchWord>ישבו</catchWord><rdg type="x-qere"><w lemma="3427" morph="HVqrmpc">יֹשְׁבֵ֣י</w></rdg></note>
<w lemma="1254" morph="AVqp3ms">בְּרָא</w></verse>
</chapter></div></osisText></osis>)";

StrongEntry entry(char lang, int n, const char* lemma, const char* gloss) {
  StrongEntry e;
  e.language = QLatin1Char(lang);
  e.number = n;
  e.lemma = QString::fromUtf8(lemma);
  e.shortGloss = QString::fromUtf8(gloss);
  e.definition = QStringLiteral("see H430 and G2316");
  e.kjvUsage = QStringLiteral("God");
  return e;
}

struct Written {
  QTemporaryDir dir;
  TintLin db;
  void load(const QString& name, const QStringList& subs) {
    db.setRootFolder(dir.path() + QStringLiteral("/interlinear/"));
    db.setMainName(name);
    TWl& t = db.pendingTable();
    t.slot(0).fileName = name + QStringLiteral(".WL0");
    for (int i = 0; i < subs.size(); ++i) t.slot(i + 1).fileName = subs[i];
    t.slotCount = std::uint8_t(subs.size() + 1);
    ASSERT_TRUE(db.readGs().valid);
    const TLoadReport r = db.loadAll();
    ASSERT_TRUE(r.ok()) << r.mainErrors.join(';').toStdString();
    db.applyPending();
  }
  // The word positions of verse `v` of chapter 1.
  std::vector<std::int32_t> words(int v) {
    std::vector<std::int32_t> out;
    const std::int32_t start = db.verseMarkerOf(db.calc().chapterRecord(0).position, v);
    for (std::int32_t p = start + 2; p <= db.lastPosition() && !cell::isVerse(db.cellAt(p)); ++p)
      if (cell::isWord(db.cellAt(p))) out.push_back(p);
    return out;
  }
};

TEST(ImportWriter, HebrewSliceReadsBackWordByWord) {
  HebrewBook gen;
  SourceError se;
  ASSERT_TRUE(readOshbBook(QString::fromUtf8(kSlice), QStringLiteral("Gen.xml"), gen, se)) << se.text().toStdString();
  const std::vector<StrongEntry> dict = {entry('H', 7225, "רֵאשִׁית", "beginning"), entry('H', 1254, "בָּרָא", "create"),
                                         entry('H', 430, "אֱלֹהִים", "God"), entry('H', 853, "אֵת", "[obj]"),
                                         entry('H', 8064, "שָׁמַיִם", "heaven"), entry('H', 776, "אֶרֶץ", "earth"),
                                         entry('H', 3427, "יָשַׁב", "dwell")};
  TbookRef names;
  names.loadText("[BKS2]\nGEN=Genesis\n");
  ConversionReport report;
  IlText text = hebrewText({gen}, dict, names, report);
  TranslationBook kjvGen{QStringLiteral("GEN"), QStringLiteral("Genesis"), {}};
  for (int v = 1; v <= 3; ++v) kjvGen.verses.push_back({QStringLiteral("GEN"), 1, v, "x"});
  EXPECT_EQ(addMissingVerses(text, {kjvGen}), 1);  // 1:3 has no Hebrew here

  Written w;
  IlStats stats;
  QString error;
  ASSERT_TRUE(writeInterlinear(text, w.dir.path() + QStringLiteral("/interlinear/WLC"), &stats, &error))
      << error.toStdString();
  w.load(QStringLiteral("WLC"), {"Gloss.wl", "strong.wl", "Transliteration.wl", "P_WHM.wl", "Lemma.wl"});
  EXPECT_EQ(stats.verses, 3);
  EXPECT_TRUE(w.db.pendingOptions().flag(LineOptions::Hebrew));
  EXPECT_EQ(w.db.known().parsing, 4);
  EXPECT_EQ(w.db.known().strong, 2);

  const auto v1 = w.words(1);
  ASSERT_EQ(v1.size(), 7u);
  // Word code 0 is the display's gap word: the first real word is form 1.
  EXPECT_EQ(w.db.cellAt(v1[0]), 1);
  EXPECT_TRUE(w.db.list(0).entries[0].text.empty());
  struct Row {
    const char* form;
    const char* gloss;
    const char* strong;
    std::string parsing;
  };
  const std::string dot = "\xB7";
  const Row rows[] = {
      {"בְּרֵאשִׁית", "in beginning", "H7225", "Pp" + dot + "ncfsa"},
      {"בָּרָא", "create", "H1254", "vqp3ms"},
      {"אֱלֹהִים", "God", "H430", "ncmpa"},
      {"הָאָרֶץ", "the earth", "H776", "Pa" + dot + "ncbsa"},
  };
  const std::size_t at[] = {0, 1, 2, 6};
  for (std::size_t i = 0; i < 4; ++i) {
    const std::int32_t p = v1[at[i]];
    EXPECT_EQ(codeToHebrew(w.db.cellText(0, p)), QString::fromUtf8(rows[i].form)) << i;
    EXPECT_EQ(w.db.cellText(1, p), rows[i].gloss) << i;
    EXPECT_EQ(w.db.cellText(2, p), rows[i].strong) << i;
    EXPECT_EQ(w.db.cellText(4, p), rows[i].parsing) << i;
  }
  // Hebrew transliteration is plain ASCII: its list needs no character table.
  EXPECT_EQ(w.db.cellText(3, v1[0]), "bereshit");
  EXPECT_FALSE(w.db.appliedTable().slot(3).hasCharMap);
  EXPECT_EQ(codeToHebrew(w.db.cellText(5, v1[0])), QString::fromUtf8("רֵאשִׁית"));

  // Verse 2: the ketiv is variant 1, its qere variant 2; the Aramaic word is parsed with "%".
  const auto v2 = w.words(2);
  ASSERT_EQ(v2.size(), 4u);
  EXPECT_EQ(w.db.cellAt(v2[1] - 1), 64401);
  EXPECT_EQ(w.db.cellAt(v2[2] - 1), 64402);
  EXPECT_EQ(w.db.cellText(4, v2[3]).substr(0, 1), "%");
  EXPECT_TRUE(w.words(3).empty());
  ASSERT_EQ(w.db.variants().size(), 2u);
}

TEST(ImportWriter, GreekWordsKeepPunctuationAndRenderings) {
  GreekBook jhn;
  jhn.code = QStringLiteral("JHN");
  GreekVerse v{1, 1, {}};
  const auto word = [](const char* text, const char* after, int strong, const char* morph, const char* gloss,
                       const char* lemma) {
    GreekWord g;
    g.text = QString::fromUtf8(text);
    g.after = QString::fromUtf8(after);
    g.strong = strong;
    g.morph = QString::fromLatin1(morph);
    g.gloss = QString::fromLatin1(gloss);
    g.lemma = QString::fromUtf8(lemma);
    return g;
  };
  v.words = {word("Ἐν", " ", 1722, "PREP", "In", "ἐν"), word("ἀρχῇ", " ", 746, "N-DSF", "beginning", "ἀρχή"),
             word("ἦν", " ", 1510, "V-IAI-3S", "was", "εἰμί"), word("λόγος", ", ", 3056, "N-NSM", "", "λόγος")};
  jhn.verses = {v};
  TbookRef names;
  ConversionReport report;
  IlText text = greekText({jhn}, {}, names, report);
  Written w;
  QString error;
  ASSERT_TRUE(writeInterlinear(text, w.dir.path() + QStringLiteral("/interlinear/N1904"), nullptr, &error));
  w.load(QStringLiteral("N1904"), {"Gloss.wl", "strong.wl", "Transliteration.wl", "Robinson.wl", "Lemma.wl"});
  const auto ws = w.words(1);
  ASSERT_EQ(ws.size(), 4u);
  EXPECT_EQ(codeToGreek(w.db.cellText(0, ws[1])), QString::fromUtf8("ἀρχῇ"));
  EXPECT_EQ(codeToGreek(w.db.cellText(0, ws[3])), QString::fromUtf8("λόγος,"));
  EXPECT_EQ(w.db.cellText(2, ws[3]), "G3056");
  EXPECT_EQ(w.db.cellText(4, ws[2]), "V-IAI-3S");
  // A word without a gloss selects no rendering rather than an empty one, and its form's entry
  // is a ring of its own.
  EXPECT_EQ(w.db.selection(1)[std::size_t(ws[3])], 255);
  const std::uint16_t logos = w.db.cellAt(ws[3]);
  EXPECT_EQ(w.db.list(1).entries[logos].next, logos);
  EXPECT_EQ(w.db.list(1).entries[0].next, 0);
  EXPECT_EQ(codeToGreek(w.db.cellText(5, ws[2])), QString::fromUtf8("εἰμί"));
  // Greek transliteration has long vowels: its list maps them through a character table.
  const Tsubl& tr = w.db.appliedTable().slot(3);
  ASSERT_TRUE(tr.hasCharMap) << tr.rawHeader;
  QString translit;
  for (unsigned char b : w.db.cellText(3, ws[1])) translit += tr.charMap[b].target ? QChar(tr.charMap[b].target) : QChar(b);
  EXPECT_EQ(translit, QString::fromUtf8("archēi"));  // iota subscript written out
}

TEST(ImportWriter, TranslationAndStrongNotesReadBack) {
  QTemporaryDir dir;
  const QString prg = dir.path() + QStringLiteral("/");
  TbookRef names;
  names.loadText("[BKS2]\nGEN=Genesis\n");
  TranslationBook gen{QStringLiteral("GEN"), QStringLiteral("Genesis"),
                      {{QStringLiteral("GEN"), 1, 1, "In the beginning God created the heaven and the earth."},
                       {QStringLiteral("GEN"), 1, 2, "And darkness \x19was\x19 upon the face of the deep."}}};
  QString error;
  ASSERT_TRUE(writeTranslation(prg, QStringLiteral("KJV"), QStringLiteral("King James Version"), {gen}, names, &error))
      << error.toStdString();
  TCalcpos calc;
  calc.setDir(prg + QStringLiteral("KJV.t/"));
  calc.setName(QStringLiteral("KJV"));
  ASSERT_EQ(calc.Init(), 0);
  TWordGP t(1);
  t.setDir(prg + QStringLiteral("KJV.t/"));
  t.setName(QStringLiteral("KJV"));
  t.setCalcpos(&calc);
  ASSERT_TRUE(t.init()) << t.error().toStdString();
  t.CurRef.Bks = "GEN";
  t.CurRef.chapter = 1;
  t.CurRef.verse = 2;
  ASSERT_TRUE(t.GotoRef());
  ASSERT_FALSE(t.ReadVerse());  // true would mean the end of the text
  EXPECT_EQ(t.VerseText(), "And darkness \x19was\x19 upon the face of the deep.");

  ASSERT_TRUE(writeStrongNotes(prg, QStringLiteral("Strongs"), {entry('H', 430, "אֱלֹהִים", "God"), entry('G', 2316, "θεός", "")},
                               &error));
  struct Doc : TMemoDocument {
    QStringList lines{QString()};
    void appendRun(const TMemoRun& r) override { lines.back() += r.text; }
    void appendLineBreak() override { lines << QString(); }
    QStringList memoLines() const override { return lines; }
  } doc;
  TmemoNote memo;
  memo.setStrongCollection(prg, QStringLiteral("Strongs"), 'H');
  memo.setEditor(&doc);
  ASSERT_TRUE(memo.ShowMemo(430));
  EXPECT_EQ(doc.lines[0], QString::fromUtf8("אֱלֹהִים"));
  EXPECT_TRUE(doc.lines.join('\n').contains(QStringLiteral("see H430 and G2316")));
}

}  // namespace
}  // namespace kov::import
