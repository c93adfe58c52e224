#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace kov {

// A small read-only ini reader for the program folder's plain ini files.
// Sections and keys compare without case; `key=value` lines (key and value trimmed,
// the value kept as text up to the end of the line); lines starting with ';' are
// comments; lines before the first section are ignored. When a key repeats in a
// section, the first one wins. Text is read as UTF-8.
class IniFile {
 public:
  // Reads the file at `path`. A missing or unreadable file leaves the reader empty and
  // returns false (with *error set when given).
  bool load(const QString& path, QString* error = nullptr);
  void parse(const QByteArray& text);
  void clear();

  bool hasSection(const QString& section) const;
  QString value(const QString& section, const QString& key, const QString& def = {}) const;
  // All key/value pairs of a section in file order, keys spelled as in the file.
  std::vector<std::pair<QString, QString>> entries(const QString& section) const;
  QStringList sections() const;

 private:
  struct Section {
    QString name;
    std::vector<std::pair<QString, QString>> entries;
  };
  const Section* find(const QString& section) const;
  std::vector<Section> sections_;
};

}  // namespace kov
