#include "support/WordListFixtures.h"

namespace kov::test {

ChunkFileBuilder& ChunkFileBuilder::chunk(int16_t tag, uint16_t version, int32_t count, int32_t size,
                                          QByteArrayView payload) {
  appendChunk(body_, ChunkHeader{tag, version, count, size}, payload);
  ++chunks_;
  return *this;
}

ChunkFileBuilder& ChunkFileBuilder::rawChunk(int16_t tag, uint16_t version, int32_t count, int32_t size,
                                             QByteArrayView bytes) {
  ChunkHeader{tag, version, count, size}.appendTo(body_);
  body_.append(bytes);
  ++chunks_;
  return *this;
}

ChunkFileBuilder& ChunkFileBuilder::completeChunk(QByteArrayView bytes) {
  body_.append(bytes);
  ++chunks_;
  return *this;
}

ChunkFileBuilder& ChunkFileBuilder::announce(int32_t chunks) {
  announced_ = chunks;
  return *this;
}

QByteArray ChunkFileBuilder::bytes() const {
  QByteArray out;
  ChunkHeader{fileTag_, ChunkHeader::kPlain, 1, announced_ >= 0 ? announced_ : chunks_}.appendTo(out);
  return out + body_;
}

QByteArray entryTablePayload(const std::vector<FixtureEntry>& entries) {
  QByteArray out;
  for (const FixtureEntry& e : entries) {
    le::putU8(out, uint8_t(e.text.size()));
    le::putI32(out, e.next);
    le::putU8(out, e.flags);
  }
  return out;
}

QByteArray entryTextPayload(const std::vector<FixtureEntry>& entries) {
  QByteArray out;
  for (const FixtureEntry& e : entries) out.append(e.text.data(), qsizetype(e.text.size()));
  return out;
}

SampleList sampleList(const std::string& xml) {
  SampleList s;
  s.slot.fileName = QStringLiteral("gloss.wl");
  s.slot.listHeader.reserved1 = 7;
  s.slot.listHeader.verData = TVerData{1, 2, 3, 4};
  s.slot.listHeader.dateCreate = 40000.25;
  s.slot.listHeader.dateModify = 45000.5;
  for (int r = 0; r < kReservedRecordCount; ++r)
    for (int b = 0; b < kReservedRecordSize; ++b) s.slot.reserved[size_t(r)][size_t(b)] = uint8_t(r * 60 + b);
  s.slot.rawHeader = xml;
  s.list.reset(3);
  s.list.entries[0] = {32, 1, "word"};
  s.list.entries[1] = {0, 0, "speech"};
  s.list.entries[2] = {0, 2, "light"};
  return s;
}

QByteArray sampleListFile(const SampleList& sample, uint16_t headerVersion, QByteArrayView extra) {
  std::vector<FixtureEntry> entries;
  for (int32_t k = 0; k < sample.list.count; ++k) {
    const Twlistrec& e = sample.list.entries[size_t(k)];
    entries.push_back({e.text, e.next, e.flags});
  }
  QByteArray reserved;
  for (const TReservedRecord& r : sample.slot.reserved)
    reserved.append(reinterpret_cast<const char*>(r.data()), qsizetype(r.size()));
  const std::string& xml = sample.slot.rawHeader;
  const QByteArray table = entryTablePayload(entries);
  const QByteArray texts = entryTextPayload(entries);

  ChunkFileBuilder b(wltag::kListFile);
  b.chunk(wltag::kHeaderRecord, headerVersion, 1, 40, sample.slot.listHeader.encode())
      .chunk(wltag::kReserved, headerVersion, 3, 51, reserved)
      .chunk(wltag::kXmlHeader, headerVersion, int32_t(xml.size()), 1,
             QByteArrayView(xml.data(), qsizetype(xml.size())));
  if (!extra.isEmpty()) b.completeChunk(extra);
  b.chunk(wltag::kEntries, ChunkHeader::kPlain, int32_t(entries.size()), 6, table)
      .chunk(wltag::kTexts, ChunkHeader::kPlain, int32_t(texts.size()), 1, texts);
  return b.bytes();
}

}  // namespace kov::test
