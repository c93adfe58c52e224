#pragma once
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/PresetRecords.h"
#include "db/GsFile.h"
#include "db/VerseStep.h"
#include "db/References.h"
#include "db/cCalcPos.h"
#include "db/cGndStream.h"
#include "db/cWordList.h"

namespace kov {

class RegistryStore;

// Where a display row sits: the slot it shows, its top and its text baseline (the
// layout fills the two positions).
struct TRowLayout {
  std::uint8_t slot = 0;
  std::int32_t top = 0;
  std::int32_t baseline = 0;
  bool operator==(const TRowLayout&) const = default;
};

// The sublinear table: slots -1..20 (-1 a scratch slot for inspecting one list, 0 the
// main text, 1..19 the sublinears in display order), the rows of the interlinear grid,
// the three presentation records, and the numbers of visible rows and slots in use.
struct TWl {
  static constexpr int kFirstSlot = -1;
  static constexpr int kLastSlot = 20;
  static constexpr int kRows = 21;

  // Throws std::out_of_range for a number outside -1..20.
  Tsubl& slot(int n);
  const Tsubl& slot(int n) const;

  std::array<Tsubl, kLastSlot - kFirstSlot + 1> slotRecords{};
  std::array<TRowLayout, kRows> rows{};
  std::array<PresentationMetrics, kPresentations> presentations = defaultPresentations();
  std::uint8_t visibleRows = 0;
  std::uint8_t slotCount = 0;  // main text included
};

// Fonts between the slot record and the preset record.
TslFont toSlotFont(const SlotFont& f);
SlotFont toPresetFont(const TslFont& f);
// Fills the table's file names, visibility, fonts, presentations and slot count from a
// preset's table (entries past the 20 slots are ignored).
void fillFromPreset(TWl& table, const PresetSublinearTable& preset);
// Writes the table back into a preset's table: one entry per slot in use; an entry's
// list-view column and width are kept from `preset` where it had one.
void storeToPreset(const TWl& table, PresetSublinearTable& preset);

// Slot numbers of the sublinears other parts look for by file name (0 = none).
struct TKnownSublinears {
  int gloss = 0;          // "TL_KJV.wl"
  int strong = 0;         // "strong.wl"
  int lemma = 0;          // "Lemma.wl"
  int transliteration = 0;  // "Transliteration.wl"
  int parsing = 0;        // "P_WHM.wl" whose id is "P_WHM"
  int connected = 0;      // "CGTS.wl"
  int connected2 = 0;     // "CHES2.wl"
  int connectedIds = 0;   // "CGES_id.wl"
  bool operator==(const TKnownSublinears&) const = default;
};

// What loadAll did, for the user interface to report.
struct TLoadReport {
  enum class Main { Loaded, Missing, Failed };
  struct Failure {
    int slot = 0;  // the pending slot the file was listed in
    QString fileName;
    QString path;  // folder + file name
    QStringList errors;
    // "<path> Could not load the Sublinear"
    QString message() const { return path + QStringLiteral(" Could not load the Sublinear"); }
  };

  Main main = Main::Loaded;
  QString mainFile;  // main name + ".WL0"
  QStringList mainErrors;
  std::vector<Failure> failed;  // files that exist but did not load
  QStringList dropped;          // listed files that do not exist
  QStringList shortSelections;  // selection files shorter than the stream (filled up with 255)

  // "<main>.WL0  Could not load the Main text"
  QString mainMessage() const { return mainFile + QStringLiteral("  Could not load the Main text"); }
  bool ok() const { return main == Main::Loaded && failed.empty(); }
};

struct TVerseAt {
  int verse = -1;
  char mark = ' ';
};

// The interlinear database: one original text (word stream and main word list) with its
// sublinears, the sublinear table and display options (pending and applied), and the
// passage operations the views, the search and the editors read through.
class TintLin : public TStreamVerses {
 public:
  static constexpr int kLists = 20;       // word lists 0..19
  static constexpr int kMaxCellText = 255;

  TintLin();

  // Set by callers that change many entries in one run: edits then leave saving to them.
  bool deferSave = false;

  // ---- Folders and names ----
  void setRootFolder(const QString& folder);  // the "interlinear/" folder
  const QString& rootFolder() const { return root_; }
  void setMainName(const QString& name);
  const QString& mainName() const { return mainName_; }
  QString mainFolder() const;  // root + main name + "/"
  const QString& appliedMainName() const { return appliedMainName_; }
  const QString& appliedFolder() const { return appliedFolder_; }

  // ---- Tables and options ----
  TWl& pendingTable() { return pending_; }
  const TWl& pendingTable() const { return pending_; }
  TWl& appliedTable() { return applied_; }
  const TWl& appliedTable() const { return applied_; }
  LineOptions& pendingOptions() { return pendingOptions_; }
  const LineOptions& pendingOptions() const { return pendingOptions_; }
  LineOptions& appliedOptions() { return appliedOptions_; }
  const LineOptions& appliedOptions() const { return appliedOptions_; }
  // Pending table, options, main name and folder become the applied ones...
  void applyPending();
  // ...or the pending ones are set back to the applied ones.
  void discardPending();

  // ---- Loading ----
  // Reads main folder + main name + ".gs": book and chapter tables into the calculator,
  // the variants and the word stream (with its two closing cells). A file with a wrong
  // header leaves the calculator and the stream empty. `valid` false when nothing was read.
  GsReadResult readGs();
  // The same from a file's content already read; appends to `errors` what was wrong.
  void installGs(TGsContent content, QStringList* errors = nullptr);
  // The ONT word of another text's ".gs" file (empty when it is missing).
  QString testamentOf(const QString& text) const;
  // Loads the main text and the pending table's sublinears, dropping slots whose file is
  // missing or fails to load so the table stays dense; records the known sublinears;
  // reads the edit statistics when a registry is given.
  TLoadReport loadAll(const RegistryStore* registry = nullptr);
  // Opens text `name` under `root` with every word list of its folder (in name order) as its
  // sublinears, without a preset: reads the .gs file, loads and applies. For tools that read a
  // database whole. `gs` receives what the .gs reading found.
  TLoadReport openWithAllLists(const QString& root, const QString& name, GsReadResult* gs = nullptr);
  // Refreshes the header of each pending slot's file without reading entries.
  QStringList reloadHeaders();
  // Each pending sublinear's edit count and backup times from the registry.
  void readEditStatistics(const RegistryStore& registry);

  // ---- Data ----
  TCalcpos& calc() { return calc_; }
  const TCalcpos& calc() const { return calc_; }
  const std::vector<TvariantInfo>& variants() const { return variants_; }
  const QString& ont() const { return ont_; }
  const TKnownSublinears& known() const { return known_; }
  // Throws std::out_of_range outside 0..19 (lists) and 1..20 (selections).
  TWordList& list(int n);
  const TWordList& list(int n) const;
  TSelection& selection(int n);
  const TSelection& selection(int n) const;
  // The cells with the two closing cells after the last position.
  const std::vector<std::uint16_t>& stream() const { return stream_; }
  // A cell of the stream; positions outside it read as a harmless marker (never a word).
  std::uint16_t cellAt(std::int32_t position) const;
  // The last word position (-1 without a stream).
  std::int32_t lastPosition() const { return last_; }

  // ---- Passage access ----
  // An entry of a list; an empty record outside the list.
  Twlistrec entry(int list, std::int32_t index) const;
  // The rendering of word form w that selection s picks (255 counts as 0); a selection
  // beyond the ring gives its last rendering.
  std::string rendering(int list, std::int32_t w, int s);
  // Set by the last rendering call of the list: the word form has one rendering.
  bool singleRendering(int list) const;
  // The index of the entry `rendering` would return, -1 when w is not in the list.
  std::int32_t renderingIndex(int list, std::int32_t w, int s) const;
  // The text of a cell: the word form for list 0, the selected rendering for a
  // sublinear (for no selection: the first rendering with ShowNonEntries, else empty).
  std::string cellText(int list, std::int32_t position);
  // Counts how often each entry of the list is the selected rendering over the stream.
  void countUsage(int list);
  const std::vector<std::uint32_t>& usage() const { return usage_; }
  int usageList() const { return usageList_; }

  // The marker of `verse` from a chapter's start (the last position when not found).
  std::int32_t verseMarkerOf(std::int32_t chapterStart, int verse) const;
  // The verse of a position: the nearest marker at or before it, at most 1000 cells back.
  TVerseAt verseAt(std::int32_t position) const;
  // Steps `count` verse markers forward (or back); see the notes in the source.
  TVerseStep stepVerses(std::int32_t position, int count, bool clampAtEnd) const;
  // "<Bks> <chapter>:<verse>.<word>", the word counted from 1 after the verse marker.
  std::string refText(std::int32_t position);

  // The reference operations for this text (TReferences with n = 0).
  std::int32_t findVerse(std::int32_t chapterStart, int verse) override;
  void verseAt(std::int32_t position, std::int16_t& verse, char& mark) override;

 private:
  char markOf(std::int32_t markerPosition) const;
  void recordKnownRole(int slot);
  void clearData();

  QString root_;
  QString mainName_;
  QString appliedMainName_;
  QString appliedFolder_;
  TCalcpos calc_;
  TWl pending_;
  TWl applied_;
  LineOptions pendingOptions_;
  LineOptions appliedOptions_;
  std::array<TWordList, kLists> lists_;
  std::array<TSelection, kLists + 1> selections_;  // [1..20]
  std::vector<std::uint16_t> stream_;
  std::int32_t last_ = -1;
  std::vector<std::uint32_t> usage_;
  int usageList_ = -1;
  std::array<bool, kLists> single_{};
  std::vector<TvariantInfo> variants_;
  QString ont_;
  TKnownSublinears known_;
  TGndStream walker_;  // this object's own walks; the shared walker stays free
};

}  // namespace kov
