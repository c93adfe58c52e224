#include "display/TColumnSets.h"

#include <string>

#include "core/ProgramFolder.h"
#include "display/RenderErrors.h"
#include "texts/TSourceList.h"
#include "texts/cTranslations.h"

namespace kov {

TColumnSets::TColumnSets(Twtext& layout, TRenderTxt& render, TTranslations* translations, const QString& prgDir,
                         const QString& notesDir, TReferences* refs)
    : translations_(translations), notesDir_(withTrailingSlash(notesDir)), refs_(refs) {
  const QString prg = withTrailingSlash(prgDir);
  for (int i = 1; i <= kColumns; ++i) notes_[std::size_t(i - 1)] = std::make_unique<Tnotes>(i);
  for (int set = 1; set <= kSets; ++set) {
    for (int i = 1; i <= kColumns; ++i) {
      auto c = std::make_unique<TtrnNote>(i, layout, render);
      c->notes = notes_[std::size_t(i - 1)].get();
      c->prgDir = prg;
      c->notesDir = notesDir_;
      columns_[std::size_t(set - 1)][std::size_t(i - 1)] = std::move(c);
    }
  }
}

TtrnNote& TColumnSets::column(int set, int i) {
  if (set < 1 || set > kSets || i < 1 || i > kColumns)
    throw DisplayRangeError("verse column " + std::to_string(set) + "/" + std::to_string(i) + " out of range");
  return *columns_[std::size_t(set - 1)][std::size_t(i - 1)];
}

Tnotes& TColumnSets::notes(int i) {
  if (i < 1 || i > kColumns) throw DisplayRangeError("note reader " + std::to_string(i) + " out of range");
  return *notes_[std::size_t(i - 1)];
}

void TColumnSets::assign(int set, int i, int entryNumber, const TSourceList& list) {
  TtrnNote& c = column(set, i);
  const TSourceEntry& e = list.entry(entryNumber);  // throws before anything changes
  c.kind = e.kind;
  c.entry = entryNumber;
  c.name = e.name;
  c.skipLines = 0;
  if (e.kind == 'T') {
    c.slot = entryNumber;
    c.reader = translations_ ? &translations_->reader(entryNumber) : nullptr;
  }
  blockSizes_[std::size_t(set - 1)][std::size_t(i - 1)] = e.blockSize;
  bindNotes(set, i);
}

void TColumnSets::assignByNames(const Names& names, const TSourceList& list) {
  for (int set = 1; set <= kSets; ++set) {
    for (int i = 1; i <= kColumns; ++i) {
      const int found = list.findByName(names[std::size_t(set - 1)][std::size_t(i - 1)]);
      if (found > 0) {
        assign(set, i, found, list);
      } else if (list.count() > 0) {
        assign(set, i, 1, list);
      } else {
        TtrnNote& c = column(set, i);
        c.kind = '-';
        c.entry = 0;
        c.name.clear();
        c.skipLines = 0;
      }
    }
  }
}

TColumnSets::Names TColumnSets::names() const {
  Names out;
  for (std::size_t s = 0; s < std::size_t(kSets); ++s)
    for (std::size_t i = 0; i < std::size_t(kColumns); ++i) {
      const TtrnNote& c = *columns_[s][i];
      out[s][i] = c.kind == '-' ? QString() : c.name;
    }
  return out;
}

void TColumnSets::prepareWalk(int set) {
  for (int i = 1; i <= kColumns; ++i) bindNotes(set, i);
}

void TColumnSets::bindNotes(int set, int i) {
  // Chapter-note columns point their reader at the collection whenever they open it.
  TtrnNote& c = column(set, i);
  if (c.kind != 'V' || !c.notes) return;
  const int block = blockSizes_[std::size_t(set - 1)][std::size_t(i - 1)];
  c.notes->setBlockCollection(notesDir_, c.name, c.kind, block, refs_);
}

}  // namespace kov
