#include "support/IntLinFixtures.h"

#include <QDir>

#include <sstream>
#include <stdexcept>

#include "db/cGndStream.h"
#include "db/cWordList.h"

namespace kov::test {

namespace {

std::vector<std::string> tokens(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> out;
  for (std::string t; in >> t;) out.push_back(t);
  return out;
}

std::uint16_t markupCell(const std::string& t) {
  const std::string inner = t.substr(1, t.size() - 2);
  if (inner == "[") return cell::kBracketOn;
  if (inner == "]") return cell::kBracketOff;
  if (inner == "e") return 64012;
  const int n = inner.size() > 1 ? std::stoi(inner.substr(1)) : 0;
  switch (inner[0]) {
    case 'v': return std::uint16_t(64400 + n);
    case 't': return std::uint16_t(cell::kToggleFirst + n);
    case 's': return std::uint16_t(cell::kSignFirst + n);
    default: return std::uint16_t(std::stoi(inner));
  }
}

void fail(const std::string& why) { throw std::invalid_argument("fixture: " + why); }

}  // namespace

SublinearSpec sublinear(const QString& fileName, Rings rings, std::string selections, std::string xml) {
  SublinearSpec s;
  s.fileName = fileName;
  s.rings = std::move(rings);
  s.selections = std::move(selections);
  s.xml = std::move(xml);
  return s;
}

TGsContent gsFromText(const IntLinSpec& desc, std::vector<std::int32_t>* words,
                      std::map<std::string, std::int32_t>* markers, std::map<std::string, std::int32_t>* forms,
                      std::vector<std::string>* formTexts) {
  TGsContent gs;
  gs.variants = desc.variants;
  gs.ont = desc.ont;
  std::map<std::string, std::int32_t> formMap;
  std::vector<std::string> texts;
  std::vector<std::int32_t> wordPositions;
  std::map<std::string, std::int32_t> markerMap;
  std::vector<std::uint16_t>& cells = gs.stream;
  cells.push_back(64020);  // position 0: never read by a walk
  std::string book;
  int chapter = 0;
  bool chapterStart = false, bookStart = false;

  for (const std::string& t : tokens(desc.text)) {
    const auto here = std::int32_t(cells.size());
    if (t[0] == '#') {
      book = t.substr(1);
      Tbk_rec rec;
      rec.Bks = book;
      rec.Bkn = book + " name";
      rec.Bka = book.substr(0, 1) + std::string(book.begin() + 1, book.end());
      rec.testament = desc.oldTestament ? 'A' : 'B';
      gs.books.books.push_back(rec);
      chapter = 1;
      gs.chapters.push_back({std::uint8_t(gs.books.books.size()), 1, 0, here});
      chapterStart = bookStart = true;
    } else if (t[0] == '@') {
      if (book.empty()) fail("chapter before a book");
      chapter = std::stoi(t.substr(1));
      gs.chapters.push_back({std::uint8_t(gs.books.books.size()), std::uint8_t(chapter), 0, here});
      chapterStart = true;
    } else if (t.back() == ':' && t.size() > 1 && std::isdigit(static_cast<unsigned char>(t[0]))) {
      std::string num = t.substr(0, t.size() - 1);
      char mark = 0;
      if (std::isalpha(static_cast<unsigned char>(num.back()))) {
        mark = num.back();
        num.pop_back();
      }
      const int verse = std::stoi(num);
      std::uint16_t flags = std::uint8_t(mark);
      if (chapterStart) flags |= cell::kNewChapterFlag;
      if (bookStart) flags |= cell::kNewBookFlag;
      chapterStart = bookStart = false;
      cells.push_back(std::uint16_t(cell::kVerse + verse));
      cells.push_back(flags);
      if (!gs.chapters.empty()) ++gs.chapters.back().verses;
      markerMap[book + ' ' + std::to_string(chapter) + ':' + std::to_string(verse) + (mark ? std::string(1, mark) : "")] =
          here;
    } else if (t.size() > 2 && t.front() == '{' && t.back() == '}') {
      cells.push_back(markupCell(t));
    } else {
      const std::string text = t == "_" ? std::string() : t;
      auto it = formMap.find(t);
      if (it == formMap.end()) {
        it = formMap.emplace(t, std::int32_t(texts.size())).first;
        texts.push_back(text);
      }
      wordPositions.push_back(here);
      cells.push_back(std::uint16_t(it->second));
    }
  }
  for (Tbk_rec& b : gs.books.books) {
    int n = 0;
    for (const Tch_rec& c : gs.chapters)
      if (c.book == &b - gs.books.books.data() + 1) ++n;
    b.chapters = std::uint8_t(n);
  }
  gs.hasXml = gs.hasStream = gs.hasChapters = true;
  if (words) *words = wordPositions;
  if (markers) *markers = markerMap;
  if (forms) *forms = formMap;
  if (formTexts) *formTexts = texts;
  return gs;
}

std::unique_ptr<IntLinFixture> buildIntLin(const IntLinSpec& desc) {
  auto f = std::make_unique<IntLinFixture>();
  if (!f->dir.isValid()) fail("no temporary folder");
  f->desc = desc;
  f->root = f->dir.path() + QStringLiteral("/interlinear/");
  f->folder = f->root + desc.main + QLatin1Char('/');
  QDir().mkpath(f->folder);
  std::vector<std::string> formTexts;
  f->gs = gsFromText(desc, &f->words, &f->markers, &f->forms, &formTexts);
  QString error;
  if (!writeGsFile(f->folder + desc.main + QStringLiteral(".gs"), f->gs, &error)) fail(error.toStdString());

  const auto n = std::int32_t(formTexts.size());
  if (desc.writeMain) {
    Tsubl slot;
    slot.fileName = desc.main + QStringLiteral(".WL0");
    slot.rawHeader = "<WL><id>" + desc.main.toStdString() + "</id><lng>" + desc.lng + "</lng><rtl>" +
                     (desc.lng == "hebrew" ? "1" : "0") + "</rtl><desS>main text</desS></WL>";
    TWordList list;
    list.reset(n);
    for (std::int32_t k = 0; k < n; ++k) list.entries[std::size_t(k)] = {0, k, formTexts[std::size_t(k)]};
    if (!saveList(f->folder, slot, list, &error)) fail(error.toStdString());
  }

  const auto positions = std::int32_t(f->gs.stream.size());
  for (const SublinearSpec& s : desc.sublinears) {
    Tsubl slot;
    slot.fileName = s.fileName;
    const QString id = s.fileName.left(s.fileName.lastIndexOf(u'.'));
    slot.rawHeader = s.xml.empty() ? "<WL><id>" + id.toStdString() + "</id></WL>" : s.xml;
    TWordList list;
    list.reset(n);
    for (std::int32_t k = 0; k < n; ++k) list.entries[std::size_t(k)].next = k;
    for (const auto& [word, renderings] : s.rings) {
      if (renderings.empty()) continue;
      const std::int32_t w = f->forms.at(word);
      std::int32_t prev = w;
      list.entries[std::size_t(w)].text = renderings[0];
      for (std::size_t r = 1; r < renderings.size(); ++r) {
        const std::int32_t e = list.count;
        list.ensureAllocated(e);
        list.count = e + 1;
        list.entries[std::size_t(e)] = {0, w, renderings[r]};
        list.entries[std::size_t(prev)].next = e;
        list.entries[std::size_t(prev)].flags = 32;
        prev = e;
      }
    }
    if (s.patch) s.patch(list);
    if (s.writeList && !saveList(f->folder, slot, list, &error)) fail(error.toStdString());

    TSelection sel(std::size_t(positions), 255);
    const std::vector<std::string> given = tokens(s.selections);
    for (std::size_t i = 0; i < f->words.size(); ++i) {
      const std::int32_t p = f->words[i];
      const std::uint16_t w = f->gs.stream[std::size_t(p)];
      const std::string t = i < given.size() ? given[i] : ".";
      if (t == ".")
        sel[std::size_t(p)] = list.entries[w].text.empty() && list.entries[w].next == w ? 255 : 0;
      else if (t == "-")
        sel[std::size_t(p)] = 255;
      else
        sel[std::size_t(p)] = std::uint8_t(std::stoi(t));
    }
    if (s.selectionLength >= 0) sel.resize(std::size_t(s.selectionLength));
    if (s.writeSelection && !saveSelection(f->folder, slot, sel, &error)) fail(error.toStdString());
  }
  return f;
}

void IntLinFixture::prepare(TintLin& db) const {
  db.setRootFolder(root);
  db.setMainName(desc.main);
  TWl& t = db.pendingTable();
  t.slot(0).fileName = desc.main + QStringLiteral(".WL0");
  for (std::size_t i = 0; i < desc.sublinears.size(); ++i) t.slot(int(i) + 1).fileName = desc.sublinears[i].fileName;
  t.slotCount = std::uint8_t(desc.sublinears.size() + 1);
}

TLoadReport IntLinFixture::load(TintLin& db, const LineOptions& options) const {
  prepare(db);
  db.readGs();
  db.pendingOptions() = options;
  TLoadReport report = db.loadAll();
  db.applyPending();
  return report;
}

}  // namespace kov::test
