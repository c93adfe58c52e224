#include "core/IniFile.h"

#include <QFile>

namespace kov {

bool IniFile::load(const QString& path, QString* error) {
  clear();
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    if (error) *error = path + QStringLiteral(": ") + f.errorString();
    return false;
  }
  parse(f.readAll());
  return true;
}

void IniFile::clear() { sections_.clear(); }

void IniFile::parse(const QByteArray& text) {
  clear();
  QByteArray data = text;
  if (data.startsWith("\xEF\xBB\xBF")) data.remove(0, 3);
  Section* current = nullptr;
  for (const QByteArray& raw : data.split('\n')) {
    const QString line = QString::fromUtf8(raw).trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) continue;
    if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
      const QString name = line.mid(1, line.size() - 2).trimmed();
      // A repeated section header continues the earlier section.
      current = const_cast<Section*>(find(name));
      if (!current) {
        sections_.push_back({name, {}});
        current = &sections_.back();
      }
      continue;
    }
    if (!current) continue;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0) continue;
    const QString key = line.left(eq).trimmed();
    if (key.isEmpty()) continue;
    bool known = false;
    for (const auto& e : current->entries)
      if (e.first.compare(key, Qt::CaseInsensitive) == 0) known = true;
    if (!known) current->entries.emplace_back(key, line.mid(eq + 1).trimmed());
  }
}

const IniFile::Section* IniFile::find(const QString& section) const {
  for (const Section& s : sections_)
    if (s.name.compare(section, Qt::CaseInsensitive) == 0) return &s;
  return nullptr;
}

bool IniFile::hasSection(const QString& section) const { return find(section) != nullptr; }

QString IniFile::value(const QString& section, const QString& key, const QString& def) const {
  if (const Section* s = find(section))
    for (const auto& e : s->entries)
      if (e.first.compare(key, Qt::CaseInsensitive) == 0) return e.second;
  return def;
}

std::vector<std::pair<QString, QString>> IniFile::entries(const QString& section) const {
  if (const Section* s = find(section)) return s->entries;
  return {};
}

QStringList IniFile::sections() const {
  QStringList out;
  for (const Section& s : sections_) out << s.name;
  return out;
}

}  // namespace kov
