#include <gtest/gtest.h>

#include "db/ChunkHeader.h"

namespace kov {
namespace {

TEST(ChunkHeader, WritesLittleEndianFieldsAndReadsThemBack) {
  QByteArray out;
  ChunkHeader{-4000, 101, 1, 40}.appendTo(out);
  ASSERT_EQ(out.size(), 12);
  EXPECT_EQ(out.toHex(), QByteArray("60f0650001000000" "28000000"));
  const ChunkHeader h = ChunkHeader::read(out.constData());
  EXPECT_EQ(h.tag, -4000);
  EXPECT_EQ(h.version, 101);
  EXPECT_EQ(h.count, 1);
  EXPECT_EQ(h.size, 40);
}

TEST(ChunkHeader, InvertedPayloadIsStoredFlippedAndDecodedBack) {
  QByteArray file;
  appendChunk(file, {1100, ChunkHeader::kInverted, 3, 1}, "ab\xff");
  EXPECT_EQ(file.mid(12).toHex(), QByteArray("9e9d00"));

  ChunkWalker walker(file);
  Chunk c;
  ASSERT_TRUE(walker.next(c));
  EXPECT_EQ(decodePayload(c).value(), QByteArray("ab\xff"));
  EXPECT_FALSE(walker.next(c));
  EXPECT_FALSE(walker.failed());
}

TEST(ChunkHeader, InvertedPayloadAboveTheLimitIsRefused) {
  const QByteArray big(ChunkHeader::kMaxInvertedPayload + 1, 'x');
  QByteArray file;
  appendChunk(file, {1100, ChunkHeader::kInverted, int32_t(big.size()), 1}, big);
  appendChunk(file, {1100, ChunkHeader::kPlain, int32_t(big.size()), 1}, big);
  ChunkWalker walker(file);
  Chunk c;
  ASSERT_TRUE(walker.next(c));
  QString error;
  EXPECT_FALSE(decodePayload(c, &error).has_value());
  EXPECT_FALSE(error.isEmpty());
  ASSERT_TRUE(walker.next(c));  // a plain payload has no such limit
  EXPECT_EQ(decodePayload(c)->size(), big.size());
}

TEST(ChunkWalker, WalksPayloadsInOrderAndDescendsIntoNestedHeaders) {
  QByteArray file;
  ChunkHeader{-2100, 100, 2, 0}.appendTo(file);  // a level header whose chunks follow directly
  appendChunk(file, {2110, 100, 2, 3}, "abcdef");
  appendChunk(file, {2120, 100, 0, 8});
  appendChunk(file, {2130, 100, 1, 1}, "z");

  ChunkWalker walker(file);
  const auto level = walker.readHeader();
  ASSERT_TRUE(level);
  EXPECT_EQ(level->tag, -2100);
  EXPECT_EQ(walker.offset(), 12);
  Chunk c;
  std::vector<std::pair<int, QByteArray>> seen;
  while (walker.next(c)) seen.emplace_back(c.header.tag, c.payload.toByteArray());
  EXPECT_FALSE(walker.failed()) << walker.error().toStdString();
  EXPECT_TRUE(walker.atEnd());
  const std::vector<std::pair<int, QByteArray>> expected{{2110, "abcdef"}, {2120, ""}, {2130, "z"}};
  EXPECT_EQ(seen, expected);
}

// Each hostile chunk must stop the walk with an error after the good chunk before it,
// and leave the walker where the bad chunk starts. ASan catches any read past the buffer.
TEST(ChunkWalker, StopsCleanlyOnHostileChunks) {
  struct Case {
    const char* name;
    QByteArray bad;
  };
  auto header = [](int32_t count, int32_t size, QByteArrayView tail = {}) {
    QByteArray b;
    ChunkHeader{4020, 100, count, size}.appendTo(b);
    return b + tail.toByteArray();
  };
  const std::vector<Case> cases{
      {"header cut off", header(1, 1).left(7)},
      {"count past the end", header(10, 1, "abc")},
      {"size past the end", header(1, 10, "abc")},
      {"negative count", header(-1, 6, "abcdef")},
      {"negative size", header(2, -3, "abcdef")},
      {"count x size overflows 32 bits", header(0x10000, 0x10001, "abc")},
      {"count x size at the 64-bit edge", header(INT32_MAX, INT32_MAX, "abc")},
      {"minimum count", header(INT32_MIN, 1)},
  };
  for (const Case& tc : cases) {
    SCOPED_TRACE(tc.name);
    QByteArray file;
    appendChunk(file, {1000, 100, 1, 2}, "ok");
    const qsizetype badAt = file.size();
    file += tc.bad;
    // A copy whose buffer ends exactly at the last byte, so an overread is caught.
    const QByteArray exact(file.constData(), file.size());
    ChunkWalker walker(exact);
    Chunk c;
    ASSERT_TRUE(walker.next(c));
    EXPECT_EQ(c.payload.toByteArray(), QByteArray("ok"));
    EXPECT_FALSE(walker.next(c));
    EXPECT_TRUE(walker.failed());
    EXPECT_FALSE(walker.error().isEmpty());
    EXPECT_EQ(walker.offset(), badAt);
    EXPECT_FALSE(walker.next(c));  // stays stopped
  }
}

TEST(ChunkWalker, EmptyBufferEndsWithoutError) {
  ChunkWalker walker(QByteArrayView{});
  Chunk c;
  EXPECT_FALSE(walker.next(c));
  EXPECT_FALSE(walker.failed());
  EXPECT_FALSE(walker.readHeader().has_value());
  EXPECT_TRUE(walker.failed());
}

}  // namespace
}  // namespace kov
