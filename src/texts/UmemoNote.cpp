#include "texts/UmemoNote.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/AtomicFile.h"
#include "core/FileLookup.h"
#include "core/ProgramFolder.h"
#include "texts/NoteText.h"

namespace kov {

namespace {

QString digits(int v, int width, int mod) {
  return QStringLiteral("%1").arg(v % mod, width, 10, QLatin1Char('0'));
}

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

}  // namespace

std::vector<TMemoRun> memoLineToRuns(const QString& line, TMemoMarkupState& st) {
  std::vector<TMemoRun> runs;
  bool strong = false;
  auto put = [&](QChar c) {
    const bool green = st.green || strong;
    if (runs.empty() || runs.back().green != green || runs.back().bold != st.bold ||
        runs.back().italic != st.italic)
      runs.push_back({QString(), green, st.bold, st.italic});
    runs.back().text += c;
  };
  const qsizetype n = line.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = line[i];
    const QChar next = i + 1 < n ? line[i + 1] : QChar();
    if (c == QLatin1Char('\\') && next == QLatin1Char('\\')) {
      st.green = !st.green;
      ++i;
    } else if (c == QLatin1Char('\\') && next == QLatin1Char('@')) {
      st.bold = !st.bold;
      ++i;
    } else if (c == QLatin1Char('(') && next == QLatin1Char('\\')) {
      put(c);
      st.italic = true;
      ++i;
    } else if (c == QLatin1Char('\\') && next == QLatin1Char(')')) {
      st.italic = false;
      put(next);
      ++i;
    } else if (!strong && (c == QLatin1Char('G') || c == QLatin1Char('H')) && isDigit(next)) {
      strong = true;
      put(c);
    } else {
      put(c);
      if (strong && isDigit(c) && !isDigit(next)) strong = false;
    }
  }
  return runs;
}

std::vector<TMemoRun> memoLineToRuns(const QString& line) {
  TMemoMarkupState st;
  return memoLineToRuns(line, st);
}

void TmemoNote::setCollection(const QString& root, const QString& folderPrefix,
                              const QString& filePrefix, const QString& extension,
                              int markerWidth) {
  root_ = withTrailingSlash(root);
  folderPrefix_ = folderPrefix.left(6);
  filePrefix_ = filePrefix.left(3);
  ext_ = extension;
  width_ = markerWidth == 5 ? 5 : 7;
  open_ = false;
}

void TmemoNote::setStrongCollection(const QString& prgDir, const QString& name, char language) {
  const QString letter = QString(QChar(QLatin1Char(language)));
  setCollection(withTrailingSlash(prgDir) + name + QStringLiteral(".s"), letter, letter,
                QStringLiteral("txt"), 7);
}

void TmemoNote::setDictionaryCollection(const QString& notesDir, const QString& name, char kind) {
  setCollection(notesDir, name, QString(QLatin1Char(kind)), QString(), 5);
}

QString TmemoNote::folderFor(int key) const {
  return findNoCase(root_, folderPrefix_ + digits(key / 3000 * 3, 2, 100));
}

QString TmemoNote::fileFor(int key) const {
  QString file = filePrefix_ + digits(key / 50 * 50, 5, 100000);
  if (!ext_.isEmpty()) file += QLatin1Char('.') + ext_;
  return findNoCase(withTrailingSlash(folderFor(key)), file);
}

QString TmemoNote::markerFor(int key) const {
  const QString five = digits(key, 5, 100000);
  return width_ == 7 ? QStringLiteral("00") + five : five;
}

int TmemoNote::markerKey(const QString& line) const {
  if (line.size() != width_) return -1;
  for (QChar c : line)
    if (!isDigit(c)) return -1;
  return line.toInt();
}

bool TmemoNote::ShowMemo(int key) {
  found_ = false;
  difVs = 0;
  if (key < 0) return false;
  if (width_ == 7) QDir().mkpath(folderFor(key));
  const QString path = fileFor(key);
  QFile f(path);
  existed_ = QFileInfo(path).isFile();
  open_ = existed_ && f.open(QIODevice::ReadOnly);
  if (!open_) return false;
  const QStringList lines = splitNoteLines(decodeNoteFile(f.readAll()));
  f.close();
  open_ = false;
  const int want = key % 100000;
  qsizetype i = 0;
  for (; i < lines.size(); ++i) {
    const int k = markerKey(lines[i]);
    difVs = k >= 0 ? k - want : 0;
    if (k >= want) break;
  }
  if (i >= lines.size() || markerKey(lines[i]) != want) return false;
  found_ = true;
  TMemoMarkupState st;
  for (++i; i < lines.size(); ++i) {
    const int k = markerKey(lines[i]);
    if (k > want) break;
    if (k >= 0) continue;
    if (doc_) {
      for (const TMemoRun& r : memoLineToRuns(lines[i], st)) doc_->appendRun(r);
      doc_->appendLineBreak();
    }
  }
  return true;
}

bool TmemoNote::SaveMemo(int key) {
  error_.clear();
  if (key < 0 || !doc_) {
    error_ = QStringLiteral("nothing to save");
    return false;
  }
  const QString folder = folderFor(key);
  if (!QDir().mkpath(folder)) {
    error_ = folder + QStringLiteral(": folder cannot be created");
    return false;
  }
  const QString path = fileFor(key);
  QStringList old;
  if (QFileInfo::exists(path)) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
      error_ = path + QStringLiteral(": ") + f.errorString();
      return false;
    }
    old = splitNoteLines(decodeNoteFile(f.readAll()));
  }
  const int want = key % 100000;
  QStringList out;
  qsizetype i = 0;
  while (i < old.size() && markerKey(old[i]) < want) out << old[i++];
  if (i < old.size() && markerKey(old[i]) == want) {
    out << old[i++];
    while (i < old.size() && markerKey(old[i]) <= want) ++i;
  } else {
    out << markerFor(key);
  }
  for (const QString& line : doc_->memoLines())
    out << (markerKey(line) >= 0 ? QLatin1Char(' ') + line : line);
  while (i < old.size()) out << old[i++];

  QByteArray data;
  for (const QString& l : out) data += l.toUtf8() + "\r\n";
  return writeFileAtomic(path, data, &error_);
}

}  // namespace kov
