#include "kov-import/DefaultDatabase.h"

#include <QDir>
#include <QHash>

#include <algorithm>
#include <map>

#include "core/AtomicFile.h"
#include "core/ProgramFolder.h"
#include "db/CBookRef.h"
#include "db/TextUtils.h"
#include "kov-import/HebrewMorph.h"
#include "kov-import/LetterCode.h"
#include "kov-import/Transliterate.h"
#include "texts/UmemoNote.h"
#include "texts/WordGPWriter.h"

namespace kov::import {

namespace {

constexpr int kMaxProblems = 12;

void problem(ConversionReport& r, const QString& text) {
  if (r.problems.size() < kMaxProblems) r.problems << text;
}

std::string abbreviationOf(const std::string& code) {
  std::string a = code;
  for (std::size_t i = 1; i < a.size(); ++i) a[i] = char(std::tolower(static_cast<unsigned char>(a[i])));
  return a;
}

IlBook bookShell(const QString& code, const TbookRef& names) {
  IlBook b;
  b.code = code.toStdString();
  const QString name = names.displayNameOf(b.code);
  b.name = toLatin1Text(name.isEmpty() ? code : name);
  b.abbreviation = abbreviationOf(b.code);
  return b;
}

ListHeader fromTable(ListHeader h, const CharTable& table, const std::array<bool, 256>& used) {
  const CharTableHeader t = table.header(used);
  h.remap = 1;
  h.chartableCount = t.count;
  h.chartableLabel1 = t.label1;
  h.chartableLabel2 = t.label2;
  h.chartableSource = t.source;
  h.chartableTarget = t.target;
  return h;
}

// The whole form of a word as shown: what stands before it, the word, and the punctuation
// after it (blanks dropped).
QString withPunctuation(const QString& before, const QString& word, const QString& after) {
  QString s = before + word + after;
  s.remove(QLatin1Char(' '));
  return s;
}

ListHeader header(const QString& id, const QString& desS, const QString& rights, const QString& lng,
                  const QString& type = {}, bool rtl = false) {
  ListHeader h;
  h.id = id;
  h.desS = desS;
  h.rights = rights;
  h.lng = lng;
  h.type = type;
  h.rtl = rtl;
  return h;
}

}  // namespace

std::string DynamicCharTable::encode(const QString& text) {
  std::string out;
  out.reserve(std::size_t(text.size()));
  for (QChar c : text) {
    const char16_t u = c.unicode();
    if (u < 0x80) {
      out.push_back(char(u));
      continue;
    }
    int byte = -1;
    for (int b = 0xC0; b < next_; ++b)
      if (map_[std::size_t(b)] == u) byte = b;
    if (byte < 0) {
      if (next_ > 0xFF) {
        overflow_ = true;
        out.push_back('?');
        continue;
      }
      byte = next_++;
      map_[std::size_t(byte)] = u;
    }
    out.push_back(char(byte));
  }
  return out;
}

ListHeader DynamicCharTable::withTable(ListHeader h) const {
  h.chartableLabel1 = QStringLiteral("Transliteration");
  h.chartableLabel2 = QStringLiteral("Unicode");
  for (int b = 0xC0; b < next_; ++b) {
    if (!map_[std::size_t(b)]) continue;
    h.chartableSource += QChar(char16_t(b));
    h.chartableTarget += QChar(map_[std::size_t(b)]);
  }
  h.chartableCount = int(h.chartableSource.size());
  if (h.chartableCount > 0) h.remap = 1;
  return h;
}

QString hebrewRights() {
  return QStringLiteral(
      "Westminster Leningrad Codex: public domain. Lemma and morphology: Open Scriptures Hebrew Bible, CC BY 4.0. "
      "Glosses from Strong's Hebrew dictionary (public domain).");
}

QString greekRights() {
  return QStringLiteral(
      "Nestle 1904: public domain. Morphology, lemmas, Strong numbers: MACULA Greek Linguistic Datasets, "
      "available at https://github.com/Clear-Bible/macula-greek/ (CC BY 4.0). Glosses: Berean Interlinear, "
      "public domain. Text-Fabric packaging: ETCBC, MIT licence.");
}

IlText hebrewText(const std::vector<HebrewBook>& books, const std::vector<StrongEntry>& dictionary,
                  const TbookRef& names, ConversionReport& report) {
  QHash<int, QString> shortGlosses;
  QHash<int, std::string> lemmaCodes;
  for (const StrongEntry& e : dictionary) {
    shortGlosses.insert(e.number, e.shortGloss);
    const CodeResult c = hebrewToCode(e.lemma, HebrewForm{});
    if (c.ok()) lemmaCodes.insert(e.number, c.code);
  }
  // Points kept; accents, meteg and morpheme marks dropped, so the main list stays below
  // 64000 forms.
  HebrewForm mainForm;
  mainForm.meteg = false;
  std::array<bool, 256> usedMain{}, usedLemma{};
  DynamicCharTable translit;

  IlText t;
  t.name = QStringLiteral("WLC");
  t.oldTestament = true;
  t.ont = QStringLiteral("OT");
  t.variants = {{QStringLiteral("K"), QStringLiteral("Ketiv (as written)"), {}},
                {QStringLiteral("Q"), QStringLiteral("Qere (as read)"), {}}};
  for (const HebrewBook& hb : books) {
    IlBook b = bookShell(hb.code, names);
    for (const HebrewVerse& hv : hb.verses) {
      const int ch = hv.kjvChapter ? hv.kjvChapter : hv.chapter;
      const int vs = hv.kjvVerse ? hv.kjvVerse : hv.verse;
      if (!b.verses.empty() && b.verses.back().chapter == ch && b.verses.back().verse == vs) {
        ++report.joinedVerses;  // several source verses shown as one
      } else {
        b.verses.push_back({ch, vs, {}});
      }
      IlVerse& v = b.verses.back();
      for (const HebrewWord& w : hv.words) {
        ++report.words;
        IlWord iw;
        iw.variant = int(w.variant);
        QString shown = w.text;
        shown.remove(QLatin1Char('/'));
        CodeResult form = hebrewToCode(shown, mainForm);
        if (!form.ok()) {
          ++report.formsWithoutCode;
          problem(report, QStringLiteral("%1 %2:%3: %4").arg(hb.code).arg(hv.chapter).arg(hv.verse).arg(form.error));
        }
        iw.form = form.code;
        CharTable::markUsed(usedMain, iw.form);

        const MorphResult m = convertHebrewMorph(w.morph);
        if (!m.error.isEmpty()) {
          ++report.parsingFailed;
          problem(report, QStringLiteral("%1 %2:%3: %4").arg(hb.code).arg(hv.chapter).arg(hv.verse).arg(m.error));
        } else if (m.lossy) {
          ++report.parsingLossy;
        }
        const QString strong = hebrewStrongText(w.lemma);
        int number = 0;
        if (strong.startsWith(QLatin1Char('H'))) number = strong.mid(1).section(QLatin1Char('/'), -1).toInt();
        std::string lemma = lemmaCodes.value(number);
        CharTable::markUsed(usedLemma, lemma);
        iw.renderings = {toLatin1Text(hebrewWordGloss(w.lemma, w.morph, shortGlosses)), strong.toStdString(),
                         translit.encode(transliterateHebrew(shown)), m.code, lemma};
        v.words.push_back(std::move(iw));
      }
    }
    t.books.push_back(std::move(b));
  }
  const QString rights = hebrewRights();
  ListHeader main = header(QStringLiteral("WLC"), QStringLiteral("Westminster Leningrad Codex, pointed Hebrew"), rights,
                  QStringLiteral("hebrew"), QStringLiteral("ORG"), true);
  t.mainXml = listHeaderXml(fromTable(main, CharTable::hebrew(), usedMain));
  ListHeader gloss = header(QStringLiteral("Gloss"), QStringLiteral("English gloss"), rights, QStringLiteral("english"));
  ListHeader strongH = header(QStringLiteral("Strong"), QStringLiteral("Strong numbers"), rights, QStringLiteral("english"));
  ListHeader tr = header(QStringLiteral("Translit"), QStringLiteral("Transliteration"), rights, QStringLiteral("english"));
  ListHeader parsing = header(QStringLiteral("P_WHM"), QStringLiteral("Parsing codes"), rights, QStringLiteral("english"));
  ListHeader lemmaH = header(QStringLiteral("Lemma"), QStringLiteral("Lemma (Strong's dictionary)"), rights,
                    QStringLiteral("hebrew"), QStringLiteral("ORG"), true);
  t.sublinears = {{QStringLiteral("Gloss.wl"), listHeaderXml(gloss)},
                  {QStringLiteral("strong.wl"), listHeaderXml(strongH)},
                  {QStringLiteral("Transliteration.wl"), listHeaderXml(translit.withTable(tr))},
                  {QStringLiteral("P_WHM.wl"), listHeaderXml(parsing)},
                  {QStringLiteral("Lemma.wl"), listHeaderXml(fromTable(lemmaH, CharTable::hebrew(), usedLemma))}};
  return t;
}

IlText greekText(const std::vector<GreekBook>& books, const std::vector<StrongEntry>& dictionary,
                 const TbookRef& names, ConversionReport& report) {
  QHash<int, std::string> lemmaCodes;
  for (const StrongEntry& e : dictionary) {
    const CodeResult c = greekToCode(e.lemma);
    if (c.ok()) lemmaCodes.insert(e.number, c.code);
  }
  std::array<bool, 256> usedMain{}, usedLemma{};
  DynamicCharTable translit;
  IlText t;
  t.name = QStringLiteral("N1904");
  t.oldTestament = false;
  t.ont = QStringLiteral("NT");
  for (const GreekBook& gb : books) {
    IlBook b = bookShell(gb.code, names);
    for (const GreekVerse& gv : gb.verses) {
      // Mark's shorter ending (stored as 16:99) is kept after verse 20 under its own number.
      b.verses.push_back({gv.chapter, gv.verse, {}});
      IlVerse& v = b.verses.back();
      for (const GreekWord& w : gv.words) {
        ++report.words;
        IlWord iw;
        CodeResult form = greekToCode(withPunctuation(w.before, w.text, w.after));
        if (!form.ok()) form = greekToCode(w.text);
        if (!form.ok()) {
          ++report.formsWithoutCode;
          problem(report, QStringLiteral("%1 %2:%3: %4").arg(gb.code).arg(gv.chapter).arg(gv.verse).arg(form.error));
        }
        iw.form = form.code;
        CharTable::markUsed(usedMain, iw.form);
        CodeResult lemma = greekToCode(w.lemma);
        if (!lemma.ok()) lemma.code = lemmaCodes.value(w.strong);
        CharTable::markUsed(usedLemma, lemma.code);
        iw.renderings = {toLatin1Text(w.gloss), w.strong > 0 ? "G" + std::to_string(w.strong) : std::string(),
                         translit.encode(transliterateGreek(w.text)), toLatin1Text(w.morph), lemma.code};
        v.words.push_back(std::move(iw));
      }
    }
    t.books.push_back(std::move(b));
  }
  const QString rights = greekRights();
  ListHeader main = header(QStringLiteral("N1904"), QStringLiteral("Nestle 1904 Greek New Testament"), rights,
                  QStringLiteral("greek"), QStringLiteral("ORG"));
  t.mainXml = listHeaderXml(fromTable(main, CharTable::greek(), usedMain));
  ListHeader gloss = header(QStringLiteral("Gloss"), QStringLiteral("English gloss"), rights, QStringLiteral("english"));
  ListHeader strongG = header(QStringLiteral("Strong"), QStringLiteral("Strong numbers"), rights, QStringLiteral("english"));
  ListHeader tr = header(QStringLiteral("Translit"), QStringLiteral("Transliteration"), rights, QStringLiteral("english"));
  ListHeader rob = header(QStringLiteral("ROB"), QStringLiteral("Parsing codes (Robinson)"), rights, QStringLiteral("english"));
  ListHeader lemmaG = header(QStringLiteral("Lemma"), QStringLiteral("Lemma"), rights, QStringLiteral("greek"), QStringLiteral("ORG"));
  t.sublinears = {{QStringLiteral("Gloss.wl"), listHeaderXml(gloss)},
                  {QStringLiteral("strong.wl"), listHeaderXml(strongG)},
                  {QStringLiteral("Transliteration.wl"), listHeaderXml(translit.withTable(tr))},
                  {QStringLiteral("Robinson.wl"), listHeaderXml(rob)},
                  {QStringLiteral("Lemma.wl"), listHeaderXml(fromTable(lemmaG, CharTable::greek(), usedLemma))}};
  return t;
}

int addMissingVerses(IlText& text, const std::vector<TranslationBook>& versification) {
  int added = 0;
  for (IlBook& book : text.books) {
    const auto tb = std::find_if(versification.begin(), versification.end(),
                                 [&](const TranslationBook& b) { return b.code.toStdString() == book.code; });
    if (tb == versification.end()) continue;
    std::vector<IlVerse> merged;
    merged.reserve(book.verses.size() + 16);
    std::size_t i = 0;
    const auto before = [](int c1, int v1, int c2, int v2) { return c1 < c2 || (c1 == c2 && v1 < v2); };
    for (const TranslationVerse& tv : tb->verses) {
      while (i < book.verses.size() && before(book.verses[i].chapter, book.verses[i].verse, tv.chapter, tv.verse))
        merged.push_back(std::move(book.verses[i++]));
      if (i < book.verses.size() && book.verses[i].chapter == tv.chapter && book.verses[i].verse == tv.verse) {
        merged.push_back(std::move(book.verses[i++]));
      } else {
        merged.push_back({tv.chapter, tv.verse, {}});
        ++added;
      }
    }
    while (i < book.verses.size()) merged.push_back(std::move(book.verses[i++]));
    book.verses = std::move(merged);
  }
  return added;
}

bool writeTranslation(const QString& prgDir, const QString& name, const QString& description,
                      const std::vector<TranslationBook>& books, const TbookRef& names, QString* error) {
  TbookTable table;
  table.headerLines << QStringLiteral("*") + description;
  table.header.Bkn = toLatin1Text(description);
  table.header.Bka = name.left(5).toStdString();
  table.header.Bks = name.left(3).toUpper().toStdString();
  std::vector<TWgpVerse> verses;
  for (const TranslationBook& b : books) {
    Tbk_rec rec;
    rec.Bks = b.code.toStdString();
    const QString display = names.displayNameOf(rec.Bks);
    rec.Bkn = toLatin1Text(display.isEmpty() ? b.name : display);
    rec.Bka = abbreviationOf(rec.Bks);
    rec.testament = b.code == QStringLiteral("MAT") || (!table.books.empty() && table.books.back().testament == 'B') ? 'B' : 'A';
    int chapters = 0;
    for (const TranslationVerse& v : b.verses) {
      chapters = std::max(chapters, v.chapter);
      verses.push_back({rec.Bks, v.chapter, v.verse, 0, splitVerseText(v.text)});
    }
    rec.chapters = std::uint8_t(std::min(chapters, 255));
    table.books.push_back(rec);
  }
  return writeWordGP(withTrailingSlash(prgDir) + name + QStringLiteral(".t/"), name, verses, table, error);
}

QStringList strongNoteLines(const StrongEntry& e) {
  QStringList lines;
  QString head = QStringLiteral("\\@") + e.lemma + QStringLiteral("\\@");
  if (!e.translit.isEmpty()) head += QStringLiteral("  ") + e.translit;
  if (!e.pronunciation.isEmpty()) head += QStringLiteral("  [") + e.pronunciation + QLatin1Char(']');
  lines << head;
  if (!e.shortGloss.isEmpty()) lines << e.shortGloss;
  if (!e.definition.isEmpty()) lines << e.definition;
  for (const QString& l : e.outline.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) lines << l.trimmed();
  if (!e.derivation.isEmpty()) lines << e.derivation;
  if (!e.kjvUsage.isEmpty()) lines << QStringLiteral("KJV: ") + e.kjvUsage;
  return lines;
}

bool writeStrongNotes(const QString& prgDir, const QString& name, const std::vector<StrongEntry>& entries,
                      QString* error) {
  // Files hold the notes of 50 keys each; build them whole and write each once.
  std::map<QString, QByteArray> files;
  TmemoNote g, h;
  g.setStrongCollection(prgDir, name, 'G');
  h.setStrongCollection(prgDir, name, 'H');
  std::vector<const StrongEntry*> sorted;
  for (const StrongEntry& e : entries) sorted.push_back(&e);
  std::stable_sort(sorted.begin(), sorted.end(), [](const StrongEntry* a, const StrongEntry* b) {
    return a->language != b->language ? a->language < b->language : a->number < b->number;
  });
  for (const StrongEntry* e : sorted) {
    const TmemoNote& memo = e->language == QLatin1Char('G') ? g : h;
    QByteArray& data = files[memo.fileFor(e->number)];
    data += memo.markerFor(e->number).toUtf8() + "\r\n";
    for (const QString& l : strongNoteLines(*e)) {
      // A note line that reads as a marker would start another note.
      const QString line = memo.markerKey(l) >= 0 ? QLatin1Char(' ') + l : l;
      data += line.toUtf8() + "\r\n";
    }
  }
  for (const auto& [path, data] : files) {
    if (!QDir().mkpath(QFileInfo(path).path())) {
      if (error) *error = path + QStringLiteral(": cannot create the folder");
      return false;
    }
    if (!writeFileAtomic(path, data, error)) return false;
  }
  return true;
}

}  // namespace kov::import
