#include "db/cWordList.h"
#include "db/XmlLimits.h"

#include <QDomDocument>
#include <QDomElement>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstring>

#include "core/AtomicFile.h"
#include "core/FileLookup.h"
#include "db/ChunkHeader.h"

namespace kov {

// ---- Records ----

QByteArray TWlHeader::encode() const {
  QByteArray out;
  out.reserve(kSize);
  le::putU32(out, reserved1);
  le::putU32(out, reserved2);
  le::putI32(out, verData.nMajor);
  le::putI32(out, verData.nMinor);
  le::putI32(out, verData.nRelease);
  le::putI32(out, verData.nBuild);
  le::putF64(out, dateCreate);
  le::putF64(out, dateModify);
  return out;
}

TWlHeader TWlHeader::decode(const char* p) {
  TWlHeader h;
  h.reserved1 = le::u32(p);
  h.reserved2 = le::u32(p + 4);
  h.verData.nMajor = le::i32(p + 8);
  h.verData.nMinor = le::i32(p + 12);
  h.verData.nRelease = le::i32(p + 16);
  h.verData.nBuild = le::i32(p + 20);
  h.dateCreate = le::f64(p + 24);
  h.dateModify = le::f64(p + 32);
  return h;
}

void TWordList::clear() {
  entries.clear();
  count = 0;
}

void TWordList::reset(int32_t m) {
  entries.assign(size_t(std::max(m, 0)), Twlistrec{});
  count = std::max(m, 0);
}

void TWordList::ensureAllocated(int32_t index) {
  if (index <= highIndex()) return;
  const int64_t needed = int64_t(index) + 1 - int64_t(entries.size());
  const int64_t steps = (needed + kGrowth - 1) / kGrowth;
  entries.resize(entries.size() + size_t(steps * kGrowth));
}

// ---- XML header ----

namespace {

QString firstElementText(const QDomDocument& doc, const QString& name) {
  const QDomNodeList nodes = doc.elementsByTagName(name);
  return nodes.isEmpty() ? QString() : nodes.item(0).toElement().text();
}

// An integer field: 0 when absent or empty; a text that is not an integer is reported.
int32_t headerInteger(const QString& text, const char* field, QStringList* errors) {
  const QString t = text.trimmed();
  if (t.isEmpty()) return 0;
  bool ok = false;
  const int value = t.toInt(&ok);
  if (!ok) {
    if (errors)
      errors->append(QStringLiteral("malformed header: \"%1\" is not an integer (\"%2\")")
                         .arg(QLatin1String(field), t));
    return 0;
  }
  return value;
}

void clearXmlFields(Tsubl& slot) {
  slot.type.clear();
  slot.remap = 0;
  slot.rtl = false;
  slot.id.clear();
  slot.parsingList = 0;
  slot.charTableCount = 0;
  slot.charTableLabel1.clear();
  slot.charTableLabel2.clear();
  slot.charTableSource.clear();
  slot.charTableTarget.clear();
  slot.desS.clear();
  slot.helpFP.clear();
  slot.rights.clear();
  slot.lng.clear();
  slot.hasCharMap = false;
  slot.charMap = TCharMap{};
}

void readCharTable(const QDomDocument& doc, Tsubl& slot, QStringList* errors) {
  const QDomNodeList tables = doc.elementsByTagName(QStringLiteral("CHARTABLE"));
  if (tables.isEmpty()) return;
  const QDomElement countElement = tables.item(0).toElement().firstChildElement(QStringLiteral("count"));
  if (countElement.isNull()) return;
  slot.charTableCount = headerInteger(countElement.text(), "CHARTABLE count", errors);
  // The four elements after "count" are read by position, whatever their names.
  QString* fields[] = {&slot.charTableLabel1, &slot.charTableLabel2, &slot.charTableSource,
                       &slot.charTableTarget};
  QDomElement e = countElement.nextSiblingElement();
  for (QString* field : fields) {
    if (e.isNull()) break;
    *field = e.text();
    e = e.nextSiblingElement();
  }
}

void buildCharMap(Tsubl& slot) {
  const QString& source = slot.charTableSource;
  const QString& target = slot.charTableTarget;
  if (target.isEmpty()) return;
  if (source.size() != target.size()) {
    slot.remap = 0;  // a table whose halves do not line up cannot be trusted
    return;
  }
  slot.hasCharMap = true;
  for (qsizetype k = 0; k < source.size(); ++k) {
    const char16_t from = source[k].unicode();
    if (from == u' ' || from >= 256) continue;  // blanks are fillers; the map has 256 places
    slot.charMap[from].target = target[k].unicode();
  }
}


QString withoutExtension(const QString& fileName) {
  const QString name = QFileInfo(fileName).fileName();
  const qsizetype dot = name.lastIndexOf(u'.');
  return dot < 0 ? name : name.left(dot);
}

}  // namespace

void applyXmlHeader(Tsubl& slot, const std::string& rawXml, const QString& fileName, QStringList* errors) {
  clearXmlFields(slot);
  if (!rawXml.empty()) {
    const QByteArray xml = QByteArray::fromStdString(rawXml);
    QDomDocument doc;
    QString message;
    int line = 0;
    int column = 0;
    if (xmlNestedTooDeep(xml)) {
      if (errors)
        errors->append(QStringLiteral("header XML nests elements deeper than %1 levels").arg(kMaxXmlDepth));
    } else if (doc.setContent(xml, &message, &line, &column)) {
      slot.lng = firstElementText(doc, QStringLiteral("lng"));
      slot.id = firstElementText(doc, QStringLiteral("id"));
      slot.desS = firstElementText(doc, QStringLiteral("desS"));
      slot.helpFP = firstElementText(doc, QStringLiteral("helpFP"));
      slot.rights = firstElementText(doc, QStringLiteral("rights"));
      slot.type = firstElementText(doc, QStringLiteral("type"));
      slot.remap = headerInteger(firstElementText(doc, QStringLiteral("remap")), "remap", errors);
      slot.rtl = firstElementText(doc, QStringLiteral("rtl")).trimmed() == QStringLiteral("1");
      readCharTable(doc, slot, errors);
      if (slot.id.compare(QStringLiteral("P_WHM"), Qt::CaseInsensitive) == 0) slot.parsingList = 1;
      buildCharMap(slot);
    } else if (errors) {
      errors->append(QStringLiteral("header XML does not parse (line %1, column %2: %3)")
                         .arg(line)
                         .arg(column)
                         .arg(message));
    }
  }
  if (slot.id.isEmpty()) slot.id = withoutExtension(fileName);
}

// ---- Reading ----

namespace {

enum ListPart { kPartFile = 0, kPart1000, kPart1010, kPart1100, kPart4020, kPart4030 };

bool acceptsHeaderVersion(uint16_t version) {
  return version == ChunkHeader::kPlain || version == ChunkHeader::kInverted;
}

QString chunkError(const Chunk& c, const QString& what) {
  return QStringLiteral("chunk %1 at offset %2: %3").arg(c.header.tag).arg(c.offset).arg(what);
}

// The walk shared by the full load (list given) and the header-only load (list null).
WlLoadResult parseListChunks(QByteArrayView bytes, const QString& fileName, Tsubl& slot, TWordList* list) {
  WlLoadResult result;
  const int parts = list ? kListParts : kHeaderParts;
  unsigned found = 0;

  slot.listHeader = TWlHeader{};
  slot.reserved = TReservedRecords{};
  slot.rawHeader.clear();
  clearXmlFields(slot);
  if (list) {
    list->clear();
    slot.highIndex = -1;
    slot.entryCount = 0;
  }

  ChunkWalker walker(bytes);
  const std::optional<ChunkHeader> fileHeader = walker.readHeader();
  if (!fileHeader || fileHeader->tag != wltag::kListFile || fileHeader->version != ChunkHeader::kPlain) {
    result.missing = parts;
    result.errors.append(QStringLiteral("%1: not a word-list file").arg(fileName));
    if (slot.id.isEmpty()) slot.id = withoutExtension(fileName);
    return result;
  }
  found |= 1u << kPartFile;

  std::vector<uint8_t> lengths;
  QByteArrayView texts;
  bool haveTexts = false;
  bool haveXml = false;
  Chunk c;
  for (int32_t i = 0; i < fileHeader->size && walker.next(c); ++i) {
    const ChunkHeader& h = c.header;
    switch (h.tag) {
      case wltag::kHeaderRecord: {
        if (!acceptsHeaderVersion(h.version)) break;
        if (c.payload.size() < TWlHeader::kSize) {
          result.errors.append(chunkError(c, QStringLiteral("header record shorter than 40 bytes")));
          break;
        }
        QString error;
        const std::optional<QByteArray> payload = decodePayload(c, &error);
        if (!payload) {
          result.errors.append(error);
          break;
        }
        slot.listHeader = TWlHeader::decode(payload->constData());
        found |= 1u << kPart1000;
        break;
      }
      case wltag::kReserved:
      case wltag::kReservedOld: {
        if (!acceptsHeaderVersion(h.version)) break;
        if (h.count > kReservedRecordCount) {
          result.errors.append(chunkError(c, QStringLiteral("%1 reserved records, at most 3").arg(h.count)));
          break;
        }
        if (c.payload.size() < int64_t(h.count) * kReservedRecordSize) {
          result.errors.append(chunkError(c, QStringLiteral("reserved records shorter than 51 bytes")));
          break;
        }
        QString error;
        const std::optional<QByteArray> payload = decodePayload(c, &error);
        if (!payload) {
          result.errors.append(error);
          break;
        }
        TReservedRecords records{};
        for (int r = 0; r < h.count; ++r)
          std::memcpy(records[size_t(r)].data(), payload->constData() + r * kReservedRecordSize,
                      kReservedRecordSize);
        slot.reserved = records;
        found |= 1u << kPart1010;
        break;
      }
      case wltag::kXmlHeader: {
        if (!acceptsHeaderVersion(h.version)) break;
        QString error;
        const std::optional<QByteArray> payload = decodePayload(c, &error);
        if (!payload) {
          result.errors.append(error);
          break;
        }
        slot.rawHeader = payload->toStdString();
        applyXmlHeader(slot, slot.rawHeader, fileName, &result.errors);
        haveXml = true;
        found |= 1u << kPart1100;
        break;
      }
      case wltag::kEntries: {
        if (!list) break;
        if (h.version != ChunkHeader::kPlain) {
          result.errors.append(chunkError(c, QStringLiteral("entry table must be version 100")));
          break;
        }
        if (h.size != 6) {
          result.errors.append(chunkError(c, QStringLiteral("entries of %1 bytes, expected 6").arg(h.size)));
          break;
        }
        const int32_t m = h.count;
        list->reset(m);
        lengths.assign(size_t(m), 0);
        const char* p = c.payload.data();
        for (int32_t k = 0; k < m; ++k, p += 6) {
          lengths[size_t(k)] = uint8_t(p[0]);
          list->entries[size_t(k)].next = le::i32(p + 1);
          list->entries[size_t(k)].flags = uint8_t(p[5]);
        }
        found |= 1u << kPart4020;
        break;
      }
      case wltag::kTexts:
        if (!list) break;
        if (h.version != ChunkHeader::kPlain) {
          result.errors.append(chunkError(c, QStringLiteral("entry texts must be version 100")));
          break;
        }
        texts = c.payload;
        haveTexts = true;
        break;
      default:
        break;  // chunks this reader does not know are passed over
    }
  }
  if (walker.failed()) result.errors.append(QStringLiteral("%1: %2").arg(fileName, walker.error()));

  // The texts are matched to the entries after the walk, so their order in the file does
  // not matter; a text that runs past the chunk makes the chunk count as missing.
  if (list && haveTexts) {
    qsizetype pos = 0;
    bool complete = true;
    for (size_t k = 0; k < lengths.size(); ++k) {
      const qsizetype len = lengths[k];
      if (len > texts.size() - pos) {
        result.errors.append(QStringLiteral("%1: text of entry %2 (%3 bytes) runs past the text chunk")
                                 .arg(fileName)
                                 .arg(k)
                                 .arg(len));
        complete = false;
        break;
      }
      list->entries[k].text.assign(texts.data() + pos, size_t(len));
      pos += len;
    }
    if (complete) found |= 1u << kPart4030;
  }
  if (list) {
    slot.highIndex = list->highIndex();
    slot.entryCount = list->count;
  }
  if (!haveXml) applyXmlHeader(slot, std::string(), fileName, nullptr);

  int have = 0;
  for (int part = 0; part < parts; ++part) have += (found >> part) & 1u;
  result.missing = parts - have;
  return result;
}

std::optional<QByteArray> readWholeFile(const QString& path, QString* error) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    if (error) *error = path + QStringLiteral(": ") + f.errorString();
    return std::nullopt;
  }
  return f.readAll();
}

}  // namespace

WlLoadResult parseList(QByteArrayView bytes, const QString& fileName, Tsubl& slot, TWordList& list) {
  return parseListChunks(bytes, fileName, slot, &list);
}

WlLoadResult parseListHeader(QByteArrayView bytes, const QString& fileName, Tsubl& slot) {
  return parseListChunks(bytes, fileName, slot, nullptr);
}

WlLoadResult parseSelection(QByteArrayView bytes, TSelection& selection) {
  selection.clear();  // a failed load must not leave another list's selections behind
  WlLoadResult result;
  result.missing = kSelectionParts;
  ChunkWalker walker(bytes);
  const std::optional<ChunkHeader> fileHeader = walker.readHeader();
  if (!fileHeader || fileHeader->tag != wltag::kSelectionFile || fileHeader->version != ChunkHeader::kPlain) {
    result.errors.append(QStringLiteral("not a selection file"));
    return result;
  }
  --result.missing;
  bool haveSelection = false;
  Chunk c;
  for (int32_t i = 0; i < fileHeader->size && walker.next(c); ++i) {
    if (c.header.tag != wltag::kSelection || c.header.version != ChunkHeader::kPlain) continue;
    selection.assign(reinterpret_cast<const uint8_t*>(c.payload.data()),
                     reinterpret_cast<const uint8_t*>(c.payload.data()) + c.payload.size());
    haveSelection = true;
  }
  if (walker.failed()) result.errors.append(walker.error());
  if (haveSelection)
    --result.missing;
  else
    result.errors.append(QStringLiteral("selection file has no selection chunk"));
  return result;
}

// ---- Writing ----

namespace {

QByteArray reservedBytes(const TReservedRecords& records) {
  QByteArray out;
  out.reserve(kReservedRecordCount * kReservedRecordSize);
  for (const TReservedRecord& r : records)
    out.append(reinterpret_cast<const char*>(r.data()), kReservedRecordSize);
  return out;
}

bool xmlFits(const std::string& xml, QString* error) {
  if (qsizetype(xml.size()) <= ChunkHeader::kMaxInvertedPayload) return true;
  if (error)
    *error = QStringLiteral("header XML of %1 bytes exceeds %2 bytes")
                 .arg(xml.size())
                 .arg(ChunkHeader::kMaxInvertedPayload);
  return false;
}

void appendHeaderChunks(QByteArray& out, const TWlHeader& header, const TReservedRecords& reserved,
                        const std::string& xml) {
  appendChunk(out, {wltag::kHeaderRecord, ChunkHeader::kInverted, 1, TWlHeader::kSize}, header.encode());
  appendChunk(out, {wltag::kReserved, ChunkHeader::kInverted, kReservedRecordCount, kReservedRecordSize},
              reservedBytes(reserved));
  appendChunk(out, {wltag::kXmlHeader, ChunkHeader::kInverted, int32_t(xml.size()), 1},
              QByteArrayView(xml.data(), qsizetype(xml.size())));
}

}  // namespace

std::optional<QByteArray> buildListFile(const Tsubl& slot, const TWordList& list, QString* error) {
  if (list.count < 0 || list.count > int32_t(list.entries.size())) {
    if (error)
      *error = QStringLiteral("%1 entries in use but %2 allocated").arg(list.count).arg(list.entries.size());
    return std::nullopt;
  }
  if (!xmlFits(slot.rawHeader, error)) return std::nullopt;
  int64_t textBytes = 0;
  for (int32_t k = 0; k < list.count; ++k) {
    const size_t len = list.entries[size_t(k)].text.size();
    if (len > 255) {
      // The length is one byte; writing it would shift every later text.
      if (error) *error = QStringLiteral("entry %1 has %2 bytes of text, at most 255").arg(k).arg(len);
      return std::nullopt;
    }
    textBytes += int64_t(len);
  }
  if (textBytes > INT32_MAX) {
    if (error) *error = QStringLiteral("entry texts exceed the size of a chunk");
    return std::nullopt;
  }

  QByteArray out;
  out.reserve(qsizetype(112 + 56 * int64_t(list.count) + int64_t(slot.rawHeader.size())));
  ChunkHeader{wltag::kListFile, ChunkHeader::kPlain, 1, 5}.appendTo(out);
  appendHeaderChunks(out, slot.listHeader, slot.reserved, slot.rawHeader);

  ChunkHeader{wltag::kEntries, ChunkHeader::kPlain, list.count, 6}.appendTo(out);
  for (int32_t k = 0; k < list.count; ++k) {
    const Twlistrec& e = list.entries[size_t(k)];
    le::putU8(out, uint8_t(e.text.size()));
    le::putI32(out, e.next);
    le::putU8(out, e.flags);
  }
  ChunkHeader{wltag::kTexts, ChunkHeader::kPlain, int32_t(textBytes), 1}.appendTo(out);
  for (int32_t k = 0; k < list.count; ++k) {
    const std::string& text = list.entries[size_t(k)].text;
    out.append(text.data(), qsizetype(text.size()));
  }
  return out;
}

QByteArray buildSelectionFile(const TSelection& selection) {
  QByteArray out;
  out.reserve(qsizetype(24 + selection.size()));
  ChunkHeader{wltag::kSelectionFile, ChunkHeader::kPlain, 1, 1}.appendTo(out);
  appendChunk(out, {wltag::kSelection, ChunkHeader::kPlain, int32_t(selection.size()), 1},
              QByteArrayView(reinterpret_cast<const char*>(selection.data()), qsizetype(selection.size())));
  return out;
}

std::optional<QByteArray> rewriteHeaderBytes(QByteArrayView file, const Tsubl& slot, QString* error) {
  if (!xmlFits(slot.rawHeader, error)) return std::nullopt;
  ChunkWalker walker(file);
  const std::optional<ChunkHeader> fileHeader = walker.readHeader();
  if (!fileHeader || fileHeader->tag != wltag::kListFile || fileHeader->version != ChunkHeader::kPlain) {
    if (error) *error = QStringLiteral("not a word-list file");
    return std::nullopt;
  }
  QByteArray out;
  out.reserve(file.size() + qsizetype(slot.rawHeader.size()) + 256);
  out.append(file.first(ChunkHeader::kSize));
  const std::string& xml = slot.rawHeader;
  Chunk c;
  for (int32_t i = 0; i < fileHeader->size && walker.next(c); ++i) {
    switch (c.header.tag) {
      case wltag::kHeaderRecord:
        appendChunk(out, {wltag::kHeaderRecord, ChunkHeader::kInverted, 1, TWlHeader::kSize},
                    slot.listHeader.encode());
        break;
      case wltag::kReserved:
      case wltag::kReservedOld:
        appendChunk(out, {wltag::kReserved, ChunkHeader::kInverted, kReservedRecordCount, kReservedRecordSize},
                    reservedBytes(slot.reserved));
        break;
      case wltag::kXmlHeader:
        appendChunk(out, {wltag::kXmlHeader, ChunkHeader::kInverted, int32_t(xml.size()), 1},
                    QByteArrayView(xml.data(), qsizetype(xml.size())));
        break;
      default:
        out.append(file.sliced(c.offset, c.end() - c.offset));
    }
  }
  if (walker.failed()) {
    // Rewriting past a broken chunk would drop whatever follows it.
    if (error) *error = walker.error();
    return std::nullopt;
  }
  out.append(file.sliced(walker.offset()));  // bytes after the announced chunks stay
  return out;
}

// ---- Files ----

QString listPath(const QString& folder, const QString& fileName) { return findNoCase(folder, fileName); }

QString selectionPath(const QString& folder, const QString& fileName) {
  return findNoCase(folder, fileName + QLatin1Char('x'));
}

WlLoadResult loadList(const QString& folder, Tsubl& slot, TWordList& list) {
  QString error;
  const std::optional<QByteArray> bytes = readWholeFile(listPath(folder, slot.fileName), &error);
  if (!bytes) {
    WlLoadResult result = parseList({}, slot.fileName, slot, list);
    result.errors = QStringList{error};
    return result;
  }
  return parseList(*bytes, slot.fileName, slot, list);
}

WlLoadResult loadSelection(const QString& folder, const Tsubl& slot, TSelection& selection) {
  QString error;
  const QString path = selectionPath(folder, slot.fileName);
  const std::optional<QByteArray> bytes = readWholeFile(path, &error);
  if (!bytes) {
    selection.clear();
    return WlLoadResult{kSelectionParts, {error}};
  }
  WlLoadResult result = parseSelection(*bytes, selection);
  for (QString& e : result.errors) e = path + QStringLiteral(": ") + e;
  return result;
}

SublinearLoadResult loadSublinear(const QString& folder, Tsubl& slot, TWordList& list, TSelection& selection) {
  SublinearLoadResult result;
  const WlLoadResult sel = loadSelection(folder, slot, selection);
  if (sel.missing > 0) result.failed |= 1;
  const WlLoadResult wl = loadList(folder, slot, list);
  if (wl.missing > 0) result.failed |= 2;
  result.errors = sel.errors + wl.errors;
  return result;
}

WlLoadResult loadHeader(const QString& folder, Tsubl& slot) {
  QString error;
  const std::optional<QByteArray> bytes = readWholeFile(listPath(folder, slot.fileName), &error);
  if (!bytes) {
    WlLoadResult result = parseListHeader({}, slot.fileName, slot);
    result.errors = QStringList{error};
    return result;
  }
  return parseListHeader(*bytes, slot.fileName, slot);
}

WlLoadResult refreshHeader(const QString& folder, Tsubl& slot) {
  slot.remap = 0;
  slot.rtl = false;
  WlLoadResult result{1, {}};
  QString error;
  const std::optional<QByteArray> bytes = readWholeFile(listPath(folder, slot.fileName), &error);
  if (!bytes) {
    result.errors.append(error);
    return result;
  }
  ChunkWalker walker(*bytes);
  const std::optional<ChunkHeader> fileHeader = walker.readHeader();
  if (!fileHeader || fileHeader->tag != wltag::kListFile || fileHeader->version != ChunkHeader::kPlain) {
    result.errors.append(slot.fileName + QStringLiteral(": not a word-list file"));
    return result;
  }
  // Both versions are read: every file this program writes stores its XML header as
  // version 101, so reading only 100 would turn a refresh into a silent reset.
  Chunk c;
  for (int32_t i = 0; i < fileHeader->size && walker.next(c); ++i) {
    if (c.header.tag != wltag::kXmlHeader || !acceptsHeaderVersion(c.header.version)) continue;
    const std::optional<QByteArray> payload = decodePayload(c, &error);
    if (!payload) {
      result.errors.append(error);
      continue;
    }
    slot.rawHeader = payload->toStdString();
    applyXmlHeader(slot, slot.rawHeader, slot.fileName, &result.errors);
    result.missing = 0;
    break;
  }
  if (walker.failed()) result.errors.append(slot.fileName + QStringLiteral(": ") + walker.error());
  return result;
}

bool saveList(const QString& folder, Tsubl& slot, const TWordList& list, QString* error, double now) {
  Tsubl written = slot;
  written.listHeader.dateModify = now;
  const std::optional<QByteArray> bytes = buildListFile(written, list, error);
  if (!bytes) {
    if (error) *error = slot.fileName + QStringLiteral(": ") + *error;
    return false;
  }
  if (!writeFileAtomic(listPath(folder, slot.fileName), *bytes, error)) return false;
  slot.listHeader.dateModify = now;
  return true;
}

bool saveSelection(const QString& folder, const Tsubl& slot, const TSelection& selection, QString* error) {
  return writeFileAtomic(selectionPath(folder, slot.fileName), buildSelectionFile(selection), error);
}

bool createList(const QString& folder, const QString& name, const std::string& xmlText, int32_t mainEntryCount,
                QString* error, double now) {
  Tsubl slot;
  slot.fileName = name + QStringLiteral(".wl");
  slot.listHeader.verData = TVerData{1, 0, 0, 0};
  slot.listHeader.dateCreate = now;
  slot.listHeader.dateModify = now;
  slot.rawHeader = xmlText;  // reserved records stay all zero
  TWordList list;
  list.reset(mainEntryCount);
  for (int32_t k = 0; k < list.count; ++k) list.entries[size_t(k)].next = k;
  return saveList(folder, slot, list, error, now);
}

bool createSelection(const QString& folder, const QString& name, uint8_t value, int32_t lastPosition,
                     QString* error) {
  const TSelection selection(size_t(std::max(lastPosition + 1, 0)), value);
  return writeFileAtomic(findNoCase(folder, name + QStringLiteral(".wlx")), buildSelectionFile(selection), error);
}

bool rewriteHeader(const QString& folder, const Tsubl& slot, QString* error) {
  const QString path = listPath(folder, slot.fileName);
  const std::optional<QByteArray> bytes = readWholeFile(path, error);
  if (!bytes) return false;
  const std::optional<QByteArray> rewritten = rewriteHeaderBytes(*bytes, slot, error);
  if (!rewritten) {
    if (error) *error = path + QStringLiteral(": ") + *error;
    return false;
  }
  return writeFileAtomic(path, *rewritten, error);
}

}  // namespace kov
