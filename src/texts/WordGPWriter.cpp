#include "texts/WordGPWriter.h"

#include <QDir>
#include <map>
#include <unordered_map>

#include "core/AtomicFile.h"
#include "core/ProgramFolder.h"
#include "texts/UWordGP.h"

namespace kov {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
unsigned char uc(char c) { return static_cast<unsigned char>(c); }

// Whether the reader puts a blank between words p and q.
bool readerAddsBlank(const std::string& p, const std::string& q) {
  return !(TWordGP::isClosing(uc(q.front())) || TWordGP::isOpening(uc(p.back())));
}

std::vector<std::string> splitChunk(std::string_view chunk) {
  std::size_t b = 0, e = chunk.size();
  while (b < e && TWordGP::isPunctuation(uc(chunk[b]))) ++b;
  while (e > b && TWordGP::isPunctuation(uc(chunk[e - 1]))) --e;
  std::vector<std::string> raw;
  for (std::size_t i = 0; i < b; ++i) raw.emplace_back(1, chunk[i]);
  if (e > b) raw.emplace_back(chunk.substr(b, e - b));
  for (std::size_t i = e; i < chunk.size(); ++i) raw.emplace_back(1, chunk[i]);
  // Pieces written without a blank between them must stay without one.
  std::vector<std::string> out;
  for (std::string& piece : raw) {
    if (!out.empty() && readerAddsBlank(out.back(), piece))
      out.back() += piece;
    else
      out.push_back(std::move(piece));
  }
  return out;
}

void putLE16(QByteArray& out, std::uint16_t v) {
  out.append(static_cast<char>(v & 0xFF));
  out.append(static_cast<char>(v >> 8));
}

void putLE32(QByteArray& out, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.append(static_cast<char>((u >> (8 * i)) & 0xFF));
}

}  // namespace

std::vector<std::string> splitVerseText(std::string_view text) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && isBlank(text[i])) ++i;
    std::size_t j = i;
    while (j < text.size() && !isBlank(text[j])) ++j;
    if (j == i) break;
    std::vector<std::string> pieces = splitChunk(text.substr(i, j - i));
    if (!words.empty() && !readerAddsBlank(words.back(), pieces.front())) {
      // A blank stood here: carry it in one of the two words.
      if (TWordGP::isOpening(uc(words.back().back())))
        pieces.front().insert(pieces.front().begin(), ' ');
      else
        words.back() += ' ';
    }
    for (std::string& p : pieces) words.push_back(std::move(p));
    i = j;
  }
  return words;
}

std::optional<TWordGPData> buildWordGP(const std::vector<TWgpVerse>& verses,
                                       const TbookTable& names, QString* error) {
  auto fail = [&](const QString& what) -> std::optional<TWordGPData> {
    if (error) *error = what;
    return std::nullopt;
  };
  TWordGPData d;
  d.books.header = names.header;
  d.books.headerLines = names.headerLines;
  d.books.variantNames = names.variantNames;

  std::unordered_map<std::string, int> numbers;
  std::vector<std::string> forms{std::string()};  // word 0: empty
  numbers.emplace(std::string(), 0);

  d.gd.push_back(0);  // header word
  std::map<std::string, int> bookNumbers;
  std::string curBook;
  int curChapter = -1;
  for (std::size_t vi = 0; vi < verses.size(); ++vi) {
    const TWgpVerse& v = verses[vi];
    const QString where = QStringLiteral("verse %1 (%2 %3:%4): ")
                              .arg(vi)
                              .arg(QString::fromLatin1(v.book.c_str()))
                              .arg(v.chapter)
                              .arg(v.verse);
    const std::string code = normalizeBookCode(v.book);
    if (code.size() != 3) return fail(where + QStringLiteral("book code of 3 characters expected"));
    if (v.chapter < 1 || v.chapter > 255) return fail(where + QStringLiteral("chapter out of 1..255"));
    if (v.verse < 1 || v.verse > 65535 - TWordGP::MarkerCode)
      return fail(where + QStringLiteral("verse out of 1..535"));
    if (v.words.size() + 2 > std::size_t(TWordGP::VerseBlock))
      return fail(where + QStringLiteral("more than 1022 words"));

    std::uint16_t flags = static_cast<std::uint8_t>(v.mark);
    if (code != curBook) {
      if (bookNumbers.count(code)) return fail(where + QStringLiteral("book appears twice"));
      if (bookNumbers.size() >= std::size_t(TCalcpos::MaxBooks))
        return fail(where + QStringLiteral("more than 70 books"));
      Tbk_rec rec;
      rec.Bkn = rec.Bka = rec.Bks = code;
      for (const Tbk_rec& n : names.books)
        if (normalizeBookCode(n.Bks) == code) {
          rec = n;
          rec.Bks = code;
        }
      rec.chapters = 0;
      d.books.books.push_back(rec);
      bookNumbers[code] = static_cast<int>(d.books.books.size());
      curBook = code;
      curChapter = -1;
      flags |= TWordGP::NewBookFlag;
    }
    if (v.chapter != curChapter) {
      Tbk_rec& book = d.books.books.back();
      for (const Tch_rec& c : d.chapters)
        if (c.book == bookNumbers[code] && c.chapter == v.chapter)
          return fail(where + QStringLiteral("chapter appears twice"));
      if (d.chapters.size() >= std::size_t(TCalcpos::MaxChapterRecords))
        return fail(where + QStringLiteral("more than 1500 chapters"));
      d.chapters.push_back({static_cast<std::uint8_t>(bookNumbers[code]),
                            static_cast<std::uint8_t>(v.chapter), 0,
                            static_cast<std::int32_t>(d.gd.size())});
      book.chapters = static_cast<std::uint8_t>(std::max<int>(book.chapters, v.chapter));
      curChapter = v.chapter;
      if (!(flags & TWordGP::NewBookFlag)) flags |= TWordGP::NewChapterFlag;
    }
    Tch_rec& ch = d.chapters.back();
    if (ch.verses == 255) return fail(where + QStringLiteral("more than 255 verses in a chapter"));
    ++ch.verses;

    d.gd.push_back(static_cast<std::uint16_t>(TWordGP::MarkerCode + v.verse));
    d.gd.push_back(flags);
    for (const std::string& w : v.words) {
      if (w.size() > 255) return fail(where + QStringLiteral("word longer than 255 bytes"));
      auto [it, added] = numbers.emplace(w, static_cast<int>(forms.size()));
      if (added) {
        if (forms.size() >= TWordGP::LayoutCode)
          return fail(where + QStringLiteral("more than 63999 distinct words"));
        forms.push_back(w);
      }
      d.gd.push_back(static_cast<std::uint16_t>(it->second));
    }
    if (d.gd.size() >= std::size_t(TCalcpos::SentinelPosition))
      return fail(where + QStringLiteral("code stream too long"));
  }
  d.gd.push_back(TWordGP::MarkerCode);  // closing marker
  d.gd.push_back(0);
  d.books.header.chapters = 0;

  std::int32_t offset = 1;
  for (std::size_t n = 0; n < forms.size(); ++n) {
    if (n % 100 == 0) d.wi2.push_back(offset);
    d.wi1.push_back(static_cast<std::uint8_t>(forms[n].size()));
    d.wgp += forms[n];
    offset += static_cast<std::int32_t>(forms[n].size());
  }
  return d;
}

bool writeWordGPFiles(const QString& dir, const QString& name, const TWordGPData& data,
                      QString* error) {
  const QString base = withTrailingSlash(dir);
  if (!QDir().mkpath(base)) {
    if (error) *error = base + QStringLiteral(": folder cannot be created");
    return false;
  }
  QByteArray wi1(reinterpret_cast<const char*>(data.wi1.data()), qsizetype(data.wi1.size()));
  QByteArray wi2, gd;
  for (std::int32_t v : data.wi2) putLE32(wi2, v);
  gd.reserve(qsizetype(data.gd.size()) * 2);
  for (std::uint16_t c : data.gd) putLE16(gd, c);
  const QByteArray wgp(data.wgp.data(), qsizetype(data.wgp.size()));
  const QString p = base + name;
  // A blank description would be taken for the blank lines the book table may start with.
  TbookTable books = data.books;
  if (books.header.Bkn.find_first_not_of(" \t") == std::string::npos)
    books.header.Bkn = name.toStdString();
  if (books.header.Bka.empty()) books.header.Bka = name.left(5).toStdString();
  if (books.header.Bks.empty()) books.header.Bks = name.left(3).toUpper().toStdString();
  // The stream last: a reader finding it finds the table that goes with it.
  return writeFileAtomic(p + QStringLiteral(".WI1"), wi1, error) &&
         writeFileAtomic(p + QStringLiteral(".WI2"), wi2, error) &&
         writeFileAtomic(p + QStringLiteral(".wgp"), wgp, error) &&
         writeFileAtomic(p + QStringLiteral(".GD"), gd, error) &&
         writeBkFile(p + QStringLiteral(".bk"), books, error) &&
         writeGdiFile(p + QStringLiteral(".gdi"), data.chapters, error);
}

bool writeWordGP(const QString& dir, const QString& name, const std::vector<TWgpVerse>& verses,
                 const TbookTable& names, QString* error) {
  const auto data = buildWordGP(verses, names, error);
  return data && writeWordGPFiles(dir, name, *data, error);
}

}  // namespace kov
