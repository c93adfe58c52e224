#include "db/ChunkHeader.h"

namespace kov {

int64_t ChunkHeader::payloadSize() const {
  if (count < 0 || size < 0) return -1;
  return int64_t(count) * int64_t(size);
}

ChunkHeader ChunkHeader::read(const char* p) {
  ChunkHeader h;
  h.tag = le::i16(p);
  h.version = le::u16(p + 2);
  h.count = le::i32(p + 4);
  h.size = le::i32(p + 8);
  return h;
}

void ChunkHeader::appendTo(QByteArray& out) const {
  le::putI16(out, tag);
  le::putU16(out, version);
  le::putI32(out, count);
  le::putI32(out, size);
}

QByteArray invertedBytes(QByteArrayView bytes) {
  QByteArray out(bytes.size(), Qt::Uninitialized);
  for (qsizetype i = 0; i < bytes.size(); ++i) out[i] = char(~uchar(bytes[i]));
  return out;
}

void appendChunk(QByteArray& out, const ChunkHeader& header, QByteArrayView payload) {
  header.appendTo(out);
  if (header.isInverted())
    out.append(invertedBytes(payload));
  else
    out.append(payload);
}

std::optional<QByteArray> decodePayload(const Chunk& chunk, QString* error) {
  if (!chunk.header.isInverted()) return chunk.payload.toByteArray();
  if (chunk.payload.size() > ChunkHeader::kMaxInvertedPayload) {
    if (error)
      *error = QStringLiteral("chunk %1 at offset %2: inverted payload of %3 bytes exceeds %4")
                   .arg(chunk.header.tag)
                   .arg(chunk.offset)
                   .arg(chunk.payload.size())
                   .arg(ChunkHeader::kMaxInvertedPayload);
    return std::nullopt;
  }
  return invertedBytes(chunk.payload);
}

ChunkWalker::ChunkWalker(QByteArrayView data, qsizetype offset) : data_(data), pos_(offset) {
  if (pos_ < 0 || pos_ > data_.size())
    error_ = QStringLiteral("start offset %1 outside a buffer of %2 bytes").arg(offset).arg(data_.size());
}

std::optional<ChunkHeader> ChunkWalker::readHeader() {
  if (failed()) return std::nullopt;
  if (data_.size() - pos_ < ChunkHeader::kSize) {
    error_ = QStringLiteral("chunk header at offset %1 is cut off (%2 bytes left)")
                 .arg(pos_)
                 .arg(data_.size() - pos_);
    return std::nullopt;
  }
  const ChunkHeader h = ChunkHeader::read(data_.data() + pos_);
  pos_ += ChunkHeader::kSize;
  return h;
}

bool ChunkWalker::next(Chunk& out) {
  if (failed() || atEnd()) return false;
  const qsizetype start = pos_;
  const std::optional<ChunkHeader> h = readHeader();
  if (!h) return false;
  const int64_t payload = h->payloadSize();
  if (payload < 0) {
    error_ = QStringLiteral("chunk %1 at offset %2 has a negative count (%3) or size (%4)")
                 .arg(h->tag)
                 .arg(start)
                 .arg(h->count)
                 .arg(h->size);
    pos_ = start;
    return false;
  }
  const int64_t left = int64_t(data_.size() - pos_);
  if (payload > left) {
    error_ = QStringLiteral("chunk %1 at offset %2: payload of %3 x %4 bytes runs past the end (%5 bytes left)")
                 .arg(h->tag)
                 .arg(start)
                 .arg(h->count)
                 .arg(h->size)
                 .arg(left);
    pos_ = start;
    return false;
  }
  out.header = *h;
  out.offset = start;
  out.payload = data_.sliced(pos_, qsizetype(payload));
  pos_ += qsizetype(payload);
  return true;
}

}  // namespace kov
