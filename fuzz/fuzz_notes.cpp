// Note files as stored: decoding, splitting into lines, and the stored-text markup.
#include <QByteArray>

#include <cstdint>

#include "texts/NoteText.h"
#include "texts/UmemoNote.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  const QString text = kov::decodeNoteFile(bytes);
  kov::TMemoMarkupState state;
  for (const QString& line : kov::splitNoteLines(text)) {
    kov::noteTextToRuns(line);
    kov::memoLineToRuns(line, state);
  }
  kov::runsToNoteText(kov::noteTextToRuns(text));
  return 0;
}
