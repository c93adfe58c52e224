#pragma once
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace kov {

class RegistryStore;
class TintLin;

// One rendering of a word form while it is being edited.
struct Twcs {
  std::string text;
  std::uint16_t count = 0;   // occurrences in the text
  std::uint8_t before = 0;   // index before sorting
};

// The working copy of one word form's renderings in one sublinear.
struct TSubList {
  static constexpr int kMaxItems = 254;

  int slot = 0;         // sublinear slot (0 the main text's list)
  std::int32_t head = 0;  // the word form: the index of the ring's first entry
  int selected = 255;   // item selected for the position being edited; 255 none
  std::vector<Twcs> items;
  // False when the ring went on past kMaxItems entries or did not lead back to its head:
  // writing such a list back would cut the rest of the ring off, so storeSubList refuses it.
  bool complete = true;
  struct Link {
    std::int32_t next = 0;  // the entry's next field; 0 for a new item
    std::uint8_t flags = 0;
  };
  // One per item position: the ring entry that follows the entry written for position i.
  // They stay in place when the items are sorted, so the ring's own entries are reused in
  // the new order instead of new ones being appended.
  std::vector<Link> links;
  std::vector<std::uint8_t> newPlaces;  // after sorting: new index of the item that had index k

  int count() const { return int(items.size()); }
};

// The cell being edited: its sublinear slot and stream position (the word form and the
// current selection are read from the database).
struct TFocusedCell {
  int slot = 0;
  std::int32_t position = 0;
};

// Edits of the applied sublinears: renderings of a word form, the selection of a position,
// ranges, and the edit log. Unless the database's deferSave is set, every committed change is
// on disk (word list, selection file, log line) before the call returns.
class TEdits {
 public:
  explicit TEdits(TintLin& db) : db_(db) {}

  // While set, log lines carry the batch codes "AI"/"SI" instead of "AC"/"SC".
  bool batch = false;

  TSubList buildSubList(int slot, std::int32_t head, int selected) const;
  void countSubList(TSubList& list, bool noneAsFirst) const;
  void sortSubList(TSubList& list) const;
  void renumberSelections(const TSubList& list);
  // Writes the items back into the ring; false with error() for a list the format cannot hold.
  bool storeSubList(TSubList& list);
  // The edit dialog's commit: texts of its rows, whether it sorted, the row current in it
  // (-1: none), and whether the dialog assigns the rendering to the focused position.
  // Returns the selected index, or -1 with error() when nothing could be stored.
  int applySubList(const std::vector<std::string>& texts, bool sorted, TSubList& list, int currentRow,
                   const TFocusedCell& focus, bool assign = true);
  // Chooses `text` for the focused position, adding it to the word form's renderings when new.
  // The log line carries the position's reference text (refText), so the log reads without
  // the database at hand. Saves the list and selection files unless deferSave is set.
  bool setCellText(const std::string& text, const TFocusedCell& focus);
  // Both save the changed file unless deferSave is set; false with error() when it fails.
  bool markRange(int slot, std::int32_t from, std::int32_t to, bool none);
  bool setEntryText(int slot, std::int32_t index, const std::string& text);
  bool writeLog(int slot, std::int32_t position, const std::string& data, const std::string& reference);

  // The slot's word list and selection file, written from the applied state.
  bool saveList(int slot);
  bool saveSelection(int slot);

  // Edit statistics in the registry: read into the pending sublinears (after loading),
  // written from the applied ones.
  void loadEditInfo(const RegistryStore& registry);
  bool saveEditInfo(const RegistryStore& registry);

  const QString& error() const { return error_; }
  // The log file of a slot: applied folder + file name without extension + ".log".
  QString logPath(int slot) const;

 private:
  bool isSublinear(int slot) const;
  bool fail(const QString& e) {
    error_ = e;
    return false;
  }
  TintLin& db_;
  QString error_;
};

}  // namespace kov
