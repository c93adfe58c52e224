#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <set>

#include "db/References.h"
#include "db/cCalcPos.h"
#include "support/TranslationFixtures.h"
#include "texts/UWordGP.h"

using namespace kov;
using namespace kov::testing;

namespace {

struct FakeHits : TTranslationHits {
  std::set<std::int32_t> positions;
  int slot = 2;
  bool isHit(int s, std::int32_t p) const override { return s == slot && positions.count(p) > 0; }
};

// A translation written into a temporary folder and opened in slot 2.
struct Loaded {
  QTemporaryDir tmp;
  TCalcpos calc;
  TWordGP gp{2};

  explicit Loaded(const std::vector<TWgpVerse>& verses, const QString& name = "TST") {
    writeTranslation(tmp.path(), name, verses);
    open(name);
  }
  Loaded() = default;
  bool open(const QString& name) {
    calc.setDir(tmp.path() + "/");
    calc.setName(name);
    calc.Init();
    gp.setDir(tmp.path());
    gp.setName(name);
    gp.setCalcpos(&calc);
    return gp.init();
  }
  bool go(const std::string& book, int chapter, int verse) {
    gp.CurRef = VerseRef{};
    gp.CurRef.Bks = book;
    gp.CurRef.chapter = static_cast<std::uint8_t>(chapter);
    gp.CurRef.verse = static_cast<std::int16_t>(verse);
    return gp.GotoRef();
  }
  std::string readOne() {
    EXPECT_FALSE(gp.ReadVerse());
    return gp.VerseText();
  }
};

}  // namespace

TEST(WordGPRead, ThousandVersesRoundTripInOrder) {
  const auto sample = sampleTranslation(1000);
  Loaded t(versesOf(sample));
  ASSERT_TRUE(t.go("GEN", 1, 1));
  for (const TextVerse& v : sample) {
    ASSERT_FALSE(t.gp.ReadVerse());
    ASSERT_EQ(t.gp.VerseText(), v.text);
    ASSERT_EQ(t.gp.VerseTextLen(), v.text.size());
    ASSERT_EQ(t.gp.PrevRef.Bks, v.verse.book);
    ASSERT_EQ(t.gp.PrevRef.chapter, v.verse.chapter);
    ASSERT_EQ(t.gp.PrevRef.verse, v.verse.verse);
  }
  EXPECT_EQ(t.gp.NextVerse(), 0);
  EXPECT_TRUE(t.gp.ReadVerse()) << "the closing marker ends the text";
  EXPECT_EQ(t.gp.VerseTextLen(), 0);
  EXPECT_EQ(t.gp.badCodes(), 0);
  EXPECT_GE(MaxStreamPos(), t.gp.LastRecord());
}

TEST(WordGPRead, GotoRefFindsVersesAndRejectsMissingBook) {
  const auto sample = sampleTranslation(450);  // GEN, EXO, part of LEV
  Loaded t(versesOf(sample));
  ASSERT_TRUE(t.go("EXO", 3, 7));
  EXPECT_TRUE(t.gp.VerseExist());
  EXPECT_EQ(t.readOne(), sample[200 + 2 * 20 + 6].text);
  EXPECT_EQ(t.gp.NextVerse(), 8);

  EXPECT_FALSE(t.go("REV", 1, 1));
  EXPECT_FALSE(t.gp.VerseExist());
  // The reader follows a chapter change and reports the new chapter in CurRef.
  ASSERT_TRUE(t.go("GEN", 1, 20));
  t.readOne();
  EXPECT_EQ(t.gp.CurRef.chapter, 2);
  EXPECT_EQ(t.gp.CurRef.verse, 1);
  // The verse mark sits in the flags word; StepVerses reports it.
  ASSERT_TRUE(t.go("GEN", 1, 7));
  const TVerseStep back = t.gp.StepVerses(t.gp.Position(), -1, false);
  EXPECT_EQ(back.verse, 6);
  EXPECT_EQ(back.mark, 'a');
  EXPECT_EQ(t.gp.StepVerses(back.position, -1, false).mark, ' ');
}

TEST(WordGPRead, SpacingRuleAndHitMarks) {
  struct Case {
    std::vector<std::string> words;
    std::vector<int> hits;  // word indexes marked as hits
    std::string expected;
  };
  const std::vector<Case> cases = {
      {{"Hello", ",", "world", "."}, {}, "Hello, world."},
      {{"(", "see", ")"}, {}, "(see)"},
      {{"Hello", ",", "world"}, {1}, "Hello @,@ world"},
      {{"Hello", ",", "world"}, {0}, "@Hello@, world"},
      {{"say", "\"", "yes", "\""}, {}, "say\"yes\""},
      {{"a ", "-", " b"}, {}, "a - b"},
      {{"open", "[", "next"}, {1}, "open @[@ next"},
  };
  for (const Case& c : cases) {
    Loaded t({wordsVerse("GEN", 1, 1, c.words), wordsVerse("GEN", 1, 2, {"x"})});
    FakeHits hits;
    ASSERT_TRUE(t.go("GEN", 1, 1));
    for (int h : c.hits) hits.positions.insert(t.gp.Position() + 2 + h);
    t.gp.setHits(&hits);
    EXPECT_EQ(t.readOne(), c.expected);
    EXPECT_EQ(t.gp.HitCount(), static_cast<int>(c.hits.size()));
  }
}

TEST(WordGPRead, SplitTextReadsBackTheSameText) {
  for (const std::string text :
       {"a 'quote' here", "x )( y", "end -", "- start", "He said: \"Go!\" (now)", "a  b "}) {
    Loaded t({wordsVerse("GEN", 1, 1, splitVerseText(text))});
    ASSERT_TRUE(t.go("GEN", 1, 1));
    EXPECT_EQ(t.readOne(), text == "a  b " ? "a b" : text) << text;
  }
}

TEST(WordGPRead, EmptyVerseLayoutAndInvalidCodes) {
  auto data = buildWordGP({wordsVerse("GEN", 1, 1, {"in", "the", "beginning"}),
                           wordsVerse("GEN", 1, 2, {}), wordsVerse("GEN", 1, 3, {"z"})},
                          TbookTable{});
  ASSERT_TRUE(data);
  // Verse 1: a layout code before "the", a code naming no word after it.
  const int n = static_cast<int>(data->wi1.size());
  data->gd.insert(data->gd.begin() + 4, 64010);
  data->gd.insert(data->gd.begin() + 6, static_cast<std::uint16_t>(n + 3));
  Loaded t;
  ASSERT_TRUE(writeWordGPFiles(t.tmp.path(), "TST", *data));
  ASSERT_TRUE(t.open("TST"));
  ASSERT_TRUE(t.go("GEN", 1, 1));
  EXPECT_EQ(t.readOne(), "in the  beginning") << "the bad code reads as an empty word";
  EXPECT_EQ(t.gp.badCodes(), 1);
  EXPECT_EQ(t.readOne(), "error empty string");
  EXPECT_EQ(t.readOne(), "z");
}

TEST(WordGPSeek, FindVerseStartWithinAHundredRecords) {
  std::vector<std::string> many(200, "w");
  Loaded t({wordsVerse("GEN", 1, 1, {"a"}), wordsVerse("GEN", 1, 2, many),
            wordsVerse("GEN", 1, 3, {"b"})});
  ASSERT_TRUE(t.go("GEN", 1, 2));
  const std::int32_t marker = t.gp.Position();
  t.gp.setPosition(marker + 50);
  t.gp.FindVerseStart();
  EXPECT_EQ(t.gp.NextVerse(), 2);
  EXPECT_EQ(t.gp.Position(), marker);
  t.gp.setPosition(marker + 150);
  t.gp.FindVerseStart();
  EXPECT_EQ(t.gp.NextVerse(), -1);
  t.gp.setPosition(2);  // the first verse's flags word
  t.gp.FindVerseStart();
  EXPECT_EQ(t.gp.NextVerse(), 1);
  EXPECT_EQ(t.gp.Position(), 1);
}

TEST(WordGPSeek, StepVersesForwardBackwardAndAtTheEnd) {
  std::vector<TWgpVerse> verses;
  for (int v = 1; v <= 8; ++v) verses.push_back(wordsVerse("GEN", 1, v, {"w", std::to_string(v)}));
  Loaded t(verses);
  auto markerOf = [&](int v) { return 1 + (v - 1) * 4; };  // marker, flags, two words
  auto r = t.gp.StepVerses(markerOf(2), 3, false);
  EXPECT_EQ(r.position, markerOf(5));
  EXPECT_EQ(r.verse, 5);
  r = t.gp.StepVerses(markerOf(5), -3, false);
  EXPECT_EQ(r.position, markerOf(2));
  EXPECT_EQ(r.verse, 2);
  r = t.gp.StepVerses(markerOf(2), -5, false);
  EXPECT_EQ(r.position, markerOf(1)) << "backwards stops at the start of the stream";

  const std::int32_t last = t.gp.LastRecord();
  r = t.gp.StepVerses(markerOf(7), 5, false);
  EXPECT_EQ(r.position, last - 1) << "the last marker before LastRecord";
  EXPECT_EQ(r.verse, 0);
  r = t.gp.StepVerses(markerOf(7), 5, true);
  EXPECT_EQ(r.position, last);
  r = t.gp.StepVerses(markerOf(3), 0, false);
  EXPECT_EQ(r.verse, -1);
}

TEST(WordGPTable, WordsCheckpointsAndPunctuation) {
  std::vector<std::string> words;
  for (int i = 0; i < 250; ++i) words.push_back("w" + std::to_string(i));
  words.insert(words.end(), {",", " ;", "ab", "-", "x!"});
  Loaded t({wordsVerse("GEN", 1, 1, words)});
  EXPECT_EQ(t.gp.WordCount(), 256);
  EXPECT_EQ(t.gp.GetWord(0), "");
  EXPECT_EQ(t.gp.GetWord(1), "w0");
  EXPECT_EQ(t.gp.GetWord(250), "w249");
  EXPECT_EQ(t.gp.GetWord(252), " ;");
  EXPECT_EQ(t.gp.GetWord(256), "");
  EXPECT_EQ(t.gp.WordOffset(1), 1);
  EXPECT_EQ(t.gp.WordOffset(2), 3);
  EXPECT_EQ(t.gp.PunctWords(), (std::vector<int>{251, 252, 254}));
  EXPECT_EQ(t.gp.PunctLast(), 2);
}

TEST(WordGPFiles, NamesWithoutCaseMissingFilesAndTraceLog) {
  Loaded t({wordsVerse("GEN", 1, 1, {"a"})});
  for (const char* ext : {".WI1", ".GD"})
    ASSERT_TRUE(QFile::rename(t.tmp.path() + "/TST" + ext,
                              t.tmp.path() + "/tst" + QString(ext).toLower()));
  TWordGP gp(3);
  QStringList trace;
  gp.setTraceLog([&](const QString& s) { trace << s; });
  gp.setDir(t.tmp.path());
  gp.setName("TST");
  ASSERT_TRUE(gp.init());
  gp.ToggleOpen();
  EXPECT_EQ(trace, (QStringList{"open 3", "close 3"}));

  ASSERT_TRUE(QFile::remove(t.tmp.path() + "/tst.gd"));
  EXPECT_FALSE(gp.init()) << "no code stream";
  EXPECT_FALSE(gp.error().isEmpty());
  ASSERT_TRUE(QFile::remove(t.tmp.path() + "/TST.wgp"));
  TWordGP none;
  none.setDir(t.tmp.path());
  none.setName("TST");
  EXPECT_FALSE(none.init());
  EXPECT_FALSE(none.ReadVerse());
  EXPECT_FALSE(none.VerseExist());
}

TEST(WordGPFiles, DamagedFilesReadWithoutFault) {
  const auto sample = sampleTranslation(60);
  struct Damage {
    const char* ext;
    int keep;  // bytes kept (-1: all) before the tail is appended
    QByteArray tail;
  };
  const std::vector<Damage> damages = {
      {".WI2", 4, {}},
      {".wgp", 10, {}},
      {".GD", 101, {}},
      {".GD", 7, {}},
      {".GD", 0, {}},
      {".WI1", -1, QByteArray(70000, '\xFF')},
      {".WI2", 0, QByteArray("\xFF\xFF\xFF\x7F\x00\x00\x00\x80", 8)},
      {".GD", 40, QByteArray(600, '\xFE')},
  };
  for (const Damage& d : damages) {
    Loaded t(versesOf(sample));
    QFile f(t.tmp.path() + "/TST" + d.ext);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    if (d.keep >= 0) bytes.truncate(d.keep);
    bytes += d.tail;
    f.resize(0);
    f.seek(0);
    f.write(bytes);
    f.close();
    TWordGP gp;
    gp.setDir(t.tmp.path());
    gp.setName("TST");
    gp.setCalcpos(&t.calc);
    ASSERT_TRUE(gp.init()) << d.ext;
    gp.CurRef.Bks = "GEN";
    gp.CurRef.chapter = 1;
    gp.CurRef.verse = 1;
    gp.GotoRef();
    int reads = 0;
    while (!gp.ReadVerse() && gp.VerseExist() && reads < 1000) ++reads;
    EXPECT_LT(reads, 1000) << d.ext;
    for (std::int32_t p : {0, 5, 50, 100000}) {
      gp.StepVerses(p, 3, false);
      gp.StepVerses(p, -3, true);
      gp.setPosition(p);
      gp.FindVerseStart();
    }
  }
}

TEST(WordGPReferences, TranslationSlotPositionsEndToEnd) {
  const auto sample = sampleTranslation(450);
  Loaded t(versesOf(sample));
  TWordGPVerses verses;
  verses.setReader(2, &t.gp);
  TReferences refs;
  refs.setCalculator(2, &t.calc);
  refs.setTranslationVerses(&verses);

  VerseRef exo;
  exo.Bks = "EXO";
  exo.chapter = 4;
  exo.verse = 9;
  const std::int32_t pos = refs.refToPosition(2, exo);
  ASSERT_GT(pos, 0);
  t.gp.setPosition(pos);
  EXPECT_FALSE(t.gp.ReadVerse());
  EXPECT_EQ(t.gp.VerseText(), sample[200 + 3 * 20 + 8].text);

  const VerseRef back = refs.positionToRef(2, pos + 3);
  EXPECT_EQ(back.Bks, "EXO");
  EXPECT_EQ(back.chapter, 4);
  EXPECT_EQ(back.verse, 9);
  EXPECT_EQ(back.verseMark, ' ');
  const VerseRef chapter = refs.positionToChapter(2, pos);
  EXPECT_EQ(chapter.Bks, "EXO");
  EXPECT_EQ(chapter.chapter, 4);
  EXPECT_EQ(chapter.verse, -1);

  exo.chapter = 40;
  EXPECT_EQ(refs.refToPosition(2, exo), -1) << "chapter not in the translation";
  EXPECT_EQ(refs.refToPosition(3, exo), -1) << "empty slot";
}

TEST(WordGPWriter, RefusesWhatTheFormatCannotHold) {
  QString error;
  EXPECT_FALSE(buildWordGP({wordsVerse("GEN", 1, 600, {"a"})}, {}, &error));
  EXPECT_FALSE(buildWordGP({wordsVerse("GEN", 1, 1, {std::string(256, 'x')})}, {}, &error));
  EXPECT_FALSE(buildWordGP({wordsVerse("GEN", 1, 1, {"a"}), wordsVerse("EXO", 1, 1, {"a"}),
                            wordsVerse("GEN", 2, 1, {"a"})},
                           {}, &error));
  EXPECT_TRUE(error.contains("twice"));
  EXPECT_FALSE(
      buildWordGP({wordsVerse("GEN", 1, 1, std::vector<std::string>(1023, "a"))}, {}, &error));
}
