#include "kov-import/InterlinearWriter.h"

#include <QDir>
#include <QXmlStreamWriter>

#include <algorithm>
#include <unordered_map>

#include "core/AtomicFile.h"
#include "db/cGndStream.h"
#include "db/cWordList.h"

namespace kov::import {

namespace {

constexpr int kMaxForms = 64000;
constexpr std::size_t kMaxText = 255;
constexpr std::uint8_t kInRing = 32;

struct RingBuilder {
  // Per form: distinct renderings with their counts, in order of first appearance.
  std::vector<std::vector<std::pair<std::string, int>>> byForm;
  void add(std::size_t form, const std::string& text) {
    if (byForm.size() <= form) byForm.resize(form + 1);
    auto& ring = byForm[form];
    for (auto& [t, n] : ring)
      if (t == text) {
        ++n;
        return;
      }
    ring.push_back({text, 1});
  }
};

}  // namespace

std::string listHeaderXml(const ListHeader& h) {
  QByteArray out;
  QXmlStreamWriter x(&out);
  x.writeStartDocument();
  x.writeStartElement(QStringLiteral("WL"));
  const auto el = [&](const char* name, const QString& v) {
    if (!v.isEmpty()) x.writeTextElement(QString::fromLatin1(name), v);
  };
  el("id", h.id);
  el("desS", h.desS);
  el("lng", h.lng);
  el("type", h.type);
  el("helpFP", h.helpFP);
  el("rights", h.rights);
  if (h.rtl) el("rtl", QStringLiteral("1"));
  if (h.remap) el("remap", QString::number(h.remap));
  if (h.chartableCount > 0) {
    x.writeStartElement(QStringLiteral("CHARTABLE"));
    x.writeTextElement(QStringLiteral("count"), QString::number(h.chartableCount));
    x.writeTextElement(QStringLiteral("label1"), h.chartableLabel1);
    x.writeTextElement(QStringLiteral("label2"), h.chartableLabel2);
    x.writeTextElement(QStringLiteral("source"), h.chartableSource);
    x.writeTextElement(QStringLiteral("target"), h.chartableTarget);
    x.writeEndElement();
  }
  x.writeEndElement();
  x.writeEndDocument();
  return out.toStdString();
}

bool writeInterlinear(const IlText& text, const QString& folderIn, IlStats* stats, QString* error) {
  const auto fail = [error](const QString& e) {
    if (error) *error = e;
    return false;
  };
  const QString folder = folderIn.endsWith(QLatin1Char('/')) ? folderIn : folderIn + QLatin1Char('/');
  if (!QDir().mkpath(folder)) return fail(folder + QStringLiteral(": cannot create the folder"));
  const std::size_t nSubs = text.sublinears.size();

  // Word forms in order of first appearance; the stream; rings per sublinear.
  std::unordered_map<std::string, std::uint16_t> formIndex;
  // Word code 0 is the gap word of the display: no real word may take it.
  std::vector<std::string> forms{std::string()};
  std::vector<std::uint16_t> stream{0};  // position 0 is never read
  std::vector<std::uint32_t> positionForm;  // per stream position (only word positions matter)
  std::vector<std::vector<std::string>> positionRenderings;  // per word, for the selections
  std::vector<std::int32_t> wordPositions;
  std::vector<RingBuilder> rings(nSubs);
  TGsContent gs;
  gs.ont = text.ont;
  gs.variants = text.variants;
  gs.books.header.Bkn = text.name.toStdString();
  gs.books.header.Bks = text.name.left(3).toUpper().toStdString();
  IlStats st;

  for (std::size_t b = 0; b < text.books.size(); ++b) {
    const IlBook& book = text.books[b];
    Tbk_rec rec;
    rec.Bks = book.code;
    rec.Bkn = book.name;
    rec.Bka = book.abbreviation.substr(0, 5);
    rec.testament = text.oldTestament ? 'A' : 'B';
    int lastChapter = 0;
    int chapterVerses = 0;
    for (std::size_t v = 0; v < book.verses.size(); ++v) {
      const IlVerse& verse = book.verses[v];
      if (verse.chapter < 1 || verse.chapter > 255 || verse.verse < 0 || verse.verse > 535)
        return fail(QStringLiteral("%1 %2:%3: chapter or verse out of range")
                        .arg(QString::fromStdString(book.code)).arg(verse.chapter).arg(verse.verse));
      std::uint16_t flags = 0;
      if (verse.chapter != lastChapter) {
        if (verse.chapter < lastChapter)
          return fail(QStringLiteral("%1 %2: chapters out of order").arg(QString::fromStdString(book.code)).arg(verse.chapter));
        if (!gs.chapters.empty() && lastChapter) gs.chapters.back().verses = std::uint8_t(std::min(chapterVerses, 255));
        gs.chapters.push_back({std::uint8_t(b + 1), std::uint8_t(verse.chapter), 0, std::int32_t(stream.size())});
        lastChapter = verse.chapter;
        chapterVerses = 0;
        flags |= cell::kNewChapterFlag;
        if (v == 0) flags |= cell::kNewBookFlag;
        ++st.chapters;
      }
      ++chapterVerses;
      ++st.verses;
      stream.push_back(std::uint16_t(cell::kVerse + verse.verse));
      stream.push_back(flags);
      for (const IlWord& w : verse.words) {
        if (w.form.size() > kMaxText) return fail(QStringLiteral("a word form longer than 255 bytes"));
        auto [it, inserted] = formIndex.try_emplace(w.form, std::uint16_t(forms.size()));
        if (inserted) {
          if (forms.size() >= kMaxForms) return fail(QStringLiteral("more than 64000 word forms"));
          forms.push_back(w.form);
        }
        if (w.variant >= 1 && w.variant <= 5) stream.push_back(std::uint16_t(64400 + w.variant));
        wordPositions.push_back(std::int32_t(stream.size()));
        stream.push_back(it->second);
        for (std::size_t s = 0; s < nSubs; ++s) {
          const std::string& r = s < w.renderings.size() ? w.renderings[s] : std::string();
          if (r.size() > kMaxText) return fail(QStringLiteral("a rendering longer than 255 bytes"));
          if (!r.empty()) rings[s].add(it->second, r);
        }
        positionRenderings.push_back(w.renderings);
        ++st.words;
      }
    }
    if (!gs.chapters.empty()) gs.chapters.back().verses = std::uint8_t(std::min(chapterVerses, 255));
    rec.chapters = std::uint8_t(std::min(lastChapter, 255));
    gs.books.books.push_back(rec);
  }
  st.books = int(text.books.size());
  st.forms = int(forms.size());
  gs.stream = stream;
  gs.hasXml = gs.hasStream = gs.hasChapters = true;
  if (gs.chapters.size() > 1500) return fail(QStringLiteral("more than 1500 chapters"));

  const double now = nowAsDays();
  const auto writeList = [&](const QString& fileName, const std::string& xml, TWordList& list) -> bool {
    Tsubl slot;
    slot.fileName = fileName;
    slot.rawHeader = xml;
    slot.listHeader.verData = {1, 0, 0, 0};
    slot.listHeader.dateCreate = slot.listHeader.dateModify = now;
    QString e;
    const auto bytes = buildListFile(slot, list, &e);
    if (!bytes) return fail(folder + fileName + QStringLiteral(": ") + e);
    if (!writeFileAtomic(folder + fileName, *bytes, &e)) return fail(e);
    return true;
  };

  // Main list: one entry per form, each a ring of its own.
  TWordList mainList;
  mainList.reset(std::int32_t(forms.size()));
  for (std::size_t f = 0; f < forms.size(); ++f) mainList.entries[f] = {0, std::int32_t(f), forms[f]};
  if (!writeList(text.name + QStringLiteral(".WL0"), text.mainXml, mainList)) return false;
  QString e;
  if (!writeGsFile(folder + text.name + QStringLiteral(".gs"), gs, &e)) return fail(e);

  for (std::size_t s = 0; s < nSubs; ++s) {
    auto& byForm = rings[s].byForm;
    byForm.resize(forms.size());
    // Most frequent first; ties keep the order of first appearance.
    std::vector<std::unordered_map<std::string, std::uint8_t>> place(forms.size());
    std::int32_t next = std::int32_t(forms.size());
    TWordList list;
    list.reset(std::int32_t(forms.size()));
    // A form without renderings keeps an empty entry that is a ring of its own.
    for (std::size_t f = 0; f < forms.size(); ++f) list.entries[f] = {0, std::int32_t(f), std::string()};
    for (std::size_t f = 0; f < forms.size(); ++f) {
      auto& ring = byForm[f];
      std::stable_sort(ring.begin(), ring.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
      if (ring.size() > 255) return fail(QStringLiteral("a word form with more than 255 renderings"));
      std::int32_t at = std::int32_t(f);
      for (std::size_t k = 0; k < ring.size(); ++k) {
        place[f][ring[k].first] = std::uint8_t(k);
        const bool last = k + 1 == ring.size();
        const std::int32_t following = last ? std::int32_t(f) : next;
        list.ensureAllocated(at);
        list.entries[std::size_t(at)] = {std::uint8_t(last ? 0 : kInRing), following, ring[k].first};
        if (!last) at = next++;
      }
    }
    list.count = next;
    list.entries.resize(std::size_t(next));
    if (!writeList(text.sublinears[s].fileName, text.sublinears[s].xml, list)) return false;
    st.entries.push_back(next);

    TSelection sel(stream.size(), 255);
    for (std::size_t i = 0; i < wordPositions.size(); ++i) {
      const std::int32_t p = wordPositions[i];
      const std::string& r = s < positionRenderings[i].size() ? positionRenderings[i][s] : std::string();
      // A word without a rendering in this sublinear selects none.
      if (!r.empty()) sel[std::size_t(p)] = place[stream[std::size_t(p)]].at(r);
    }
    if (!writeFileAtomic(folder + text.sublinears[s].fileName + QStringLiteral("x"), buildSelectionFile(sel), &e))
      return fail(e);
  }
  if (stats) *stats = st;
  return true;
}

}  // namespace kov::import
