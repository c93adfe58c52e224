#include "texts/TSourceList.h"

#include <algorithm>
#include <string>

#include "core/ProgramFolder.h"
#include "texts/UWordGP.h"
#include "texts/cTranslations.h"

namespace kov {

void TSourceList::build(const TTranslations& translations, const std::vector<TNoteSource>& notes) {
  entries_.clear();
  const int shown = std::min(translations.count(), int(TTranslations::kSlots));
  for (int slot = 1; slot <= shown; ++slot) {
    const QString& name = translations.names()[slot - 1];
    entries_.push_back({name, 'T', name + QStringLiteral("  ") + translations.description(slot), 50});
  }
  entries_.push_back({QString(), '-', QString(), 50});
  firstNote_ = count();
  for (const TNoteSource& s : notes) {
    if (count() >= kMaxEntries) break;
    if (s.kind != 'N' && s.kind != 'V') continue;
    entries_.push_back({s.name, s.kind, s.name, s.blockSize});
  }
  if (currentNotes_.isEmpty() && count() > firstNote_) currentNotes_ = entries_[std::size_t(firstNote_)].name;
}

const TSourceEntry& TSourceList::entry(int n) const {
  if (n < 1 || n > kMaxEntries || n > count())
    throw TextRangeError("source entry " + std::to_string(n) + " outside 1.." + std::to_string(count()));
  return entries_[std::size_t(n - 1)];
}

int TSourceList::findByName(const QString& name) const {
  if (name.isEmpty()) return 0;
  for (int n = 1; n <= count(); ++n)
    if (entries_[std::size_t(n - 1)].name.compare(name, Qt::CaseInsensitive) == 0) return n;
  return 0;
}

QString TSourceList::currentNotesPath(const QString& notesDir) const {
  if (currentNotes_.isEmpty()) return {};
  return withTrailingSlash(notesDir) + currentNotes_;
}

}  // namespace kov
