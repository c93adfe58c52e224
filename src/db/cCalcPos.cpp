#include "db/cCalcPos.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

#include "core/AtomicFile.h"
#include "core/FileLookup.h"
#include "core/ProgramFolder.h"

namespace kov {

namespace {

constexpr int kChapterRecordSize = 7;

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string trimmed(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

std::optional<long> parseInt(const std::string& text) {
  const std::string t = trimmed(text);
  long v = 0;
  const char* end = t.data() + t.size();
  auto [p, ec] = std::from_chars(t.data(), end, v);
  if (t.empty() || ec != std::errc() || p != end) return std::nullopt;
  return v;
}

// Lines of a ".bk" file; CR before LF is dropped.
std::vector<std::string> splitLines(const QByteArray& data) {
  std::vector<std::string> lines;
  std::string cur;
  for (char c : data) {
    if (c == '\n') {
      if (!cur.empty() && cur.back() == '\r') cur.pop_back();
      lines.push_back(std::move(cur));
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  if (!cur.empty()) {
    if (cur.back() == '\r') cur.pop_back();
    lines.push_back(std::move(cur));
  }
  return lines;
}

void putInt32(QByteArray& out, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.append(static_cast<char>((u >> (8 * i)) & 0xFF));
}

std::int32_t getInt32(const unsigned char* p) {
  const std::uint32_t u = std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) |
                          (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
  return static_cast<std::int32_t>(u);
}

const Tbk_rec kEmptyBook{};

}  // namespace

std::string normalizeBookCode(std::string code) {
  if (code == "LUC") code = "LUK";
  return code;
}

// ---- ".bk" -------------------------------------------------------------------------

bool parseBk(const QByteArray& data, TbookTable& out, QString* error) {
  out = TbookTable{};
  const std::vector<std::string> lines = splitLines(data);
  std::size_t i = 0;
  auto fail = [&](const QString& what) {
    if (error) *error = what;
    return false;
  };
  auto lineNo = [&](std::size_t idx) { return QStringLiteral("line %1: ").arg(idx + 1); };

  // Blank lines before the header are tolerated: they carry nothing and would
  // otherwise shift every field of the file by one.
  while (i < lines.size() && trimmed(lines[i]).empty()) ++i;
  while (i < lines.size() && !lines[i].empty() && lines[i][0] == '*') {
    const QString line = QString::fromLatin1(lines[i].data(), qsizetype(lines[i].size()));
    if (out.headerLines.size() < TCalcpos::MaxHeaderLines) out.headerLines << line;
    if (line.size() >= 2 && line[1] == QLatin1Char('V') &&
        out.variantNames.size() < TCalcpos::MaxVariants)
      out.variantNames << line.mid(2);
    ++i;
    while (i < lines.size() && trimmed(lines[i]).empty()) ++i;
  }

  auto need = [&](std::size_t count, const char* what) -> bool {
    if (i + count <= lines.size()) return true;
    fail(QStringLiteral("file ends early, %1 incomplete").arg(QLatin1String(what)));
    return false;
  };

  if (!need(5, "header record")) return false;
  out.header.Bkn = lines[i];
  out.header.Bka = lines[i + 1].substr(0, 5);
  out.header.Bks = trimmed(lines[i + 2]).substr(0, 3);
  const auto n = parseInt(lines[i + 3]);
  if (!n) return fail(lineNo(i + 3) + QStringLiteral("number of books expected"));
  if (*n < 0 || *n > TCalcpos::MaxBooks)
    return fail(lineNo(i + 3) + QStringLiteral("%1 books, at most %2 allowed")
                                    .arg(*n)
                                    .arg(TCalcpos::MaxBooks));
  out.header.testament = lines[i + 4].empty() ? ' ' : lines[i + 4][0];
  i += 5;

  for (long b = 1; b <= *n; ++b) {
    if (!need(5, "book record")) return false;
    Tbk_rec rec;
    if (trimmed(lines[i]).empty())
      return fail(lineNo(i) + QStringLiteral("book %1 has no name").arg(b));
    rec.Bkn = lines[i];
    rec.Bka = lines[i + 1].substr(0, 5);
    const std::string code = trimmed(lines[i + 2]);
    if (code.size() != 3)
      return fail(lineNo(i + 2) + QStringLiteral("book code of 3 characters expected"));
    rec.Bks = normalizeBookCode(code);
    const auto chapters = parseInt(lines[i + 3]);
    if (!chapters || *chapters < 0 || *chapters > 255)
      return fail(lineNo(i + 3) + QStringLiteral("number of chapters (0..255) expected"));
    rec.chapters = static_cast<std::uint8_t>(*chapters);
    rec.testament = lines[i + 4].empty() ? ' ' : lines[i + 4][0];
    out.books.push_back(std::move(rec));
    i += 5;
  }
  return true;
}

QByteArray formatBk(const TbookTable& table) {
  QByteArray out;
  auto line = [&](const std::string& s) {
    out.append(s.data(), qsizetype(s.size()));
    out.append("\r\n");
  };
  for (const QString& h : table.headerLines) line(h.toLatin1().toStdString());
  line(table.header.Bkn);
  line(table.header.Bka);
  line(table.header.Bks);
  line(std::to_string(table.books.size()));
  line(std::string(1, table.header.testament));
  for (const Tbk_rec& b : table.books) {
    line(b.Bkn);
    line(b.Bka);
    line(b.Bks);
    line(std::to_string(b.chapters));
    line(std::string(1, b.testament));
  }
  return out;
}

bool writeBkFile(const QString& path, const TbookTable& table, QString* error) {
  return writeFileAtomic(path, formatBk(table), error);
}

// ---- ".gdi" ------------------------------------------------------------------------

bool parseGdi(const QByteArray& data, std::vector<Tch_rec>& out, QString* error) {
  out.clear();
  auto fail = [&](const QString& what) {
    out.clear();
    if (error) *error = what;
    return false;
  };
  if (data.size() % kChapterRecordSize != 0)
    return fail(QStringLiteral("size %1 is not a whole number of 7-byte records").arg(data.size()));
  const qsizetype count = data.size() / kChapterRecordSize;
  if (count > TCalcpos::MaxChapterRecords)
    return fail(QStringLiteral("%1 chapter records, at most %2 allowed")
                    .arg(count)
                    .arg(TCalcpos::MaxChapterRecords));
  const auto* p = reinterpret_cast<const unsigned char*>(data.constData());
  out.reserve(std::size_t(count));
  for (qsizetype r = 0; r < count; ++r, p += kChapterRecordSize) {
    Tch_rec rec{p[0], p[1], p[2], getInt32(p + 3)};
    if (rec.book < 1 || rec.book > TCalcpos::MaxBooks)
      return fail(QStringLiteral("record %1: book number %2 out of range").arg(r).arg(rec.book));
    if (rec.position < 0 || rec.position >= TCalcpos::SentinelPosition)
      return fail(QStringLiteral("record %1: position %2 out of range").arg(r).arg(rec.position));
    // The position search relies on ascending order.
    if (!out.empty() && rec.position < out.back().position)
      return fail(QStringLiteral("record %1: position %2 before the previous record's")
                      .arg(r)
                      .arg(rec.position));
    out.push_back(rec);
  }
  return true;
}

QByteArray formatGdi(const std::vector<Tch_rec>& chapters) {
  QByteArray out;
  out.reserve(qsizetype(chapters.size()) * kChapterRecordSize);
  for (const Tch_rec& c : chapters) {
    out.append(static_cast<char>(c.book));
    out.append(static_cast<char>(c.chapter));
    out.append(static_cast<char>(c.verses));
    putInt32(out, c.position);
  }
  return out;
}

bool writeGdiFile(const QString& path, const std::vector<Tch_rec>& chapters, QString* error) {
  return writeFileAtomic(path, formatGdi(chapters), error);
}

// ---- TCalcpos ----------------------------------------------------------------------

TCalcpos::TCalcpos() : books_(1) { setChapterTable({}); }

const Tbk_rec& TCalcpos::book(int nr) const {
  if (nr < 0 || nr >= static_cast<int>(books_.size())) return kEmptyBook;
  return books_[std::size_t(nr)];
}

const Tch_rec& TCalcpos::chapterRecord(int index) const {
  static const Tch_rec sentinel{0, 0, 0, SentinelPosition};
  if (index < 0 || index >= chapterCount()) return sentinel;
  return chapters_[std::size_t(index)];
}

void TCalcpos::setChapterTable(std::vector<Tch_rec> chapters) {
  chapters_ = std::move(chapters);
  verseSums_.assign(chapters_.size(), 0);
  int sum = 0;
  for (std::size_t i = 0; i < chapters_.size(); ++i) verseSums_[i] = sum += chapters_[i].verses;
  const int last = chapterCount() - 1;
  int power = 1;
  while (power < last) power *= 2;
  firstStep_ = power / 2;
}

int TCalcpos::Init(std::vector<CalcposError>* errors) {
  if (name_.isEmpty()) return 0;
  books_.assign(1, Tbk_rec{});
  headerLines_.clear();
  variantNames_.clear();
  setChapterTable({});

  int failures = 0;
  const QString dir = withTrailingSlash(dir_);
  auto report = [&](CalcposError::Kind kind, const QString& path, const QString& text) {
    ++failures;
    if (errors) errors->push_back({kind, path, text});
  };
  auto readFile = [&](const QString& ext, QByteArray& data) -> bool {
    const QString path = dir + name_ + ext;
    const QString actual = findNoCase(dir, name_ + ext);
    QFile f(actual);
    if (!QFileInfo::exists(actual)) {
      report(CalcposError::NotFound, path, path + QStringLiteral(" - not found!"));
      return false;
    }
    if (!f.open(QIODevice::ReadOnly)) {
      report(CalcposError::Unreadable, path, path + QStringLiteral(" - ") + f.errorString());
      return false;
    }
    data = f.readAll();
    return true;
  };

  QByteArray data;
  if (readFile(QStringLiteral(".gdi"), data)) {
    std::vector<Tch_rec> chapters;
    QString why;
    if (parseGdi(data, chapters, &why))
      setChapterTable(std::move(chapters));
    else
      report(CalcposError::Unreadable, dir + name_ + ".gdi",
             dir + name_ + QStringLiteral(".gdi - ") + why);
  }
  if (readFile(QStringLiteral(".bk"), data)) {
    TbookTable table;
    QString why;
    const bool ok = parseBk(data, table, &why);
    // A damaged ".bk" keeps the books read before the damage.
    books_.assign(1, table.header);
    books_.insert(books_.end(), table.books.begin(), table.books.end());
    headerLines_ = table.headerLines;
    variantNames_ = table.variantNames;
    if (!ok)
      report(CalcposError::Unreadable, dir + name_ + ".bk",
             dir + name_ + QStringLiteral(".bk - ") + why);
  }
  return failures;
}

bool TCalcpos::setTables(const TbookTable& books, const std::vector<Tch_rec>& chapters,
                         QString* error) {
  auto fail = [&](const QString& what) {
    if (error) *error = what;
    return false;
  };
  if (books.books.size() > std::size_t(MaxBooks))
    return fail(QStringLiteral("%1 books, at most %2 allowed").arg(books.books.size()).arg(MaxBooks));
  std::vector<Tch_rec> checked;
  QString why;
  if (!parseGdi(formatGdi(chapters), checked, &why)) return fail(why);
  books_.assign(1, books.header);
  for (const Tbk_rec& b : books.books) {
    books_.push_back(b);
    books_.back().Bks = normalizeBookCode(b.Bks);
  }
  headerLines_ = books.headerLines.mid(0, MaxHeaderLines);
  variantNames_ = books.variantNames.mid(0, MaxVariants);
  setChapterTable(std::move(checked));
  return true;
}

void TCalcpos::takeBook(int nr) {
  const Tbk_rec& b = book(nr);
  bks_ = b.Bks;
  bka_ = b.Bka;
  bkn_ = b.Bkn;
}

void TCalcpos::takeRecord(int index) {
  const Tch_rec& r = chapters_[std::size_t(index)];
  bkCr_ = index;
  bnr_ = r.book;
  takeBook(bnr_);
  chapter_ = r.chapter;
  verseChapter_ = r.verses;
  verseCount_ = verseSums_[std::size_t(index)];
}

void TCalcpos::setBnr(int bookNr) {
  bnr_ = bookNr;
  // Only books the table holds count as found; an empty slot is not a book.
  found_ = bookNr >= 1 && bookNr <= bookCount();
  if (found_) takeBook(bookNr);
}

void TCalcpos::setBks(const std::string& code) {
  const std::string wanted = normalizeBookCode(upper(code));
  nt_ = false;
  int match = 0;
  for (int i = 1; i <= bookCount(); ++i) {
    if (books_[std::size_t(i)].Bks == "MAT") nt_ = true;
    if (books_[std::size_t(i)].Bks == wanted) {
      match = i;
      break;
    }
  }
  found_ = match != 0;
  bnr_ = found_ ? match : 1;
  takeBook(bnr_);
  if (!found_) bks_ = wanted;
}

void TCalcpos::setChapter(int chapter) {
  chapter_ = chapter;
  bkCr_ = -1;
  for (int i = 0; i < chapterCount(); ++i) {
    const Tch_rec& r = chapters_[std::size_t(i)];
    if (r.book == bnr_ && r.chapter == chapter) {
      bkCr_ = i;
      break;
    }
  }
  if (bkCr_ < 0 && chapters_.empty()) {
    verseChapter_ = 0;
    position_ = 0;
    verseCount_ = 0;
    return;
  }
  const int idx = bkCr_ >= 0 ? bkCr_ : chapterCount() - 1;
  verseChapter_ = chapters_[std::size_t(idx)].verses;
  position_ = chapters_[std::size_t(idx)].position;
  verseCount_ = verseSums_[std::size_t(idx)];
}

void TCalcpos::setPosition(std::int32_t position) {
  if (chapters_.empty()) {
    found_ = false;
    return;
  }
  const int n = chapterCount();
  int idx = 0;
  for (int step = firstStep_; step > 0; step /= 2)
    if (idx + step < n && chapters_[std::size_t(idx + step)].position <= position) idx += step;
  // Halving from the stored first step cannot reach the last record when its index is
  // a power of two; finish the walk so that record is found too.
  while (idx + 1 < n && chapters_[std::size_t(idx + 1)].position <= position) ++idx;
  takeRecord(idx);
  found_ = true;
}

void TCalcpos::setBkCr(int index) {
  if (index < 0 || index >= chapterCount()) {
    bkCr_ = -1;
    return;
  }
  takeRecord(index);
  position_ = chapters_[std::size_t(index)].position;
}

}  // namespace kov
