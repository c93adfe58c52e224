#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <cstring>
#include <optional>

namespace kov {

// Little-endian field access for the binary database files. Callers check bounds first.
namespace le {
inline uint16_t u16(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return uint16_t(b[0] | (b[1] << 8));
}
inline int16_t i16(const char* p) { return int16_t(u16(p)); }
inline uint32_t u32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
}
inline int32_t i32(const char* p) { return int32_t(u32(p)); }
inline uint64_t u64(const char* p) { return uint64_t(u32(p)) | (uint64_t(u32(p + 4)) << 32); }
inline double f64(const char* p) {
  const uint64_t bits = u64(p);
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

inline void putU8(QByteArray& out, uint8_t v) { out.append(char(v)); }
inline void putU16(QByteArray& out, uint16_t v) {
  out.append(char(v & 0xFF));
  out.append(char(v >> 8));
}
inline void putI16(QByteArray& out, int16_t v) { putU16(out, uint16_t(v)); }
inline void putU32(QByteArray& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.append(char((v >> (8 * i)) & 0xFF));
}
inline void putI32(QByteArray& out, int32_t v) { putU32(out, uint32_t(v)); }
inline void putF64(QByteArray& out, double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  putU32(out, uint32_t(bits));
  putU32(out, uint32_t(bits >> 32));
}
}  // namespace le

// The 12-byte header that introduces every chunk of the database's binary files.
// A file starts with a file-header chunk (count 1, size = number of chunks that follow,
// no payload); each other chunk's payload of count x size bytes follows its header.
struct ChunkHeader {
  static constexpr qsizetype kSize = 12;
  static constexpr uint16_t kPlain = 100;
  static constexpr uint16_t kInverted = 101;  // payload stored with every bit flipped
  static constexpr qsizetype kMaxInvertedPayload = 100001;

  int16_t tag = 0;
  uint16_t version = kPlain;
  int32_t count = 0;
  int32_t size = 0;

  bool isInverted() const { return version == kInverted; }
  // count x size, or -1 when either is negative. Never overflows (64-bit product).
  int64_t payloadSize() const;

  // Reads the 12 bytes at p (the caller has checked that they exist).
  static ChunkHeader read(const char* p);
  void appendTo(QByteArray& out) const;
};

// Every byte with its bits flipped (the stored form of a version-101 payload, and back).
QByteArray invertedBytes(QByteArrayView bytes);

// Appends the header and then the payload, inverted when the header says version 101.
// The payload is appended as given; the caller keeps count x size equal to its length.
void appendChunk(QByteArray& out, const ChunkHeader& header, QByteArrayView payload = {});

// One chunk found by the walker: its header, where the header starts, and the payload
// as stored (still inverted for version 101; see decodePayload).
struct Chunk {
  ChunkHeader header;
  qsizetype offset = 0;
  QByteArrayView payload;

  qsizetype end() const { return offset + ChunkHeader::kSize + payload.size(); }
};

// The payload as the writer meant it: inverted back for version 101. Fails (nullopt and
// *error) for an inverted payload above kMaxInvertedPayload bytes, which no writer makes.
std::optional<QByteArray> decodePayload(const Chunk& chunk, QString* error = nullptr);

// Walks chunks in a byte buffer without ever reading past its end. A header that is cut
// off, a negative count or size, or a payload that runs past the end stops the walk with
// an error; the chunks returned before it stay valid. The buffer must outlive the walker.
class ChunkWalker {
 public:
  explicit ChunkWalker(QByteArrayView data, qsizetype offset = 0);

  // Reads the header at the current place and steps over the header only: for file
  // headers and for headers whose nested chunks follow them directly.
  std::optional<ChunkHeader> readHeader();
  // Reads a header with its payload and steps past both. False at the clean end of the
  // buffer, or when the chunk is malformed (then failed() is true and error() says why).
  bool next(Chunk& out);

  bool atEnd() const { return pos_ >= data_.size(); }
  bool failed() const { return !error_.isEmpty(); }
  const QString& error() const { return error_; }
  qsizetype offset() const { return pos_; }
  QByteArrayView data() const { return data_; }

 private:
  QByteArrayView data_;
  qsizetype pos_ = 0;
  QString error_;
};

}  // namespace kov
