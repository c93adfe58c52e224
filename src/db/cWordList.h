#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "db/DayCount.h"

// Word-list files (".WL0" main text, ".wl" sublinear), their selection files (".wlx"),
// and the slot record that holds what a list's header says about it.
//
// The operations work on a folder (ending in '/'), a slot record and the slot's list
// data, so the database object can wrap each one by slot number. File names are looked
// up without regard to case; every write replaces the file atomically.

namespace kov {

// Chunk tags of the word-list and selection files.
namespace wltag {
constexpr int16_t kListFile = -4000;
constexpr int16_t kHeaderRecord = 1000;
constexpr int16_t kReserved = 1010;
constexpr int16_t kReservedOld = 4010;
constexpr int16_t kXmlHeader = 1100;
constexpr int16_t kEntries = 4020;
constexpr int16_t kTexts = 4030;
constexpr int16_t kSelectionFile = -5000;
constexpr int16_t kSelection = 5100;
}  // namespace wltag

// One entry of a word list: a rendering, linked by next into the ring of its word form.
struct Twlistrec {
  uint8_t flags = 0;  // 32 on every ring member but the last; carried unchanged by load/save
  int32_t next = 0;   // as stored; users of the ring must check it against the list size
  std::string text;   // 8-bit, at most 255 bytes in a file

  bool operator==(const Twlistrec&) const = default;
};

struct TVerData {
  int32_t nMajor = 0;
  int32_t nMinor = 0;
  int32_t nRelease = 0;
  int32_t nBuild = 0;
  bool operator==(const TVerData&) const = default;
};

// The 40-byte list header record (chunk 1000).
struct TWlHeader {
  static constexpr int kSize = 40;
  uint32_t reserved1 = 0;
  uint32_t reserved2 = 0;
  TVerData verData;
  double dateCreate = 0;  // days since 30 Dec 1899 (DayCount.h)
  double dateModify = 0;

  QByteArray encode() const;
  static TWlHeader decode(const char* p);  // kSize bytes
  bool operator==(const TWlHeader&) const = default;
};

// Reserved records (chunk 1010): kept and written back byte for byte, never interpreted.
constexpr int kReservedRecordSize = 51;
constexpr int kReservedRecordCount = 3;
using TReservedRecord = std::array<uint8_t, kReservedRecordSize>;
using TReservedRecords = std::array<TReservedRecord, kReservedRecordCount>;

// Font of a sublinear row in one presentation.
struct TslFont {
  QString _FontName;
  int32_t _Fontheight = 0;
  uint32_t _FontColor = 0;  // $BBGGRR
  int32_t _WL_dyH = 0;      // space above the row
  int32_t _WL_dyL = 0;      // space below the row
  bool operator==(const TslFont&) const = default;
};

// One entry of a list's character map; `target` is the character byte b is drawn as,
// 0 meaning b itself. The other two values are carried for the renderer and stay 0.
struct TCharMapEntry {
  uint16_t first = 0;
  uint16_t target = 0;
  uint16_t third = 0;
  bool operator==(const TCharMapEntry&) const = default;
};
using TCharMap = std::array<TCharMapEntry, 256>;

// A slot of the sublinear table: the list's file, display settings, edit statistics and
// everything its header chunks say.
struct Tsubl {
  TWlHeader listHeader;
  TReservedRecords reserved{};
  int32_t highIndex = -1;  // highest allocated entry index (mirrors the list after a load)
  int32_t entryCount = 0;  // entries in use (mirrors the list after a load)
  QString fileName;        // with extension, e.g. "strong.wl"
  bool visible = true;
  int32_t remap = 0;  // XML "remap": draw the text through the character map when not 0
  bool rtl = false;   // XML "rtl" = "1"
  std::array<TslFont, 3> fonts;
  int32_t editCnt = 0;
  double lastLB = 0;  // last local backup
  double lastUB = 0;  // last upload
  QString type;       // XML "type"; "ORG" = original-language words
  int32_t charTableCount = 0;
  QString charTableLabel1;
  QString charTableLabel2;
  QString charTableSource;
  QString charTableTarget;
  QString id;
  QString desS;
  QString helpFP;
  QString rights;
  QString lng;
  std::string rawHeader;    // the XML header as stored (UTF-8)
  int32_t parsingList = 0;  // 1 when the id is "P_WHM"
  bool hasCharMap = false;
  TCharMap charMap{};
};

// The entries of one list. The array is allocated in steps of kGrowth; `count` entries
// are in use, the rest are free for edits to take.
struct TWordList {
  static constexpr int32_t kGrowth = 100;

  std::vector<Twlistrec> entries;  // size = highest allocated index + 1
  int32_t count = 0;

  int32_t highIndex() const { return int32_t(entries.size()) - 1; }
  bool contains(int32_t index) const { return index >= 0 && index < int32_t(entries.size()); }
  void clear();
  // m empty entries, all in use.
  void reset(int32_t m);
  // Allocates kGrowth entries at a time until `index` is allocated.
  void ensureAllocated(int32_t index);
};

// One byte per word position of the main text: the ring member chosen there, 255 = none.
using TSelection = std::vector<uint8_t>;

// Result of a reader: the number of the file's parts not found or unusable (0 = all
// there), and what was wrong with the file or its header, for the caller to report.
// Errors may be present with nothing missing (a malformed header value, say).
struct WlLoadResult {
  int missing = 0;
  QStringList errors;
};

// Result of loadSublinear: bit 0 the selection file failed, bit 1 the word list failed.
struct SublinearLoadResult {
  int failed = 0;
  QStringList errors;
};

constexpr int kListParts = 6;       // file header, 1000, 1010, 1100, 4020, 4030
constexpr int kHeaderParts = 4;     // file header, 1000, 1010, 1100
constexpr int kSelectionParts = 2;  // file header, 5100

// ---- In-memory readers and writers (the file operations below use these) ----

// Clears the slot's header fields and fills them and `list` from a word-list file's bytes.
// `fileName` supplies the id when the header has none.
WlLoadResult parseList(QByteArrayView bytes, const QString& fileName, Tsubl& slot, TWordList& list);
// Reads only the header chunks (1000, 1010/4010, 1100) into the slot.
WlLoadResult parseListHeader(QByteArrayView bytes, const QString& fileName, Tsubl& slot);
WlLoadResult parseSelection(QByteArrayView bytes, TSelection& selection);
// Fills the slot's fields from an XML header text: every field first cleared, then read;
// an id left empty becomes the file name without extension. A text that does not parse
// leaves the fields empty. Appends to `errors` what was malformed.
void applyXmlHeader(Tsubl& slot, const std::string& rawXml, const QString& fileName, QStringList* errors);

// The bytes of a word-list file for the slot's header fields and the list's entries in use
// (header chunks version 101). nullopt and *error for content the format cannot hold.
std::optional<QByteArray> buildListFile(const Tsubl& slot, const TWordList& list, QString* error = nullptr);
QByteArray buildSelectionFile(const TSelection& selection);
// A copy of a word-list file with its header chunks rebuilt from the slot and every other
// chunk (and any bytes after the last) copied unchanged. nullopt for a file that does not walk.
std::optional<QByteArray> rewriteHeaderBytes(QByteArrayView file, const Tsubl& slot, QString* error = nullptr);

// ---- File operations ----

// The slot's list file and its selection file ("x" appended) in `folder`, found without case.
QString listPath(const QString& folder, const QString& fileName);
QString selectionPath(const QString& folder, const QString& fileName);

// Reads the slot's word-list file into the slot and `list`; missing counts of 6 parts.
WlLoadResult loadList(const QString& folder, Tsubl& slot, TWordList& list);
// Reads the slot's ".wlx" file; missing counts of 2 parts.
WlLoadResult loadSelection(const QString& folder, const Tsubl& slot, TSelection& selection);
// The selection file, then the word list.
SublinearLoadResult loadSublinear(const QString& folder, Tsubl& slot, TWordList& list, TSelection& selection);
// Only the header chunks, no entries; missing counts of 4 parts.
WlLoadResult loadHeader(const QString& folder, Tsubl& slot);
// Sets remap and right-to-left to 0 and reads the XML header chunk again (either version).
WlLoadResult refreshHeader(const QString& folder, Tsubl& slot);

// Writes the slot's header, reserved records, XML text and the list's entries in use.
// The file's last change time becomes `now`, and so does the slot's.
bool saveList(const QString& folder, Tsubl& slot, const TWordList& list, QString* error = nullptr,
              double now = nowAsDays());
bool saveSelection(const QString& folder, const Tsubl& slot, const TSelection& selection,
                   QString* error = nullptr);
// name + ".wl": `mainEntryCount` empty entries, entry k a ring of its own (next = k).
bool createList(const QString& folder, const QString& name, const std::string& xmlText,
                int32_t mainEntryCount, QString* error = nullptr, double now = nowAsDays());
// name + ".wlx": lastPosition + 1 bytes, all `value`.
bool createSelection(const QString& folder, const QString& name, uint8_t value, int32_t lastPosition,
                     QString* error = nullptr);
// Rebuilds the header chunks of the slot's file from the slot; other chunks stay as they are.
bool rewriteHeader(const QString& folder, const Tsubl& slot, QString* error = nullptr);

}  // namespace kov
