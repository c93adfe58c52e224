#pragma once
#include <QString>

#include <array>
#include <memory>

#include "display/cTrnNote.h"
#include "texts/Unotes.h"

namespace kov {

class TReferences;
class TRenderTxt;
class TSourceList;
class TTranslations;
class Twtext;

// The verse columns of the three views: set 1 the interlinear window, set 2 the translations
// window, set 3 the search results. Column i (1..10) of every set reads notes through note
// reader i; a translation column reads through the text reader of its translation slot.
class TColumnSets {
 public:
  static constexpr int kSets = 3;
  static constexpr int kColumns = 10;
  using Names = std::array<std::array<QString, kColumns>, kSets>;

  // `translations` and `refs` are not owned and may be null (no translation readers; verse-block
  // notes then find no serial verse numbers).
  TColumnSets(Twtext& layout, TRenderTxt& render, TTranslations* translations, const QString& prgDir,
              const QString& notesDir, TReferences* refs = nullptr);
  TColumnSets(const TColumnSets&) = delete;
  TColumnSets& operator=(const TColumnSets&) = delete;

  // Set 1..3, column 1..10; throws DisplayRangeError otherwise.
  TtrnNote& column(int set, int i);
  Tnotes& notes(int i);

  // Shows source entry `entryNumber` in a column (throws TextRangeError for an entry the list
  // does not hold; the column is then unchanged). A translation entry also becomes the
  // column's translation slot; leading lines skipped so far are shown again.
  void assign(int set, int i, int entryNumber, const TSourceList& list);
  // Every column from stored source names. A name the list does not know, or an empty one,
  // gives entry 1: the first translation, or the empty column when there is none.
  void assignByNames(const Names& names, const TSourceList& list);
  // The source names shown, to be stored ("" for an empty column).
  Names names() const;

  // Points the note readers of the set's verse-block columns at their collections again; the
  // readers are shared by the three sets, so a view calls this before it walks its columns.
  void prepareWalk(int set);

 private:
  void bindNotes(int set, int i);

  TTranslations* translations_;
  QString notesDir_;
  TReferences* refs_;
  std::array<std::unique_ptr<Tnotes>, kColumns> notes_;
  std::array<std::array<std::unique_ptr<TtrnNote>, kColumns>, kSets> columns_;
  std::array<std::array<int, kColumns>, kSets> blockSizes_{};
};

}  // namespace kov
