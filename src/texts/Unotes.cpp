#include "texts/Unotes.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/AtomicFile.h"
#include "core/FileLookup.h"
#include "core/ProgramFolder.h"
#include "db/References.h"
#include "texts/NoteText.h"

namespace kov {

namespace {

QString fiveDigits(int v) { return QStringLiteral("%1").arg(v % 100000, 5, 10, QLatin1Char('0')); }
QString twoDigits(int v) { return QStringLiteral("%1").arg(v % 100, 2, 10, QLatin1Char('0')); }

bool allDigits(const QString& s, qsizetype from, qsizetype count) {
  if (s.size() < from + count) return false;
  for (qsizetype i = from; i < from + count; ++i)
    if (s[i] < QLatin1Char('0') || s[i] > QLatin1Char('9')) return false;
  return true;
}

bool readLines(const QString& path, QStringList& lines, QString* error) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    if (error) *error = path + QStringLiteral(": ") + f.errorString();
    return false;
  }
  lines = splitNoteLines(decodeNoteFile(f.readAll()));
  return true;
}

QByteArray joinLines(const QStringList& lines) {
  QByteArray out;
  for (const QString& l : lines) {
    out += l.toUtf8();
    out += "\r\n";
  }
  return out;
}

}  // namespace

TNoteCollectionInfo probeNoteCollection(const QString& folder) {
  return noteCollectionInfo(QDir(folder).entryList(QDir::Files, QDir::Name));
}

TNoteCollectionInfo noteCollectionInfo(const QStringList& files) {
  TNoteCollectionInfo info;
  if (!files.isEmpty() && !files[0].isEmpty()) info.kind = files[0][0].toLatin1();
  if (files.size() >= 2 && allDigits(files[1], 1, 5)) {
    const int b = files[1].mid(1, 5).toInt();
    if (b > 0) info.blockSize = b;
  }
  return info;
}

QString noteBookFolder(const std::string& bookCode) {
  QString code = QString::fromLatin1(bookCode.c_str()).toUpper();
  if (code == QLatin1String("LUK")) code = QStringLiteral("LUC");
  return code;
}

QString convertBlockEscapes(const QString& text) {
  QString out;
  bool bold = false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == QLatin1Char('\\') && i + 1 < text.size() &&
        (text[i + 1] == QLatin1Char('#') || text[i + 1] == QLatin1Char('\\'))) {
      out += QChar(NoteBold);
      bold = !bold;
      ++i;
    } else if (c == QLatin1Char('{') || c == QLatin1Char('}')) {
      out += QChar(NoteItalic);
    } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
      if (bold) out += QChar(NoteBold);
      bold = false;
      out += c;
    } else {
      out += c;
    }
  }
  return out;
}

void Tnotes::setChapterCollection(const QString& folder) {
  setOpen(false);
  kind_ = 'N';
  name_.clear();
  refs_ = nullptr;
  setDBDir(folder);
  dbDirW_ = dbDir_;
}

void Tnotes::setBlockCollection(const QString& notesDir, const QString& name, char kind,
                                int blockSize, TReferences* refs) {
  setOpen(false);
  kind_ = kind;
  name_ = name;
  blockSize_ = blockSize > 0 ? blockSize : 50;
  refs_ = refs;
  setDBDir(notesDir);
  dbDirW_ = dbDir_;
}

void Tnotes::setDBDir(const QString& dir) { dbDir_ = withTrailingSlash(dir); }
void Tnotes::setDBDirW(const QString& dir) { dbDirW_ = withTrailingSlash(dir); }

QString Tnotes::keyText() const { return fiveDigits(std::max(readKey(), 0)); }

int Tnotes::readKey() const {
  if (kind_ == 'N') return ref_.verse;
  const int s = refs_ ? refs_->serialVerse(ref_) : 0;
  return s > 0 ? s % 100000 : -1;
}

QString Tnotes::notePath() const {
  if (kind_ == 'N') {
    const QString book = findNoCase(dbDir_, noteBookFolder(ref_.Bks));
    return findNoCase(withTrailingSlash(book), fiveDigits(ref_.chapter) + QStringLiteral(".vs"));
  }
  const int s = refs_ ? refs_->serialVerse(ref_) : 0;
  if (s <= 0) return {};
  const QString folder = findNoCase(dbDir_, name_ + twoDigits(s / 3000 * 3));
  return findNoCase(withTrailingSlash(folder),
                    QString(QLatin1Char(kind_)) + fiveDigits(s / blockSize_ * blockSize_));
}

int Tnotes::markerKey(const QString& line) const {
  if (!allDigits(line, 0, 5)) return -1;
  if (kind_ == 'N' && !line.startsWith(QLatin1String("00"))) return -1;
  return line.left(5).toInt();
}

void Tnotes::setOpen(bool open) {
  if (!open) {
    open_ = false;
    openPath_.clear();
    lines_.clear();
    cursor_ = 0;
    lastKey_ = -1;
    return;
  }
  if (kind_ == 'N') {
    if (ref_.Bks.empty()) return setOpen(false);
    // The book folder is made even when only reading, so a later save finds it.
    const QString book = findNoCase(dbDir_, noteBookFolder(ref_.Bks));
    if (!QFileInfo(book).isDir()) QDir().mkpath(dbDir_ + noteBookFolder(ref_.Bks));
  }
  const QString path = notePath();
  if (open_ && path == openPath_) return;
  setOpen(false);
  fileExists_ = !path.isEmpty() && QFileInfo(path).isFile();
  if (fileExists_ && readLines(path, lines_, nullptr)) {
    open_ = true;
    openPath_ = path;
  }
}

bool Tnotes::ReadNote() {
  note_.clear();
  found_ = false;
  difVs = 0;
  if (!open_ || ref_.verse <= 0) return false;
  const int key = readKey();
  if (key < 0) return false;
  // Walks read forward; a request behind the last one starts again from the top.
  if (key < lastKey_) cursor_ = 0;
  lastKey_ = key;
  for (; cursor_ < lines_.size(); ++cursor_) {
    const int k = markerKey(lines_[cursor_]);
    difVs = k >= 0 ? k - key : 0;
    if (k < 0) continue;
    if (kind_ == 'N') currentVerse_ = k;
    if (k >= key) break;
  }
  if (cursor_ >= lines_.size() || markerKey(lines_[cursor_]) != key) return false;
  found_ = true;
  foundRef_ = ref_;
  for (++cursor_; cursor_ < lines_.size(); ++cursor_) {
    const int k = markerKey(lines_[cursor_]);
    if (k > key) break;
    if (k < 0) note_ += lines_[cursor_] + QLatin1Char('\r');
  }
  if (note_.endsWith(QLatin1Char('\r'))) note_.chop(1);
  if (kind_ != 'N') note_ = convertBlockEscapes(note_);
  if (note_.isEmpty()) note_ = QStringLiteral("\r");
  return true;
}

bool Tnotes::SaveNote(const QString& text) {
  error_.clear();
  auto fail = [&](const QString& what) {
    error_ = what;
    return false;
  };
  if (kind_ != 'N') return fail(QStringLiteral("verse-block notes cannot be edited"));
  if (ref_.verse <= 0) return fail(QStringLiteral("no verse to save"));
  if (ref_.Bks.empty()) return fail(QStringLiteral("no book to save"));
  setOpen(false);  // saving works on fresh files and ends with them closed

  const int key = ref_.verse;
  QString bookDir = findNoCase(dbDirW_, noteBookFolder(ref_.Bks));
  if (!QFileInfo(bookDir).isDir()) {
    bookDir = dbDirW_ + noteBookFolder(ref_.Bks);
    if (!QDir().mkpath(bookDir)) return fail(bookDir + QStringLiteral(": folder cannot be created"));
  }
  const QString path =
      findNoCase(withTrailingSlash(bookDir), fiveDigits(ref_.chapter) + QStringLiteral(".vs"));
  QStringList old;
  if (QFileInfo::exists(path) && !readLines(path, old, &error_)) return false;

  QStringList out;
  qsizetype i = 0;
  while (i < old.size()) {
    const int k = markerKey(old[i]);
    if (k >= key) break;
    out << old[i++];
  }
  if (i < old.size() && markerKey(old[i]) == key) {
    out << old[i++];
    while (i < old.size() && markerKey(old[i]) <= key) ++i;  // the old note
  } else {
    out << fiveDigits(key);
  }
  for (const QString& line : splitNoteLines(text)) {
    // A note line that reads as a marker would split the note on the next read.
    out << (markerKey(line) >= 0 ? QLatin1Char(' ') + line : line);
  }
  while (i < old.size()) out << old[i++];

  if (!writeFileAtomic(path, joinLines(out), &error_)) return false;

  const QString logPath = findNoCase(dbDirW_, QStringLiteral("log.txt"));
  QFile log(logPath);
  const QString line = QString::fromLatin1(ref_.Bks.c_str()) + QLatin1Char('\t') +
                       QString::number(ref_.chapter) + QLatin1Char('\t') +
                       QString::number(ref_.verse) + QLatin1Char('\t') +
                       QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) +
                       QLatin1Char('\t') + text + QStringLiteral("\r\n");
  if (!log.open(QIODevice::WriteOnly | QIODevice::Append) || log.write(line.toUtf8()) < 0)
    return fail(QStringLiteral("The note was saved, but ") + logPath + QStringLiteral(": ") +
                log.errorString());
  return true;
}

}  // namespace kov
