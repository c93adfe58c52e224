#pragma once
#include <QString>
#include <QStringList>

#include <array>
#include <memory>

#include "db/cCalcPos.h"
#include "texts/UWordGP.h"

namespace kov {

// The translations of the program folder: up to ten folders "<name>.t", each opened into its
// slot (1..10) with a verse index and a text reader. Found once at start-up.
class TTranslations {
 public:
  static constexpr int kSlots = 10;

  TTranslations();

  // The names of the "*.t" folders of the program folder, the first ten in listing order.
  static QStringList find(const QString& prgDir);

  // Finds the translations and opens each. Returns the log lines of the opening
  // ("init calcpos error: n", "<name> initialized.").
  QStringList open(const QString& prgDir);

  const QStringList& names() const { return names_; }
  int count() const { return int(names_.size()); }
  // Slot 1..10; the objects of empty slots exist too.
  TCalcpos& calc(int slot) { return *calcs_.at(std::size_t(slot - 1)); }
  TWordGP& reader(int slot) { return *readers_.at(std::size_t(slot - 1)); }
  bool initialized(int slot) const { return ready_.at(std::size_t(slot - 1)); }
  // The description of a translation: the first line of its book table file.
  QString description(int slot) const;

 private:
  QStringList names_;
  std::array<std::unique_ptr<TCalcpos>, kSlots> calcs_;
  std::array<std::unique_ptr<TWordGP>, kSlots> readers_;
  std::array<bool, kSlots> ready_{};
};

}  // namespace kov
