#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace kov {

// One store of named sections of key-value pairs, kept as a text ini file.
// Section and key names compare without case; a name keeps the spelling it was
// first given. Typed reads return the caller's default for a missing or malformed
// value: a missing value is never an error.
//
// Changes are remembered and replayed on save over the file as it is on disk at
// that moment, under a lock file beside it. So several running copies that write
// the same store (a shared preset) each keep what they wrote and lose nothing the
// other wrote, and the file itself is always whole.
class IniFile {
 public:
  IniFile() = default;
  explicit IniFile(QString path);

  const QString& path() const { return path_; }

  // Reads the file. A missing file is an empty store; a file that exists but
  // cannot be read (a folder, say) gives false and *error.
  bool load(QString* error = nullptr);
  // Replaces the content with the parsed text (no change is recorded).
  void parse(const QByteArray& text);
  QByteArray serialize() const;

  // Writes the recorded changes into the file (see above); nothing to write is
  // success. On failure the file is left as it was and the changes stay recorded.
  bool save(QString* error = nullptr);
  bool isModified() const { return !changes_.empty(); }
  // How long save waits for another writer's lock, in milliseconds.
  void setLockTimeout(int ms) { lockTimeoutMs_ = ms; }

  bool sectionExists(const QString& section) const;
  bool valueExists(const QString& section, const QString& key) const;
  QStringList sections() const;
  QStringList keys(const QString& section) const;
  std::optional<QString> value(const QString& section, const QString& key) const;

  void setValue(const QString& section, const QString& key, const QString& value);
  void deleteKey(const QString& section, const QString& key);
  void eraseSection(const QString& section);

  QString readString(const QString& section, const QString& key, const QString& def) const;
  qint32 readInteger(const QString& section, const QString& key, qint32 def) const;
  bool readBool(const QString& section, const QString& key, bool def) const;
  double readFloat(const QString& section, const QString& key, double def) const;

  void writeString(const QString& section, const QString& key, const QString& value);
  void writeInteger(const QString& section, const QString& key, qint32 value);
  void writeBool(const QString& section, const QString& key, bool value);
  void writeFloat(const QString& section, const QString& key, double value);

  // Value parsers shared with other readers of these texts.
  static std::optional<qint32> parseInteger(const QString& text);
  static std::optional<bool> parseBool(const QString& text);
  static std::optional<double> parseFloat(const QString& text);

 private:
  struct Entry {
    QString key;
    QString value;
  };
  struct Section {
    QString name;
    std::vector<Entry> entries;
  };
  struct Change {
    enum Kind { Set, DeleteKey, EraseSection } kind;
    QString section, key, value;
  };

  const Section* findSection(const QString& name) const;
  Section* findSection(const QString& name);
  void apply(const Change& c);
  void record(Change c);

  QString path_;
  std::vector<Section> sections_;
  std::vector<Change> changes_;
  int lockTimeoutMs_ = 10000;
};

}  // namespace kov
