#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QTemporaryDir>

#include <cstdint>
#include <string>
#include <vector>

#include "db/ChunkHeader.h"
#include "db/cWordList.h"

namespace kov::test {

// Builds chunked files byte by byte, including ones no writer of the program would make
// (old versions, unknown chunks, lying counts), so readers can be tried on them.
class ChunkFileBuilder {
 public:
  explicit ChunkFileBuilder(int16_t fileTag) : fileTag_(fileTag) {}

  // A chunk whose count x size matches the payload; version 101 payloads are inverted.
  ChunkFileBuilder& chunk(int16_t tag, uint16_t version, int32_t count, int32_t size, QByteArrayView payload = {});
  // A header with arbitrary count and size followed by arbitrary bytes.
  ChunkFileBuilder& rawChunk(int16_t tag, uint16_t version, int32_t count, int32_t size, QByteArrayView bytes);
  // A chunk given as its header and payload bytes.
  ChunkFileBuilder& completeChunk(QByteArrayView bytes);
  // Overrides the number of chunks announced by the file header (default: those added).
  ChunkFileBuilder& announce(int32_t chunks);

  QByteArray bytes() const;

 private:
  int16_t fileTag_;
  int32_t announced_ = -1;
  int32_t chunks_ = 0;
  QByteArray body_;
};

// Entry table and text chunk payloads for entries given as (text, next, flags).
struct FixtureEntry {
  std::string text;
  int32_t next = 0;
  uint8_t flags = 0;
};
QByteArray entryTablePayload(const std::vector<FixtureEntry>& entries);
QByteArray entryTextPayload(const std::vector<FixtureEntry>& entries);

// A small word list: header record, reserved records with recognisable bytes, XML text
// and a ring of two entries plus a single one.
struct SampleList {
  Tsubl slot;
  TWordList list;
};
SampleList sampleList(const std::string& xml = "<WL><id>GLS</id><desS>gloss</desS></WL>");

// The word-list file for a sample list, every header chunk written at `headerVersion`;
// `extra` (a complete chunk) is put between the XML chunk and the entry table.
QByteArray sampleListFile(const SampleList& sample, uint16_t headerVersion, QByteArrayView extra = {});

}  // namespace kov::test
