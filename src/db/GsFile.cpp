#include "db/GsFile.h"
#include "db/XmlLimits.h"

#include <QDomDocument>
#include <QDomElement>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include "core/AtomicFile.h"
#include "db/ChunkHeader.h"

namespace kov {

namespace {


QDomElement firstElement(const QDomDocument& doc, const QString& name) {
  const QDomNodeList nodes = doc.elementsByTagName(name);
  return nodes.isEmpty() ? QDomElement() : nodes.item(0).toElement();
}

// The child elements of `parent`, in order, read by position.
std::vector<QString> childTexts(const QDomElement& parent) {
  std::vector<QString> out;
  for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) out.push_back(e.text());
  return out;
}

std::optional<QDomDocument> parseXml(const QByteArray& xml, QStringList* errors) {
  if (xmlNestedTooDeep(xml)) {
    if (errors) errors->append(QStringLiteral("book table XML nests deeper than %1 levels").arg(kMaxXmlDepth));
    return std::nullopt;
  }
  QDomDocument doc;
  QString message;
  int line = 0, column = 0;
  if (!doc.setContent(xml, &message, &line, &column)) {
    if (errors)
      errors->append(QStringLiteral("book table XML does not parse (line %1, column %2: %3)")
                         .arg(line)
                         .arg(column)
                         .arg(message));
    return std::nullopt;
  }
  return doc;
}

}  // namespace

void parseGsXml(const QByteArray& xml, TGsContent& out, QStringList* errors) {
  out.books = TbookTable{};
  out.variants.clear();
  out.ont.clear();
  const std::optional<QDomDocument> doc = parseXml(xml, errors);
  if (!doc) return;

  const QDomElement books = firstElement(*doc, QStringLiteral("BOOKS"));
  int nr = 0;
  for (QDomElement b = books.firstChildElement(); !b.isNull(); b = b.nextSiblingElement()) {
    ++nr;
    const std::vector<QString> f = childTexts(b);
    auto field = [&](std::size_t i) { return i < f.size() ? f[i].trimmed() : QString(); };
    if (f.size() < 5 && errors)
      errors->append(QStringLiteral("book %1 has %2 of its 5 fields").arg(nr).arg(f.size()));
    Tbk_rec rec;
    rec.Bks = field(0).toStdString();
    rec.Bkn = field(1).toStdString();
    rec.Bka = field(2).left(5).toStdString();
    bool ok = false;
    const int chapters = field(3).toInt(&ok);
    if (ok && chapters >= 0 && chapters <= 255)
      rec.chapters = std::uint8_t(chapters);
    else if (errors && f.size() > 3)
      errors->append(QStringLiteral("book %1: chapter count \"%2\" is not a number 0..255").arg(nr).arg(field(3)));
    rec.testament = field(4) == QStringLiteral("OT") ? 'A' : 'B';
    out.books.books.push_back(std::move(rec));
  }

  const QDomElement variants = firstElement(*doc, QStringLiteral("VARIANTS"));
  for (QDomElement v = variants.firstChildElement(); !v.isNull(); v = v.nextSiblingElement()) {
    if (int(out.variants.size()) == TGsContent::kMaxVariants) {
      if (errors) errors->append(QStringLiteral("more than %1 variant readings").arg(TGsContent::kMaxVariants));
      break;
    }
    const std::vector<QString> f = childTexts(v);
    TvariantInfo info;
    if (!f.empty()) info.code = f[0].trimmed();
    if (f.size() > 1) info.description = f[1].trimmed();
    out.books.variantNames.append(info.nameLine());
    out.variants.push_back(std::move(info));
  }
  out.ont = firstElement(*doc, QStringLiteral("ONT")).text().trimmed();
}

GsReadResult parseGs(QByteArrayView bytes, TGsContent& out) {
  out = TGsContent{};
  GsReadResult result;
  ChunkWalker walker(bytes);
  const std::optional<ChunkHeader> fileHeader = walker.readHeader();
  if (!fileHeader || fileHeader->tag != gstag::kFile || fileHeader->version != ChunkHeader::kPlain) {
    result.errors.append(QStringLiteral("not a .gs file"));
    return result;
  }
  result.valid = true;
  Chunk c;
  for (int32_t i = 0; i < fileHeader->size && walker.next(c); ++i) {
    const ChunkHeader& h = c.header;
    auto wrongSize = [&](int expected) {
      result.errors.append(QStringLiteral("chunk %1 at offset %2: records of %3 bytes, expected %4")
                               .arg(h.tag)
                               .arg(c.offset)
                               .arg(h.size)
                               .arg(expected));
    };
    switch (h.tag) {
      case gstag::kXml:
        // Stored plain whatever its version says.
        parseGsXml(c.payload.toByteArray(), out, &result.errors);
        out.hasXml = true;
        break;
      case gstag::kStream: {
        if (h.size != 2) {
          wrongSize(2);
          break;
        }
        out.stream.resize(std::size_t(h.count));
        const char* p = c.payload.data();
        for (int32_t k = 0; k < h.count; ++k, p += 2) out.stream[std::size_t(k)] = le::u16(p);
        out.hasStream = true;
        break;
      }
      case gstag::kChapters: {
        if (h.size != 7) {
          wrongSize(7);
          break;
        }
        out.chapters.resize(std::size_t(h.count));
        const auto* p = reinterpret_cast<const unsigned char*>(c.payload.data());
        for (int32_t k = 0; k < h.count; ++k, p += 7)
          out.chapters[std::size_t(k)] = Tch_rec{p[0], p[1], p[2], le::i32(reinterpret_cast<const char*>(p + 3))};
        out.hasChapters = true;
        break;
      }
      default:
        break;
    }
  }
  if (walker.failed()) result.errors.append(walker.error());
  return result;
}

QString ontOf(QByteArrayView bytes) {
  ChunkWalker walker(bytes);
  const std::optional<ChunkHeader> fileHeader = walker.readHeader();
  if (!fileHeader || fileHeader->tag != gstag::kFile || fileHeader->version != ChunkHeader::kPlain) return {};
  Chunk c;
  for (int32_t i = 0; i < fileHeader->size && walker.next(c); ++i) {
    if (c.header.tag != gstag::kXml) continue;
    TGsContent content;
    parseGsXml(c.payload.toByteArray(), content, nullptr);
    return content.ont;
  }
  return {};
}

QByteArray gsXml(const TGsContent& content) {
  QByteArray xml;
  QXmlStreamWriter w(&xml);
  w.writeStartDocument();
  w.writeStartElement(QStringLiteral("GS"));
  w.writeStartElement(QStringLiteral("BOOKS"));
  for (const Tbk_rec& b : content.books.books) {
    w.writeStartElement(QStringLiteral("BOOK"));
    w.writeTextElement(QStringLiteral("code"), QString::fromStdString(b.Bks));
    w.writeTextElement(QStringLiteral("name"), QString::fromStdString(b.Bkn));
    w.writeTextElement(QStringLiteral("abbr"), QString::fromStdString(b.Bka));
    w.writeTextElement(QStringLiteral("chapters"), QString::number(b.chapters));
    w.writeTextElement(QStringLiteral("testament"), b.testament == 'A' ? QStringLiteral("OT") : QStringLiteral("NT"));
    w.writeEndElement();
  }
  w.writeEndElement();
  w.writeStartElement(QStringLiteral("VARIANTS"));
  for (const TvariantInfo& v : content.variants) {
    w.writeStartElement(QStringLiteral("VARIANT"));
    w.writeTextElement(QStringLiteral("code"), v.code);
    w.writeTextElement(QStringLiteral("desc"), v.description);
    w.writeEndElement();
  }
  w.writeEndElement();
  w.writeTextElement(QStringLiteral("ONT"), content.ont);
  w.writeEndElement();
  w.writeEndDocument();
  return xml;
}

std::optional<QByteArray> buildGsFile(const TGsContent& content, QString* error) {
  auto fail = [&](const QString& why) {
    if (error) *error = why;
    return std::nullopt;
  };
  if (int(content.variants.size()) > TGsContent::kMaxVariants)
    return fail(QStringLiteral("%1 variant readings, at most %2").arg(content.variants.size()).arg(TGsContent::kMaxVariants));
  if (content.stream.size() > std::size_t(INT32_MAX / 2)) return fail(QStringLiteral("word stream too long"));
  if (content.chapters.size() > std::size_t(TCalcpos::MaxChapterRecords))
    return fail(QStringLiteral("%1 chapter records, at most %2").arg(content.chapters.size()).arg(TCalcpos::MaxChapterRecords));
  const QByteArray xml = gsXml(content);

  QByteArray out;
  out.reserve(qsizetype(48 + xml.size() + 2 * qsizetype(content.stream.size()) + 7 * qsizetype(content.chapters.size())));
  ChunkHeader{gstag::kFile, ChunkHeader::kPlain, 1, 3}.appendTo(out);
  appendChunk(out, {gstag::kXml, ChunkHeader::kPlain, int32_t(xml.size()), 1}, xml);
  ChunkHeader{gstag::kStream, ChunkHeader::kPlain, int32_t(content.stream.size()), 2}.appendTo(out);
  for (std::uint16_t cell : content.stream) le::putU16(out, cell);
  ChunkHeader{gstag::kChapters, ChunkHeader::kPlain, int32_t(content.chapters.size()), 7}.appendTo(out);
  for (const Tch_rec& r : content.chapters) {
    le::putU8(out, r.book);
    le::putU8(out, r.chapter);
    le::putU8(out, r.verses);
    le::putI32(out, r.position);
  }
  return out;
}

bool writeGsFile(const QString& path, const TGsContent& content, QString* error) {
  const std::optional<QByteArray> bytes = buildGsFile(content, error);
  return bytes && writeFileAtomic(path, *bytes, error);
}

}  // namespace kov
