#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/WordListFixtures.h"
#include "db/ChunkHeader.h"
#include "db/DayCount.h"
#include "db/cWordList.h"

namespace kov {
namespace {

using test::ChunkFileBuilder;
using test::FixtureEntry;
using test::sampleList;
using test::sampleListFile;

QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// The tags and versions of a file's chunks, file header first.
std::vector<std::pair<int, int>> chunkLayout(const QByteArray& file) {
  std::vector<std::pair<int, int>> out;
  ChunkWalker walker(file);
  const auto fh = walker.readHeader();
  if (!fh) return out;
  out.emplace_back(fh->tag, fh->version);
  Chunk c;
  while (walker.next(c)) out.emplace_back(c.header.tag, c.header.version);
  return out;
}

void expectSameList(const Tsubl& got, const TWordList& gotList, const test::SampleList& want) {
  EXPECT_EQ(got.listHeader, want.slot.listHeader);
  EXPECT_EQ(got.reserved, want.slot.reserved);
  EXPECT_EQ(got.rawHeader, want.slot.rawHeader);
  EXPECT_EQ(gotList.count, want.list.count);
  ASSERT_EQ(gotList.entries.size(), size_t(want.list.count));
  for (int32_t k = 0; k < want.list.count; ++k) EXPECT_EQ(gotList.entries[size_t(k)], want.list.entries[size_t(k)]);
  EXPECT_EQ(got.entryCount, want.list.count);
  EXPECT_EQ(got.highIndex, want.list.count - 1);
}

class WordListFiles : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  QString folder() const { return dir.path() + QLatin1Char('/'); }
  QString path(const QString& name) const { return folder() + name; }
};

TEST_F(WordListFiles, SavedListReloadsIdenticallyWithInvertedHeaderChunks) {
  test::SampleList sample = sampleList();
  QString error;
  ASSERT_TRUE(saveList(folder(), sample.slot, sample.list, &error, 45678.75)) << error.toStdString();
  EXPECT_EQ(sample.slot.listHeader.dateModify, 45678.75);

  const QByteArray file = readFile(path("gloss.wl"));
  const std::vector<std::pair<int, int>> layout{{-4000, 100}, {1000, 101}, {1010, 101},
                                                {1100, 101}, {4020, 100}, {4030, 100}};
  EXPECT_EQ(chunkLayout(file), layout);
  EXPECT_EQ(file.size(), 6 * 12 + 40 + 153 + qsizetype(sample.slot.rawHeader.size()) + 3 * 6 + 15);

  Tsubl slot;
  slot.fileName = "gloss.wl";
  TWordList list;
  const WlLoadResult r = loadList(folder(), slot, list);
  EXPECT_EQ(r.missing, 0);
  EXPECT_TRUE(r.errors.isEmpty()) << r.errors.join("; ").toStdString();
  expectSameList(slot, list, sample);
  EXPECT_EQ(slot.id, "GLS");
  EXPECT_EQ(slot.desS, "gloss");
}

TEST_F(WordListFiles, PlainHeaderVersionLoadsTheSameAndIsInvertedAfterASave) {
  test::SampleList sample = sampleList();
  const QByteArray plain = sampleListFile(sample, ChunkHeader::kPlain);
  const QByteArray inverted = sampleListFile(sample, ChunkHeader::kInverted);
  ASSERT_NE(plain, inverted);

  Tsubl a, b;
  TWordList la, lb;
  EXPECT_EQ(parseList(plain, "gloss.wl", a, la).missing, 0);
  EXPECT_EQ(parseList(inverted, "gloss.wl", b, lb).missing, 0);
  expectSameList(a, la, sample);
  expectSameList(b, lb, sample);

  writeFile(path("gloss.wl"), plain);
  a.fileName = "gloss.wl";
  ASSERT_TRUE(saveList(folder(), a, la));
  const auto layout = chunkLayout(readFile(path("gloss.wl")));
  ASSERT_EQ(layout.size(), 6u);
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(layout[size_t(i)].second, 101);
}

TEST_F(WordListFiles, NewSublinearHasOneSelfLinkedEntryPerMainEntry) {
  QString error;
  ASSERT_TRUE(createList(folder(), "lemma", "", 5, &error, 100.5)) << error.toStdString();
  ASSERT_TRUE(createSelection(folder(), "lemma", 255, 9, &error)) << error.toStdString();

  Tsubl slot;
  slot.fileName = "lemma.wl";
  TWordList list;
  TSelection selection;
  const SublinearLoadResult r = loadSublinear(folder(), slot, list, selection);
  EXPECT_EQ(r.failed, 0) << r.errors.join("; ").toStdString();
  ASSERT_EQ(list.count, 5);
  for (int32_t k = 0; k < 5; ++k) {
    EXPECT_EQ(list.entries[size_t(k)].next, k);
    EXPECT_EQ(list.entries[size_t(k)].flags, 0);
    EXPECT_TRUE(list.entries[size_t(k)].text.empty());
  }
  EXPECT_EQ(selection, TSelection(10, 255));
  EXPECT_EQ(slot.listHeader.verData, (TVerData{1, 0, 0, 0}));
  EXPECT_EQ(slot.listHeader.dateCreate, 100.5);
  EXPECT_EQ(slot.listHeader.dateModify, 100.5);
  EXPECT_EQ(slot.id, "lemma");  // no XML header: the id is the file name
  EXPECT_EQ(slot.reserved, TReservedRecords{});
}

TEST_F(WordListFiles, SelectionWithoutItsChunkFailsTheSublinear) {
  test::SampleList sample = sampleList();
  ASSERT_TRUE(saveList(folder(), sample.slot, sample.list));
  writeFile(path("gloss.wlx"), ChunkFileBuilder(wltag::kSelectionFile).bytes());

  TSelection selection;
  EXPECT_EQ(loadSelection(folder(), sample.slot, selection).missing, 1);

  Tsubl slot;
  slot.fileName = "gloss.wl";
  TWordList list;
  EXPECT_EQ(loadSublinear(folder(), slot, list, selection).failed, 1);
  slot.fileName = "absent.wl";
  EXPECT_EQ(loadSublinear(folder(), slot, list, selection).failed, 3);
}

TEST_F(WordListFiles, SelectionRoundTripsAndSkipsUnknownChunks) {
  Tsubl slot;
  slot.fileName = "strong.wl";
  const TSelection written{0, 1, 255, 7};
  ASSERT_TRUE(saveSelection(folder(), slot, written));
  TSelection read;
  EXPECT_EQ(loadSelection(folder(), slot, read).missing, 0);
  EXPECT_EQ(read, written);

  const QByteArray withUnknown = ChunkFileBuilder(wltag::kSelectionFile)
                                     .chunk(5200, 100, 2, 1, "zz")
                                     .chunk(wltag::kSelection, 101, 1, 1, "q")  // wrong version: passed over
                                     .chunk(wltag::kSelection, 100, 3, 1, "\x01\x02\x03")
                                     .bytes();
  EXPECT_EQ(parseSelection(withUnknown, read).missing, 0);
  EXPECT_EQ(read, (TSelection{1, 2, 3}));
}

TEST_F(WordListFiles, FileNamesAreFoundWhateverTheirCase) {
  test::SampleList sample = sampleList();
  sample.slot.fileName = "Gloss.WL";
  ASSERT_TRUE(saveList(folder(), sample.slot, sample.list));
  sample.slot.fileName = "gloss.wl";
  sample.list.entries[2].text = "lamp";
  ASSERT_TRUE(saveList(folder(), sample.slot, sample.list));  // replaces Gloss.WL
  EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList{"Gloss.WL"});
  TWordList list;
  Tsubl slot;
  slot.fileName = "GLOSS.wl";
  EXPECT_EQ(loadList(folder(), slot, list).missing, 0);
  EXPECT_EQ(list.entries[2].text, "lamp");
}

TEST_F(WordListFiles, UnsavableListLeavesTheFileAlone) {
  test::SampleList sample = sampleList();
  ASSERT_TRUE(saveList(folder(), sample.slot, sample.list));
  const QByteArray before = readFile(path("gloss.wl"));

  test::SampleList longText = sample;
  longText.list.entries[1].text.assign(256, 'a');
  test::SampleList bigXml = sample;
  bigXml.slot.rawHeader.assign(size_t(ChunkHeader::kMaxInvertedPayload + 1), ' ');
  test::SampleList countBeyond = sample;
  countBeyond.list.count = 4;
  for (test::SampleList* s : {&longText, &bigXml, &countBeyond}) {
    QString error;
    EXPECT_FALSE(saveList(folder(), s->slot, s->list, &error));
    EXPECT_FALSE(error.isEmpty());
  }
  EXPECT_EQ(readFile(path("gloss.wl")), before);
}

TEST_F(WordListFiles, RewriteHeaderKeepsOtherChunksByteIdentical) {
  test::SampleList sample = sampleList();
  QByteArray unknown;
  appendChunk(unknown, {2222, 100, 2, 2}, "wxyz");
  // Old-style file: plain header chunks, reserved records under the old tag, an unknown
  // chunk in the middle and stray bytes after the announced chunks.
  QByteArray file = sampleListFile(sample, ChunkHeader::kPlain, unknown);
  file.replace(12 + 12 + 40, 2, QByteArray("\xaa\x0f", 2));  // 1010 -> 4010
  file.append("tail");
  writeFile(path("gloss.wl"), file);

  Tsubl slot = sample.slot;
  slot.listHeader.dateModify = 1.0;
  slot.reserved[2][0] = 0xEE;
  slot.rawHeader = "<WL><id>NEW</id></WL>";
  QString error;
  ASSERT_TRUE(rewriteHeader(folder(), slot, &error)) << error.toStdString();

  const QByteArray out = readFile(path("gloss.wl"));
  const std::vector<std::pair<int, int>> layout{{-4000, 100}, {1000, 101}, {1010, 101}, {1100, 101},
                                                {2222, 100},  {4020, 100}, {4030, 100}};
  EXPECT_EQ(chunkLayout(out), layout);
  const qsizetype oldXml = qsizetype(sample.slot.rawHeader.size());
  const qsizetype newXml = qsizetype(slot.rawHeader.size());
  // Everything after the XML chunk is the old bytes, shifted by the change in XML length.
  const qsizetype oldRest = 12 + 52 + 12 + 153 + 12 + oldXml;
  EXPECT_EQ(out.mid(oldRest + newXml - oldXml), file.mid(oldRest));
  EXPECT_TRUE(out.endsWith("tail"));

  Tsubl reread;
  reread.fileName = "gloss.wl";
  TWordList list;
  EXPECT_EQ(loadList(folder(), reread, list).missing, 0);
  EXPECT_EQ(reread.listHeader, slot.listHeader);
  EXPECT_EQ(reread.reserved, slot.reserved);
  EXPECT_EQ(reread.id, "NEW");
  EXPECT_EQ(list.entries, sample.list.entries);
}

TEST_F(WordListFiles, RewriteHeaderRefusesABrokenFile) {
  test::SampleList sample = sampleList();
  QByteArray file = sampleListFile(sample, ChunkHeader::kInverted);
  file.chop(3);  // the text chunk now runs past the end
  writeFile(path("gloss.wl"), file);
  QString error;
  EXPECT_FALSE(rewriteHeader(folder(), sample.slot, &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(readFile(path("gloss.wl")), file);
}

TEST_F(WordListFiles, LoadHeaderReadsNoEntriesAndRefreshHeaderReadsEitherVersion) {
  test::SampleList sample = sampleList("<WL><id>X</id><remap>1</remap><rtl>1</rtl></WL>");
  ASSERT_TRUE(saveList(folder(), sample.slot, sample.list, nullptr, 5.0));

  Tsubl slot;
  slot.fileName = "gloss.wl";
  slot.entryCount = 99;
  EXPECT_EQ(loadHeader(folder(), slot).missing, 0);
  EXPECT_EQ(slot.entryCount, 99);
  EXPECT_EQ(slot.listHeader.verData, sample.slot.listHeader.verData);
  EXPECT_EQ(slot.listHeader.dateModify, 5.0);
  EXPECT_EQ(slot.remap, 1);
  EXPECT_TRUE(slot.rtl);

  // The file's header changes under the slot; a refresh picks up the version-101 XML.
  sample.slot.rawHeader = "<WL><id>Y</id><desS>new</desS></WL>";
  ASSERT_TRUE(rewriteHeader(folder(), sample.slot));
  slot.listHeader.verData.nMajor = 42;
  const WlLoadResult r = refreshHeader(folder(), slot);
  EXPECT_EQ(r.missing, 0);
  EXPECT_EQ(slot.remap, 0);
  EXPECT_FALSE(slot.rtl);
  EXPECT_EQ(slot.id, "Y");
  EXPECT_EQ(slot.desS, "new");
  EXPECT_EQ(slot.listHeader.verData.nMajor, 42);  // only the XML header is read again
}

// ---- XML header ----

TEST(WordListHeader, ReadsEveryFieldFromTheFirstElementOfItsName) {
  Tsubl slot;
  QStringList errors;
  applyXmlHeader(slot,
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?><WL><info><lng>Hebrew</lng><id>p_whm</id></info>"
                 "<desS>Parsing \xce\xb1</desS><helpFP>help.htm</helpFP><rights>CC BY 4.0</rights>"
                 "<type>ORG</type><remap> 3 </remap><rtl>1</rtl><id>second</id></WL>",
                 "parse.wl", &errors);
  EXPECT_TRUE(errors.isEmpty()) << errors.join("; ").toStdString();
  EXPECT_EQ(slot.lng, "Hebrew");
  EXPECT_EQ(slot.id, "p_whm");
  EXPECT_EQ(slot.parsingList, 1);
  EXPECT_EQ(slot.desS, QString::fromUtf8("Parsing \xce\xb1"));
  EXPECT_EQ(slot.helpFP, "help.htm");
  EXPECT_EQ(slot.rights, "CC BY 4.0");
  EXPECT_EQ(slot.type, "ORG");
  EXPECT_EQ(slot.remap, 3);
  EXPECT_TRUE(slot.rtl);
  EXPECT_FALSE(slot.hasCharMap);
}

TEST(WordListHeader, EmptyIdTakesTheFileNameWithoutExtension) {
  const std::vector<std::pair<const char*, std::string>> cases{
      {"no id element", "<WL><desS>d</desS></WL>"},
      {"empty id", "<WL><id></id></WL>"},
      {"no XML", ""},
      {"XML that does not parse", "<WL><id>lost</WL>"},
  };
  for (const auto& [name, xml] : cases) {
    SCOPED_TRACE(name);
    Tsubl slot;
    applyXmlHeader(slot, xml, "translit.v2.wl", nullptr);
    EXPECT_EQ(slot.id, "translit.v2");
  }
}

TEST(WordListHeader, CharTableMapsNonBlankSourceCharacters) {
  Tsubl slot;
  QStringList errors;
  // Children after "count" are read by position, whatever their names.
  applyXmlHeader(slot,
                 "<WL><remap>1</remap><CHARTABLE><x>ignored</x><count>4</count><a>Greek</a><b>Latin</b>"
                 "<src>a b\xc3\xbf\xc4\x80</src><dst>\xce\xb1\xce\xa9\xce\xb2\xce\xb3\xce\xb4</dst></CHARTABLE></WL>",
                 "g.wl", &errors);
  EXPECT_TRUE(errors.isEmpty()) << errors.join("; ").toStdString();
  EXPECT_EQ(slot.charTableCount, 4);
  EXPECT_EQ(slot.charTableLabel1, "Greek");
  EXPECT_EQ(slot.charTableLabel2, "Latin");
  ASSERT_TRUE(slot.hasCharMap);
  EXPECT_EQ(slot.remap, 1);
  EXPECT_EQ(slot.charMap['a'].target, 0x03B1);
  EXPECT_EQ(slot.charMap['b'].target, 0x03B2);
  EXPECT_EQ(slot.charMap[0xFF].target, 0x03B3);
  EXPECT_EQ(slot.charMap[' '].target, 0);  // the blank is a filler, not a mapping
  // U+0100 is beyond the map: no entry anywhere holds its target.
  int mapped = 0;
  for (const TCharMapEntry& e : slot.charMap) mapped += e.target != 0;
  EXPECT_EQ(mapped, 3);
}

TEST(WordListHeader, CharTableOfUnequalLengthsSwitchesTheMapOff) {
  Tsubl slot;
  applyXmlHeader(slot, "<WL><remap>2</remap><CHARTABLE><count>2</count><a/><b/><s>ab</s><t>x</t></CHARTABLE></WL>",
                 "g.wl", nullptr);
  EXPECT_FALSE(slot.hasCharMap);
  EXPECT_EQ(slot.remap, 0);

  Tsubl noTarget;  // an empty target builds no map and leaves remap alone
  applyXmlHeader(noTarget, "<WL><remap>2</remap><CHARTABLE><count>2</count><a/><b/><s>ab</s><t/></CHARTABLE></WL>",
                 "g.wl", nullptr);
  EXPECT_FALSE(noTarget.hasCharMap);
  EXPECT_EQ(noTarget.remap, 2);
}

TEST(WordListHeader, MalformedIntegersAreReportedAndTheRestIsRead) {
  Tsubl slot;
  QStringList errors;
  applyXmlHeader(slot, "<WL><id>S</id><remap>two</remap><CHARTABLE><count>4x</count><a>L</a></CHARTABLE></WL>",
                 "s.wl", &errors);
  ASSERT_EQ(errors.size(), 2);
  EXPECT_TRUE(errors[0].contains("remap")) << errors[0].toStdString();
  EXPECT_TRUE(errors[1].contains("count")) << errors[1].toStdString();
  EXPECT_EQ(slot.remap, 0);
  EXPECT_EQ(slot.charTableCount, 0);
  EXPECT_EQ(slot.charTableLabel1, "L");
  EXPECT_EQ(slot.id, "S");

  // In a file, the list still loads and the caller gets the error.
  test::SampleList sample = sampleList("<WL><remap>2.5</remap></WL>");
  Tsubl loaded;
  TWordList list;
  const WlLoadResult r = parseList(sampleListFile(sample, 101), "s.wl", loaded, list);
  EXPECT_EQ(r.missing, 0);
  EXPECT_EQ(r.errors.size(), 1);
  EXPECT_EQ(list.count, 3);
}

TEST(WordListHeader, LoadingClearsTheFieldsOfTheListBefore) {
  Tsubl slot;
  TWordList list;
  test::SampleList first = sampleList("<WL><id>A</id><lng>hebrew</lng><rtl>1</rtl><remap>1</remap>"
                                      "<CHARTABLE><count>1</count><a/><b/><s>a</s><t>b</t></CHARTABLE></WL>");
  ASSERT_EQ(parseList(sampleListFile(first, 101), "a.wl", slot, list).missing, 0);
  ASSERT_TRUE(slot.hasCharMap);
  test::SampleList second = sampleList("<WL><desS>only</desS></WL>");
  ASSERT_EQ(parseList(sampleListFile(second, 101), "b.wl", slot, list).missing, 0);
  EXPECT_EQ(slot.id, "b");
  EXPECT_TRUE(slot.lng.isEmpty());
  EXPECT_FALSE(slot.rtl);
  EXPECT_EQ(slot.remap, 0);
  EXPECT_FALSE(slot.hasCharMap);
  EXPECT_EQ(slot.desS, "only");
}

// ---- Reading odd and hostile files ----

TEST(WordListParse, UnknownChunkBetweenKnownOnesIsSkipped) {
  test::SampleList sample = sampleList();
  QByteArray unknown;
  appendChunk(unknown, {4025, 100, 3, 6}, QByteArray(18, '\x7f'));
  Tsubl slot;
  TWordList list;
  const WlLoadResult r = parseList(sampleListFile(sample, 101, unknown), "gloss.wl", slot, list);
  EXPECT_EQ(r.missing, 0);
  EXPECT_TRUE(r.errors.isEmpty());
  expectSameList(slot, list, sample);
}

struct HostileCase {
  const char* name;
  QByteArray file;
  int missing;
  bool reportsError;
};

std::vector<HostileCase> hostileCases() {
  const test::SampleList sample = sampleList();
  const QByteArray good = sampleListFile(sample, 101);
  const QByteArray header = sample.slot.listHeader.encode();
  const QByteArray reserved(153, '\x01');
  const std::vector<FixtureEntry> entries{{"abc", 0, 0}, {"de", 1, 0}};
  const QByteArray table = test::entryTablePayload(entries);
  auto list = [&](auto&& addMiddle) {
    ChunkFileBuilder b(wltag::kListFile);
    b.chunk(1000, 101, 1, 40, header).chunk(1010, 101, 3, 51, reserved).chunk(1100, 101, 0, 1);
    addMiddle(b);
    return b.bytes();
  };
  QByteArray badFileHeader = good;
  badFileHeader[2] = 101;  // file header must be version 100

  return {
      {"empty file", QByteArray(), 6, true},
      {"wrong file tag", ChunkFileBuilder(wltag::kSelectionFile).bytes(), 6, true},
      {"file header of version 101", badFileHeader, 6, true},
      {"cut inside the file header", good.left(5), 6, true},
      {"cut inside the entry table", good.left(good.size() - 35), 2, true},
      {"cut inside the text chunk", good.left(good.size() - 2), 1, true},
      {"text chunk count past the end",
       list([&](ChunkFileBuilder& b) { b.chunk(4020, 100, 2, 6, table).rawChunk(4030, 100, 1000, 1, "abcde"); }), 1,
       true},
      {"negative entry count",
       list([&](ChunkFileBuilder& b) { b.rawChunk(4020, 100, -2, 6, table).chunk(4030, 100, 5, 1, "abcde"); }), 2,
       true},
      {"entry text past the text chunk",
       list([&](ChunkFileBuilder& b) { b.chunk(4020, 100, 2, 6, table).chunk(4030, 100, 4, 1, "abcd"); }), 1, true},
      {"entry table of version 101",
       list([&](ChunkFileBuilder& b) { b.chunk(4020, 101, 2, 6, table).chunk(4030, 100, 5, 1, "abcde"); }), 1, true},
      {"entries of the wrong size",
       list([&](ChunkFileBuilder& b) { b.chunk(4020, 100, 3, 4, table).chunk(4030, 100, 5, 1, "abcde"); }), 1, true},
      {"inverted XML above the limit",
       [&] {
         ChunkFileBuilder b(wltag::kListFile);
         b.chunk(1000, 101, 1, 40, header)
             .chunk(1010, 101, 3, 51, reserved)
             .chunk(1100, 101, 100002, 1, QByteArray(100002, ' '))
             .chunk(4020, 100, 2, 6, table)
             .chunk(4030, 100, 5, 1, "abcde");
         return b.bytes();
       }(),
       1, true},
      {"deeply nested XML", sampleListFile(sampleList(std::string(50000, '<') + "x"), 101), 0, true},
      // Well formed, but deep enough to stall a tree reader: refused like a parse error.
      {"XML nested 14000 levels deep",
       sampleListFile(sampleList([] {
                        std::string open, close;
                        for (int i = 0; i < 14000; ++i) open += "<a>", close += "</a>";
                        return open + "<id>deep</id>" + close;
                      }()),
                      101),
       0, true},
      {"more than 3 reserved records",
       [&] {
         ChunkFileBuilder b(wltag::kListFile);
         b.chunk(1000, 101, 1, 40, header)
             .chunk(1010, 101, 4, 51, QByteArray(204, '\x02'))
             .chunk(1100, 101, 0, 1)
             .chunk(4020, 100, 2, 6, table)
             .chunk(4030, 100, 5, 1, "abcde");
         return b.bytes();
       }(),
       1, true},
      {"short header record",
       [&] {
         ChunkFileBuilder b(wltag::kListFile);
         b.chunk(1000, 101, 1, 39, header.left(39))
             .chunk(1010, 101, 3, 51, reserved)
             .chunk(1100, 101, 0, 1)
             .chunk(4020, 100, 2, 6, table)
             .chunk(4030, 100, 5, 1, "abcde");
         return b.bytes();
       }(),
       1, true},
      {"malformed XML", sampleListFile(sampleList("<WL><id>x</i></WL>"), 101), 0, true},
      {"file header announces more chunks than there are",
       [&] {
         QByteArray f = good;
         f[8] = 50;
         return f;
       }(),
       0, false},
      {"file header announces fewer chunks", [&] {
         QByteArray f = good;
         f[8] = 3;
         return f;
       }(),
       2, false},
  };
}

TEST(WordListParse, HostileFilesGiveMissingPartsOrErrorsNeverACrash) {
  for (const HostileCase& tc : hostileCases()) {
    SCOPED_TRACE(tc.name);
    const QByteArray exact(tc.file.constData(), tc.file.size());
    Tsubl slot;
    TWordList list;
    const WlLoadResult r = parseList(exact, "h.wl", slot, list);
    EXPECT_EQ(r.missing, tc.missing) << r.errors.join("; ").toStdString();
    EXPECT_EQ(!r.errors.isEmpty(), tc.reportsError) << r.errors.join("; ").toStdString();
    EXPECT_EQ(slot.entryCount, list.count);
    EXPECT_FALSE(slot.id.isEmpty());
  }
}

TEST(WordListParse, EveryTruncationOfAFileIsHandled) {
  const QByteArray good = sampleListFile(sampleList(), 101);
  for (qsizetype n = 0; n < good.size(); ++n) {
    const QByteArray cut(good.constData(), n);
    Tsubl slot;
    TWordList list;
    const WlLoadResult r = parseList(cut, "t.wl", slot, list);
    ASSERT_GT(r.missing, 0) << "cut at " << n;
    for (const Twlistrec& e : list.entries) ASSERT_LE(e.text.size(), 255u);
    Tsubl header;
    parseListHeader(cut, "t.wl", header);
    // A rewrite either refuses or keeps the cut file's entries as they were.
    if (const auto rewritten = rewriteHeaderBytes(cut, slot)) {
      Tsubl again;
      TWordList listAgain;
      parseList(*rewritten, "t.wl", again, listAgain);
      EXPECT_EQ(listAgain.entries, list.entries) << "cut at " << n;
    }
  }
}

// ---- Small parts ----

TEST(WordListStore, GrowsInStepsOfAHundred) {
  TWordList list;
  list.reset(3);
  EXPECT_EQ(list.highIndex(), 2);
  list.ensureAllocated(2);
  EXPECT_EQ(list.highIndex(), 2);
  list.ensureAllocated(3);
  EXPECT_EQ(list.highIndex(), 102);
  list.ensureAllocated(350);
  EXPECT_EQ(list.highIndex(), 402);
  EXPECT_EQ(list.count, 3);
}

TEST(WordListDates, DaysCountFromTheLastDaysOf1899) {
  EXPECT_EQ(daysFromDateTime(QDateTime(QDate(1899, 12, 30), QTime(0, 0))), 0.0);
  EXPECT_EQ(daysFromDateTime(QDateTime(QDate(1900, 1, 1), QTime(18, 0))), 2.75);
  EXPECT_EQ(daysFromDateTime(QDateTime(QDate(1899, 12, 29), QTime(6, 0))), -1.25);
  EXPECT_EQ(dateTimeFromDays(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
  EXPECT_EQ(dateTimeFromDays(45000.5), QDateTime(QDate(2023, 3, 15), QTime(12, 0)));
  EXPECT_EQ(dateTimeFromDays(1.9999999999), QDateTime(QDate(1900, 1, 1), QTime(0, 0)));
  const QDateTime now = QDateTime::currentDateTime();
  EXPECT_LE(std::abs(dateTimeFromDays(daysFromDateTime(now)).msecsTo(now)), 1);
  EXPECT_FALSE(dateTimeFromDays(std::nan("")).isValid());
}

}  // namespace
}  // namespace kov
