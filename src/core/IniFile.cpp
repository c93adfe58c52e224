#include "core/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <cmath>
#include <limits>

#include "core/AtomicFile.h"

namespace kov {

namespace {

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Values may hold any text; the characters that would break the line format are
// written as backslash escapes. `inKey` also escapes '=' and characters that would
// make a key look like a section or a comment.
QString escape(const QString& s, bool inKey) {
  QString out;
  out.reserve(s.size());
  for (qsizetype i = 0; i < s.size(); ++i) {
    const QChar c = s[i];
    const bool edge = i == 0 || i == s.size() - 1;
    if (c == QLatin1Char('\\')) out += QLatin1String("\\\\");
    else if (c == QLatin1Char('\n')) out += QLatin1String("\\n");
    else if (c == QLatin1Char('\r')) out += QLatin1String("\\r");
    else if (c == QLatin1Char('\t')) out += QLatin1String("\\t");
    else if (c == QLatin1Char(' ') && edge) out += QLatin1String("\\s");
    else if (inKey && (c == QLatin1Char('=') || c == QLatin1Char(']') ||
                       (i == 0 && (c == QLatin1Char('[') || c == QLatin1Char(';') ||
                                   c == QLatin1Char('#')))))
      out += QLatin1Char('\\') + c;
    else out += c;
  }
  return out;
}

QString unescape(QStringView s) {
  QString out;
  out.reserve(s.size());
  for (qsizetype i = 0; i < s.size(); ++i) {
    if (s[i] != QLatin1Char('\\') || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    const QChar n = s[++i];
    if (n == QLatin1Char('n')) out += QLatin1Char('\n');
    else if (n == QLatin1Char('r')) out += QLatin1Char('\r');
    else if (n == QLatin1Char('t')) out += QLatin1Char('\t');
    else if (n == QLatin1Char('s')) out += QLatin1Char(' ');
    else out += n;
  }
  return out;
}

// Index of the first '=' not escaped by a backslash, or -1.
qsizetype findSeparator(QStringView line) {
  for (qsizetype i = 0; i < line.size(); ++i) {
    if (line[i] == QLatin1Char('\\')) ++i;
    else if (line[i] == QLatin1Char('=')) return i;
  }
  return -1;
}

}  // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {}

const IniFile::Section* IniFile::findSection(const QString& name) const {
  for (const Section& s : sections_)
    if (sameName(s.name, name)) return &s;
  return nullptr;
}

IniFile::Section* IniFile::findSection(const QString& name) {
  return const_cast<Section*>(std::as_const(*this).findSection(name));
}

bool IniFile::load(QString* error) {
  sections_.clear();
  changes_.clear();
  const QFileInfo info(path_);
  if (!info.exists()) return true;
  QFile f(path_);
  if (info.isDir() || !f.open(QIODevice::ReadOnly)) {
    if (error) *error = path_ + QStringLiteral(": cannot be read");
    return false;
  }
  parse(f.readAll());
  return true;
}

void IniFile::parse(const QByteArray& text) {
  sections_.clear();
  QString all = QString::fromUtf8(text);
  if (all.startsWith(QChar(0xFEFF))) all.remove(0, 1);
  Section* current = nullptr;
  for (QStringView raw : QStringView(all).split(QLatin1Char('\n'))) {
    const QStringView line = raw.trimmed();
    if (line.isEmpty() || line[0] == QLatin1Char(';') || line[0] == QLatin1Char('#')) continue;
    if (line[0] == QLatin1Char('[')) {
      const qsizetype end = line.lastIndexOf(QLatin1Char(']'));
      if (end < 0) continue;
      const QString name = unescape(line.mid(1, end - 1));
      current = findSection(name);
      if (!current) {
        sections_.push_back({name, {}});
        current = &sections_.back();
      }
      continue;
    }
    const qsizetype eq = findSeparator(line);
    if (!current || eq < 0) continue;  // a key outside a section or a line without '=' is noise
    const QString key = unescape(line.left(eq).trimmed());
    const QString value = unescape(line.mid(eq + 1).trimmed());
    bool seen = false;
    for (const Entry& e : current->entries) seen = seen || sameName(e.key, key);
    if (!seen) current->entries.push_back({key, value});  // the first of duplicates wins
  }
}

QByteArray IniFile::serialize() const {
  QString out;
  for (const Section& s : sections_) {
    if (!out.isEmpty()) out += QLatin1Char('\n');
    out += QLatin1Char('[') + escape(s.name, true) + QLatin1String("]\n");
    for (const Entry& e : s.entries)
      out += escape(e.key, true) + QLatin1Char('=') + escape(e.value, false) + QLatin1Char('\n');
  }
  return out.toUtf8();
}

bool IniFile::save(QString* error) {
  if (changes_.empty()) return true;
  auto fail = [&](const QString& why) {
    if (error) *error = path_ + QStringLiteral(": ") + why;
    return false;
  };
  if (path_.isEmpty()) return fail(QStringLiteral("no file name"));
  const QFileInfo info(path_);
  if (!QDir().mkpath(info.absolutePath())) return fail(QStringLiteral("cannot create its folder"));

  // The lock is hidden beside the file so that it never shows as a store of its own.
  QLockFile lock(info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".lock"));
  if (!lock.tryLock(lockTimeoutMs_)) return fail(QStringLiteral("is locked by another writer"));

  IniFile fresh(path_);
  QString why;
  if (!fresh.load(&why)) return fail(QStringLiteral("cannot be read"));
  for (const Change& c : changes_) fresh.apply(c);
  if (!writeFileAtomic(path_, fresh.serialize(), &why)) {
    if (error) *error = why;
    return false;
  }
  sections_ = std::move(fresh.sections_);
  changes_.clear();
  return true;
}

void IniFile::apply(const Change& c) {
  Section* s = findSection(c.section);
  switch (c.kind) {
    case Change::Set: {
      if (!s) {
        sections_.push_back({c.section, {}});
        s = &sections_.back();
      }
      for (Entry& e : s->entries)
        if (sameName(e.key, c.key)) {
          e.value = c.value;
          return;
        }
      s->entries.push_back({c.key, c.value});
      return;
    }
    case Change::DeleteKey:
      if (s) std::erase_if(s->entries, [&](const Entry& e) { return sameName(e.key, c.key); });
      return;
    case Change::EraseSection:
      std::erase_if(sections_, [&](const Section& x) { return sameName(x.name, c.section); });
      return;
  }
}

void IniFile::record(Change c) {
  apply(c);
  changes_.push_back(std::move(c));
}

bool IniFile::sectionExists(const QString& section) const { return findSection(section) != nullptr; }

bool IniFile::valueExists(const QString& section, const QString& key) const {
  return value(section, key).has_value();
}

QStringList IniFile::sections() const {
  QStringList out;
  for (const Section& s : sections_) out << s.name;
  return out;
}

QStringList IniFile::keys(const QString& section) const {
  QStringList out;
  if (const Section* s = findSection(section))
    for (const Entry& e : s->entries) out << e.key;
  return out;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const {
  if (const Section* s = findSection(section))
    for (const Entry& e : s->entries)
      if (sameName(e.key, key)) return e.value;
  return std::nullopt;
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value) {
  record({Change::Set, section, key, value});
}

void IniFile::deleteKey(const QString& section, const QString& key) {
  record({Change::DeleteKey, section, key, {}});
}

void IniFile::eraseSection(const QString& section) { record({Change::EraseSection, section, {}, {}}); }

std::optional<qint32> IniFile::parseInteger(const QString& text) {
  QString t = text.trimmed();
  int base = 10;
  bool negative = false;
  if (t.startsWith(QLatin1Char('-'))) {
    negative = true;
    t.remove(0, 1);
  }
  if (t.startsWith(QLatin1Char('$'))) {
    base = 16;
    t.remove(0, 1);
  } else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
    base = 16;
    t.remove(0, 2);
  }
  if (t.isEmpty() || t.startsWith(QLatin1Char('+')) || t.startsWith(QLatin1Char('-'))) return std::nullopt;
  bool ok = false;
  const qulonglong v = t.toULongLong(&ok, base);
  if (!ok) return std::nullopt;
  if (negative) {
    if (v > 0x80000000ULL) return std::nullopt;
    return static_cast<qint32>(-static_cast<qint64>(v));
  }
  // 32-bit values written unsigned ($FFFFFFFF) read as the same bits.
  if (v > 0xFFFFFFFFULL) return std::nullopt;
  return static_cast<qint32>(static_cast<quint32>(v));
}

std::optional<bool> IniFile::parseBool(const QString& text) {
  const QString t = text.trimmed();
  if (sameName(t, QStringLiteral("true"))) return true;
  if (sameName(t, QStringLiteral("false"))) return false;
  if (const auto v = parseInteger(t)) return *v != 0;
  return std::nullopt;
}

std::optional<double> IniFile::parseFloat(const QString& text) {
  bool ok = false;
  const double v = text.trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(v)) return std::nullopt;
  return v;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
  return value(section, key).value_or(def);
}

qint32 IniFile::readInteger(const QString& section, const QString& key, qint32 def) const {
  const auto v = value(section, key);
  if (!v) return def;
  return parseInteger(*v).value_or(def);
}

bool IniFile::readBool(const QString& section, const QString& key, bool def) const {
  const auto v = value(section, key);
  if (!v) return def;
  return parseBool(*v).value_or(def);
}

double IniFile::readFloat(const QString& section, const QString& key, double def) const {
  const auto v = value(section, key);
  if (!v) return def;
  return parseFloat(*v).value_or(def);
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
  setValue(section, key, value);
}

void IniFile::writeInteger(const QString& section, const QString& key, qint32 value) {
  setValue(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) {
  setValue(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::writeFloat(const QString& section, const QString& key, double value) {
  setValue(section, key, QString::number(value, 'g', std::numeric_limits<double>::max_digits10));
}

}  // namespace kov
