#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kov {

// The keys of one place in a verse index: book, chapter and verse key.
struct tbcvs {
  std::string book, chapter, verse;
  bool operator==(const tbcvs&) const = default;
};

// One level (books, chapters or verses) of a verse index. Key k of `keys` runs from
// starts[k] to starts[k+1] - 1 (1-based). Each entry names its key by index into
// `starts` and carries a link: for a book its first chapter entry, for a chapter its
// first verse entry, for a verse the text offset. The last entry closes the level:
// its key is never searched and its link marks the end.
struct T2IDX {
  struct Entry {
    std::int32_t key = 0;
    std::int32_t link = 0;
    bool operator==(const Entry&) const = default;
  };
  std::string keys;
  std::vector<std::int32_t> starts;
  std::vector<Entry> entries;

  // The key text of entry e; empty for anything out of range.
  std::string key(int e) const;
  std::int32_t link(int e) const;
  int size() const { return static_cast<int>(entries.size()); }

  // Builds a level from one key and link per entry; the last pair is the closing entry
  // (its key is usually empty).
  static T2IDX make(const std::vector<std::string>& keys, const std::vector<std::int32_t>& links);
};

// A three-level verse index over a verse-indexed text file.
class Tindexpos {
 public:
  struct Cursor {
    int book = 0, chapter = 0, verse = 0;
    bool operator==(const Cursor&) const = default;
  };

  // Installs the three levels after checking that every key index and link stays inside
  // its table, that links ascend, and that each level has its closing entry. On failure
  // nothing changes and *error says why.
  bool setLevels(T2IDX books, T2IDX chapters, T2IDX verses, std::string* error = nullptr);
  const T2IDX& level(int i) const { return levels_[i]; }
  bool empty() const { return levels_[0].entries.empty(); }

  // Looks up book, chapter and verse keys (exact comparison). Returns the text offset of
  // the verse, the offset of the chapter's first verse when the verse is missing, and -1
  // when the book or the chapter is missing. The chapter is only searched among the
  // book's own chapters and the verse among the chapter's own verses: a key missing
  // there never matches the same key of a later book or chapter.
  // The cursor is left on the entries found, saved, and the current keys refreshed.
  std::int32_t find(const tbcvs& keys);

  // Moves the cursor by `count` verse entries (backwards when negative), carrying the
  // chapter and book cursors along. False when a forward step reaches the closing entry
  // or a backward step is asked at the first verse.
  bool step(int count);
  // The callers' variant: steps the saved cursor, then refreshes the current keys.
  bool stepSaved(int count);

  // Puts the cursor on a verse entry and finds its chapter and book: the last entries
  // whose first verse entry is not greater than it. A chapter's first verse therefore
  // belongs to its own chapter (not to the one before), so the keys read back from the
  // cursor convert to the verse's true reference. Saves the cursor and refreshes keys.
  void locate(int verseEntry);

  const Cursor& cursor() const { return cursor_; }
  const Cursor& savedCursor() const { return saved_; }
  void saveCursor();
  void restoreCursor() { cursor_ = saved_; }
  // Keys of the entries under the saved cursor.
  const tbcvs& currentKeys() const { return keys_; }
  // Text offset of the last lookup or step; -1 when a lookup failed.
  std::int32_t offset() const { return offset_; }

 private:
  int lastEntry(int lvl) const { return levels_[lvl].size() - 1; }
  void refreshKeys();

  T2IDX levels_[3];
  Cursor cursor_, saved_;
  tbcvs keys_;
  std::int32_t offset_ = -1;
};

}  // namespace kov
