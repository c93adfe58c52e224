#include "kov-import/Kjv.h"

#include <QHash>

#include "kov-import/Oshb.h"
#include <QXmlStreamReader>

#include <swmgr.h>
#include <swmodule.h>
#include <versekey.h>

#include <memory>

namespace kov::import {

namespace {

constexpr char kItalic = 25;

char latin1Of(QChar c) {
  const ushort u = c.unicode();
  if (u < 256) return char(u);
  switch (u) {
    case 0x2018: case 0x2019: return '\'';
    case 0x201C: case 0x201D: return '"';
    case 0x2013: case 0x2014: return '-';
    case 0x2026: return '.';
    default: return '?';
  }
}

void appendText(std::string& out, const QString& text) {
  for (QChar c : text) {
    const char b = c.isSpace() ? ' ' : latin1Of(c);
    if (b == ' ' && (out.empty() || out.back() == ' ')) continue;
    out.push_back(b);
  }
}

std::string trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  std::size_t start = 0;
  while (start < s.size() && s[start] == ' ') ++start;
  return s.substr(start);
}

}  // namespace

std::string osisVerseText(const QString& osis) {
  QXmlStreamReader x(QStringLiteral("<v>") + osis + QStringLiteral("</v>"));
  std::string out;
  int skipDepth = 0;  // inside a note: its content is not verse text
  int italicOpen = 0;
  std::vector<bool> changes;  // open transChange elements: added or not
  while (!x.atEnd()) {
    switch (x.readNext()) {
      case QXmlStreamReader::StartElement: {
        const auto n = x.name();
        if (skipDepth > 0 || n == QLatin1String("note")) {
          ++skipDepth;
        } else if (n == QLatin1String("transChange")) {
          const bool added = x.attributes().value(QLatin1String("type")) == QLatin1String("added");
          changes.push_back(added);
          if (added && italicOpen++ == 0) out.push_back(kItalic);
        }
        break;
      }
      case QXmlStreamReader::EndElement: {
        const auto n = x.name();
        if (skipDepth > 0) {
          --skipDepth;
        } else if (n == QLatin1String("transChange") && !changes.empty()) {
          const bool added = changes.back();
          changes.pop_back();
          if (added && --italicOpen == 0) {
            // the blank before the switch stays outside the run
            const bool blank = !out.empty() && out.back() == ' ';
            if (blank) out.pop_back();
            out.push_back(kItalic);
            if (blank) out.push_back(' ');
          }
        } else if (n == QLatin1String("title")) {
          out.push_back(' ');
        }
        break;
      }
      case QXmlStreamReader::Characters:
        if (skipDepth == 0) appendText(out, x.text().toString());
        break;
      default:
        break;
    }
  }
  return trimmed(out);
}

QString usfmFromOsis(const QString& osisBook) {
  static const QHash<QString, QString> map = [] {
    // The Old Testament's names are the Hebrew reader's; the New Testament's follow.
    static const BookName nt[] = {
        {"Matt", "MAT"}, {"Mark", "MRK"}, {"Luke", "LUK"}, {"John", "JHN"}, {"Acts", "ACT"}, {"Rom", "ROM"},
        {"1Cor", "1CO"}, {"2Cor", "2CO"}, {"Gal", "GAL"}, {"Eph", "EPH"}, {"Phil", "PHP"}, {"Col", "COL"},
        {"1Thess", "1TH"}, {"2Thess", "2TH"}, {"1Tim", "1TI"}, {"2Tim", "2TI"}, {"Titus", "TIT"},
        {"Phlm", "PHM"}, {"Heb", "HEB"}, {"Jas", "JAS"}, {"1Pet", "1PE"}, {"2Pet", "2PE"}, {"1John", "1JN"},
        {"2John", "2JN"}, {"3John", "3JN"}, {"Jude", "JUD"}, {"Rev", "REV"}};
    QHash<QString, QString> m;
    for (const BookName& b : oshbBooks()) m.insert(QString::fromLatin1(b.osis), QString::fromLatin1(b.usfm));
    for (const BookName& b : nt) m.insert(QString::fromLatin1(b.osis), QString::fromLatin1(b.usfm));
    return m;
  }();
  return map.value(osisBook);
}

bool readSwordModule(const QString& moduleName, std::vector<TranslationBook>& books, SourceError* error) {
  books.clear();
  sword::SWMgr mgr;
  sword::SWModule* mod = mgr.getModule(moduleName.toUtf8().constData());
  if (!mod) {
    if (error)
      *error = {moduleName, 0,
                QStringLiteral("SWORD module not installed (Debian package sword-text-kjv provides engKJV2006eb)")};
    return false;
  }
  std::unique_ptr<sword::VerseKey> key(static_cast<sword::VerseKey*>(mod->createKey()));
  key->setIntros(false);
  key->setAutoNormalize(true);
  for ((*key) = sword::TOP; !key->popError(); (*key)++) {
    mod->setKey(*key);
    const QString osisBook = QString::fromUtf8(key->getOSISBookName());
    const QString code = usfmFromOsis(osisBook);
    if (code.isEmpty()) {
      if (error) *error = {moduleName, 0, QStringLiteral("unknown book ") + osisBook};
      return false;
    }
    if (books.empty() || books.back().code != code)
      books.push_back({code, QString::fromUtf8(key->getBookName()), {}});
    TranslationVerse v;
    v.book = code;
    v.chapter = key->getChapter();
    v.verse = key->getVerse();
    v.text = osisVerseText(QString::fromUtf8(mod->getRawEntry()));
    books.back().verses.push_back(std::move(v));
  }
  return true;
}

}  // namespace kov::import
