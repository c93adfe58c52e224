#include "texts/cTranslations.h"

#include <QDir>

#include "core/ProgramFolder.h"

namespace kov {

TTranslations::TTranslations() {
  for (int i = 0; i < kSlots; ++i) {
    calcs_[std::size_t(i)] = std::make_unique<TCalcpos>();
    readers_[std::size_t(i)] = std::make_unique<TWordGP>(i + 1);
  }
}

QStringList TTranslations::find(const QString& prgDir) {
  QStringList names;
  const QStringList dirs = QDir(prgDir).entryList({QStringLiteral("*.t")}, QDir::Dirs | QDir::NoDotAndDotDot,
                                                 QDir::Name | QDir::IgnoreCase);
  for (const QString& d : dirs) {
    if (names.size() >= kSlots) break;
    names << d.left(d.size() - 2);
  }
  return names;
}

QStringList TTranslations::open(const QString& prgDir) {
  QStringList log;
  names_ = find(prgDir);
  ready_.fill(false);
  for (int slot = 1; slot <= count(); ++slot) {
    const QString& name = names_[slot - 1];
    const QString dir = withTrailingSlash(prgDir) + name + QStringLiteral(".t/");
    TCalcpos& c = calc(slot);
    c.setDir(dir);
    c.setName(name);
    const int failures = c.Init();
    if (failures != 0) log << QStringLiteral("init calcpos error: %1").arg(failures);
    TWordGP& r = reader(slot);
    r.setDir(dir);
    r.setName(name);
    r.setCalcpos(&c);
    if (c.bookCount() > 0) r.CurRef.Bks = c.book(1).Bks;
    ready_[std::size_t(slot - 1)] = r.init();
    if (ready_[std::size_t(slot - 1)]) log << name + QStringLiteral(" initialized.");
  }
  return log;
}

QString TTranslations::description(int slot) const {
  if (slot < 1 || slot > count()) return {};
  const TCalcpos& c = *calcs_[std::size_t(slot - 1)];
  return QString::fromLatin1(c.description().c_str());
}

}  // namespace kov
