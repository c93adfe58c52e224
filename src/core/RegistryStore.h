#pragma once
#include <QString>
#include <QStringList>

#include "core/IniFile.h"

namespace kov {

// The program's registry: a tree of keys below one root folder. A key that holds
// values is one ini file named after the key; a key that holds sub-keys is a folder
// ("EditInfo\WL\NA" is the file EditInfo/WL/NA). Key paths take '\' or '/' between
// their parts and are matched without case, as registry keys are.
class RegistryStore {
 public:
  // `root` is the folder that stands for HKEY_CURRENT_USER\Software\KOV2.
  explicit RegistryStore(QString root);

  // $XDG_CONFIG_HOME/KOV2/, or ~/.config/KOV2/ when the variable is unset.
  static QString defaultRoot();

  const QString& root() const { return root_; }

  // The file of a key, with existing parts found whatever their case. Empty for a
  // path that would leave the root (empty, "." or ".." parts).
  QString filePath(const QString& key) const;

  bool keyExists(const QString& key) const;
  // Names of the sub-keys of `key` (the root when empty), sorted without case.
  QStringList subKeys(const QString& key = {}) const;
  // Removes a key and everything below it; a missing key is success.
  bool eraseKey(const QString& key, QString* error = nullptr);

  // Opens a key's values for reading and writing (IniFile::save writes them).
  // A missing key opens empty and is created by its first save. Returns false
  // for an invalid path or an unreadable file; `out` is bound to the path anyway.
  bool open(const QString& key, IniFile& out, QString* error = nullptr) const;

 private:
  QString root_;
};

}  // namespace kov
