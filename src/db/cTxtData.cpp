#include "db/cTxtData.h"

#include <QFile>

#include <algorithm>

#include "core/AtomicFile.h"
#include "core/FileLookup.h"
#include "db/ChunkHeader.h"

namespace kov {

namespace {

constexpr int kLevels = 3;

// One level of the index from its three nested chunks.
bool readLevel(ChunkWalker& walker, T2IDX& level, QString* error) {
  auto fail = [&](const QString& why) {
    if (error) *error = why;
    return false;
  };
  Chunk keys, lengths, entries;
  if (!walker.next(keys) || !walker.next(lengths) || !walker.next(entries))
    return fail(walker.failed() ? walker.error() : QStringLiteral("verse index cut off"));
  if (keys.header.tag != txttag::kKeys || lengths.header.tag != txttag::kLengths ||
      entries.header.tag != txttag::kEntries)
    return fail(QStringLiteral("verse index level at offset %1 is not keys, lengths and entries").arg(keys.offset));
  if (lengths.header.size != 1 || entries.header.size != 8)
    return fail(QStringLiteral("verse index level at offset %1 has records of the wrong size").arg(keys.offset));
  level.keys.assign(keys.payload.data(), std::size_t(keys.payload.size()));
  level.starts.clear();
  level.starts.reserve(std::size_t(lengths.payload.size()) + 1);
  std::int64_t start = 1;
  level.starts.push_back(1);
  for (qsizetype i = 0; i < lengths.payload.size(); ++i) {
    start += std::uint8_t(lengths.payload[i]);
    level.starts.push_back(std::int32_t(start));
  }
  level.entries.resize(std::size_t(entries.header.count));
  const char* p = entries.payload.data();
  for (auto& e : level.entries) {
    e.key = le::i32(p);
    e.link = le::i32(p + 4);
    p += 8;
  }
  return true;
}

}  // namespace

bool TtxtData::open(const QString& folder, const QString& file, QString* error) {
  open_ = false;
  const QString path = findNoCase(folder, file);
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    if (error) *error = path + QStringLiteral(" - not found!");
    return false;
  }
  if (!openBytes(f.readAll(), error)) {
    if (error) *error = path + QStringLiteral(": ") + *error;
    return false;
  }
  return true;
}

bool TtxtData::openBytes(QByteArray bytes, QString* error) {
  open_ = false;
  data_ = std::move(bytes);
  textStart_ = textSize_ = 0;
  header_ = TWlHeader{};
  xml_.clear();
  index_ = Tindexpos{};
  verseKeys_ = tbcvs{};
  readEnd_ = 0;
  auto fail = [&](const QString& why) {
    if (error) *error = why;
    return false;
  };

  ChunkWalker walker(data_);
  const std::optional<ChunkHeader> fileHeader = walker.readHeader();
  if (!fileHeader || fileHeader->tag != txttag::kFile || fileHeader->version != ChunkHeader::kPlain)
    return fail(QStringLiteral("not a verse-indexed text file"));
  bool haveText = false, haveIndex = false;
  for (int32_t i = 0; i < fileHeader->size && !walker.atEnd(); ++i) {
    const qsizetype at = walker.offset();
    const std::optional<ChunkHeader> h = walker.readHeader();
    if (!h) break;
    if (h->tag < 0) {
      // Headers with the top bit set are followed by count x size nested chunks.
      const int64_t nested = h->payloadSize();
      if (nested < 0) return fail(QStringLiteral("chunk %1 at offset %2 has a negative count").arg(h->tag).arg(at));
      if (h->tag == txttag::kIndex) {
        if (h->count != kLevels || nested != kLevels * 3)
          return fail(QStringLiteral("verse index of %1 x %2 parts, expected 3 levels of 3").arg(h->count).arg(h->size));
        T2IDX levels[kLevels];
        QString why;
        for (T2IDX& level : levels)
          if (!readLevel(walker, level, &why)) return fail(why);
        std::string bad;
        if (!index_.setLevels(std::move(levels[0]), std::move(levels[1]), std::move(levels[2]), &bad))
          return fail(QStringLiteral("verse index: ") + QString::fromStdString(bad));
        haveIndex = true;
      } else {
        Chunk skipped;
        for (int64_t k = 0; k < nested && walker.next(skipped); ++k) {
        }
      }
      continue;
    }
    walker = ChunkWalker(data_, at);
    Chunk c;
    if (!walker.next(c)) break;
    switch (c.header.tag) {
      case txttag::kHeaderRecord:
        if (c.payload.size() >= TWlHeader::kSize) {
          if (const auto p = decodePayload(c)) header_ = TWlHeader::decode(p->constData());
        }
        break;
      case txttag::kXmlHeader:
        if (const auto p = decodePayload(c)) xml_ = p->toStdString();
        break;
      case txttag::kText:
        textStart_ = c.payload.data() - data_.constData();
        textSize_ = c.payload.size();
        haveText = true;
        break;
      default:
        break;
    }
  }
  if (walker.failed()) return fail(walker.error());
  if (!haveIndex) return fail(QStringLiteral("no verse index"));
  if (!haveText) return fail(QStringLiteral("no text block"));
  open_ = true;
  return true;
}

bool TtxtData::gotoVerse(const tbcvs& keys) {
  if (!open_) return false;
  const std::int32_t offset = index_.find(keys);
  if (offset < 0) return false;
  readEnd_ = offset;
  return true;
}

std::string TtxtData::readVerse() {
  if (!open_) return {};
  verseKeys_ = index_.currentKeys();
  index_.stepSaved(1);
  const auto clampToText = [&](std::int64_t v) { return std::clamp<std::int64_t>(v, 0, textSize_); };
  const std::int64_t from = clampToText(readEnd_);
  const std::int64_t to = std::max(from, clampToText(index_.offset()));
  readEnd_ = std::int32_t(to);
  return std::string(data_.constData() + textStart_ + from, std::size_t(to - from));
}

// ---- Writing ----

namespace {

bool appendLevel(QByteArray& out, const std::vector<std::string>& keys, const std::vector<std::int32_t>& links,
                 QString* error) {
  const T2IDX level = T2IDX::make(keys, links);
  QByteArray lengths;
  for (const std::string& k : keys) {
    if (k.size() > 255) {
      if (error) *error = QStringLiteral("index key of %1 bytes, at most 255").arg(k.size());
      return false;
    }
    lengths.append(char(k.size()));
  }
  QByteArray entries;
  for (const T2IDX::Entry& e : level.entries) {
    le::putI32(entries, e.key);
    le::putI32(entries, e.link);
  }
  appendChunk(out, {txttag::kKeys, ChunkHeader::kPlain, int32_t(level.keys.size()), 1},
              QByteArrayView(level.keys.data(), qsizetype(level.keys.size())));
  appendChunk(out, {txttag::kLengths, ChunkHeader::kPlain, int32_t(lengths.size()), 1}, lengths);
  appendChunk(out, {txttag::kEntries, ChunkHeader::kPlain, int32_t(level.entries.size()), 8}, entries);
  return true;
}

}  // namespace

std::optional<QByteArray> buildVerseTextFile(const std::vector<TVerseText>& verses, const std::string& xml,
                                             const TWlHeader& header, QString* error) {
  std::vector<std::string> bookKeys, chapterKeys, verseKeys;
  std::vector<std::int32_t> bookLinks, chapterLinks, verseLinks;
  std::string text;
  for (std::size_t v = 0; v < verses.size(); ++v) {
    const tbcvs& k = verses[v].keys;
    const bool newBook = v == 0 || k.book != verses[v - 1].keys.book;
    if (newBook) {
      bookKeys.push_back(k.book);
      bookLinks.push_back(std::int32_t(chapterKeys.size()));
    }
    if (newBook || k.chapter != verses[v - 1].keys.chapter) {
      chapterKeys.push_back(k.chapter);
      chapterLinks.push_back(std::int32_t(verseKeys.size()));
    }
    if (text.size() + verses[v].text.size() > std::size_t(INT32_MAX)) {
      if (error) *error = QStringLiteral("text block over 2 GB");
      return std::nullopt;
    }
    verseKeys.push_back(k.verse);
    verseLinks.push_back(std::int32_t(text.size()));
    text += verses[v].text;
  }
  // Closing entries: each points past the last entry of the level below.
  bookKeys.emplace_back();
  bookLinks.push_back(std::int32_t(chapterKeys.size()));
  chapterKeys.emplace_back();
  chapterLinks.push_back(std::int32_t(verseKeys.size()));
  verseKeys.emplace_back();
  verseLinks.push_back(std::int32_t(text.size()));

  QByteArray out;
  ChunkHeader{txttag::kFile, ChunkHeader::kPlain, 1, 5}.appendTo(out);
  appendChunk(out, {txttag::kHeaderRecord, ChunkHeader::kInverted, 1, TWlHeader::kSize}, header.encode());
  appendChunk(out, {txttag::kReserved, ChunkHeader::kInverted, 0, kReservedRecordSize});
  if (qsizetype(xml.size()) > ChunkHeader::kMaxInvertedPayload) {
    if (error) *error = QStringLiteral("header XML too long");
    return std::nullopt;
  }
  appendChunk(out, {txttag::kXmlHeader, ChunkHeader::kInverted, int32_t(xml.size()), 1},
              QByteArrayView(xml.data(), qsizetype(xml.size())));
  appendChunk(out, {txttag::kText, ChunkHeader::kPlain, int32_t(text.size()), 1},
              QByteArrayView(text.data(), qsizetype(text.size())));
  ChunkHeader{txttag::kIndex, ChunkHeader::kPlain, kLevels, 3}.appendTo(out);
  if (!appendLevel(out, bookKeys, bookLinks, error) || !appendLevel(out, chapterKeys, chapterLinks, error) ||
      !appendLevel(out, verseKeys, verseLinks, error))
    return std::nullopt;
  return out;
}

bool writeVerseTextFile(const QString& path, const std::vector<TVerseText>& verses, const std::string& xml,
                        QString* error) {
  const std::optional<QByteArray> bytes = buildVerseTextFile(verses, xml, TWlHeader{}, error);
  return bytes && writeFileAtomic(path, *bytes, error);
}

}  // namespace kov
