#include "db/CBookRef.h"

#include <QFileInfo>

#include <cctype>

#include "core/FileLookup.h"
#include "core/ProgramFolder.h"

namespace kov {

namespace {

// Lower case, blanks trimmed and runs of blanks made one.
std::string normalKey(const QString& text) {
  const QByteArray bytes = text.simplified().toUtf8();
  std::string out(bytes.constData(), std::size_t(bytes.size()));
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string upperCode(const QString& v) {
  return v.trimmed().toUpper().toStdString();
}

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

}  // namespace

bool TbookRef::load(const QString& prgDir, QString* error) {
  prgDir_ = withTrailingSlash(prgDir);
  const QString path = findNoCase(prgDir_, QStringLiteral("books.ini"));
  ini_ = IniFile(path);
  // The store treats a missing file as empty; for the book tables it is an error worth naming.
  bool ok = QFileInfo::exists(path);
  if (!ok && error) *error = path + QStringLiteral(" - not found!");
  ok = ok && ini_.load(error);
  build();
  return ok;
}

void TbookRef::loadText(const QByteArray& iniText) {
  ini_.parse(iniText);
  build();
}

void TbookRef::build() {
  bka_.clear();
  bkn_.clear();
  const auto fill = [this](const QString& section, auto& table) {
    for (const QString& k : ini_.keys(section)) table.emplace(normalKey(k), upperCode(ini_.readString(section, k, {})));
  };
  fill(QStringLiteral("BKA"), bka_);
  fill(QStringLiteral("BKN"), bkn_);
}

std::string TbookRef::bookCodeOf(const QString& typed) const {
  const std::string key = normalKey(typed);
  if (key.empty()) return {};
  if (auto it = bka_.find(key); it != bka_.end()) return it->second;
  if (auto it = bkn_.find(key); it != bkn_.end()) return it->second;
  return {};
}

QString TbookRef::displayNameOf(std::string_view code) const {
  return ini_.readString(QStringLiteral("BKS2"), QString::fromLatin1(code.data(), qsizetype(code.size())), {});
}

QString TbookRef::noteNameOf(std::string_view code) const {
  return ini_.readString(QStringLiteral("BKS1"), QString::fromLatin1(code.data(), qsizetype(code.size())), {});
}

std::optional<TbookRef::TypedRef> TbookRef::readTyped(const QString& input) const {
  const QString text = input.trimmed();
  // Candidate ends of the book part, tried longest first.
  std::vector<qsizetype> ends;
  for (qsizetype i = 1; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == QLatin1Char(' ') || c == QLatin1Char('.') || (isDigit(c) && text[i - 1].isLetter()))
      ends.push_back(i);
  }
  ends.push_back(text.size());
  for (auto it = ends.rbegin(); it != ends.rend(); ++it) {
    const qsizetype end = *it;
    const std::string code = bookCodeOf(text.left(end));
    if (code.empty()) continue;
    TypedRef out;
    out.code = code;
    qsizetype i = end;
    // One separator after the book (none when the chapter digits follow directly),
    // and any further blanks a user typed.
    if (i < text.size() && !isDigit(text[i])) ++i;
    while (i < text.size() && text[i] == QLatin1Char(' ')) ++i;
    auto digits = [&](int& value) {
      value = 0;
      while (i < text.size() && isDigit(text[i])) {
        if (value < 100000) value = value * 10 + text[i].digitValue();
        ++i;
      }
    };
    digits(out.chapter);
    if (out.chapter > 0 && i < text.size()) {
      ++i;
      digits(out.verse);
    }
    return out;
  }
  return std::nullopt;
}

}  // namespace kov
