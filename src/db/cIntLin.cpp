#include "db/cIntLin.h"

#include <QDir>

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <stdexcept>

#include "core/FileLookup.h"
#include "core/IniFile.h"
#include "core/ProgramFolder.h"
#include "core/RegistryStore.h"
#include "db/StreamLimits.h"

namespace kov {

// ---- Sublinear table ----

Tsubl& TWl::slot(int n) {
  if (n < kFirstSlot || n > kLastSlot) throw std::out_of_range("sublinear slot " + std::to_string(n));
  return slotRecords[std::size_t(n - kFirstSlot)];
}

const Tsubl& TWl::slot(int n) const { return const_cast<TWl*>(this)->slot(n); }

TslFont toSlotFont(const SlotFont& f) { return TslFont{f.name, f.height, f.color, f.dyH, f.dyL}; }

SlotFont toPresetFont(const TslFont& f) {
  return SlotFont{f._FontName, f._Fontheight, f._FontColor, f._WL_dyH, f._WL_dyL};
}

void fillFromPreset(TWl& table, const PresetSublinearTable& preset) {
  const int n = std::min<int>(int(preset.entries.size()), kMaxSlots);
  for (int i = 0; i < n; ++i) {
    const PresetSublinear& e = preset.entries[std::size_t(i)];
    Tsubl& s = table.slot(i);
    s.fileName = e.fileName;
    s.visible = e.visible;
    for (int p = 0; p < kPresentations; ++p) s.fonts[std::size_t(p)] = toSlotFont(e.fonts[std::size_t(p)]);
  }
  table.slotCount = std::uint8_t(n);
  table.presentations = preset.presentations;
}

void storeToPreset(const TWl& table, PresetSublinearTable& preset) {
  const int n = std::min<int>(table.slotCount, kMaxSlots);
  preset.entries.resize(std::size_t(n));
  for (int i = 0; i < n; ++i) {
    const Tsubl& s = table.slot(i);
    PresetSublinear& e = preset.entries[std::size_t(i)];
    e.fileName = s.fileName;
    e.visible = s.visible;
    for (int p = 0; p < kPresentations; ++p) e.fonts[std::size_t(p)] = toPresetFont(s.fonts[std::size_t(p)]);
  }
  preset.presentations = table.presentations;
}

// ---- TintLin ----

TintLin::TintLin() {
  for (TWl* table : {&pending_, &applied_}) {
    for (int n = TWl::kFirstSlot; n <= TWl::kLastSlot; ++n) {
      const auto fonts = defaultSlotFonts(n < 0 || n >= kMaxSlots ? 1 : n);
      for (int p = 0; p < kPresentations; ++p) table->slot(n).fonts[std::size_t(p)] = toSlotFont(fonts[std::size_t(p)]);
    }
  }
}

void TintLin::setRootFolder(const QString& folder) { root_ = withTrailingSlash(folder); }

void TintLin::setMainName(const QString& name) { mainName_ = name; }

QString TintLin::mainFolder() const { return root_ + mainName_ + QLatin1Char('/'); }

void TintLin::applyPending() {
  applied_ = pending_;
  appliedOptions_ = pendingOptions_;
  appliedMainName_ = mainName_;
  appliedFolder_ = mainFolder();
}

void TintLin::discardPending() {
  pending_ = applied_;
  pendingOptions_ = appliedOptions_;
  mainName_ = appliedMainName_;
}

TWordList& TintLin::list(int n) {
  if (n < 0 || n >= kLists) throw std::out_of_range("word list " + std::to_string(n));
  return lists_[std::size_t(n)];
}

const TWordList& TintLin::list(int n) const { return const_cast<TintLin*>(this)->list(n); }

TSelection& TintLin::selection(int n) {
  if (n < 1 || n > kLists) throw std::out_of_range("selection array " + std::to_string(n));
  return selections_[std::size_t(n)];
}

const TSelection& TintLin::selection(int n) const { return const_cast<TintLin*>(this)->selection(n); }

std::uint16_t TintLin::cellAt(std::int32_t position) const {
  if (position < 0 || std::size_t(position) >= stream_.size()) return cell::kVariantEndLast;
  return stream_[std::size_t(position)];
}

// ---- Loading ----

namespace {

std::optional<QByteArray> readWhole(const QString& path, QString* error) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    if (error) *error = path + QStringLiteral(" - not found!");
    return std::nullopt;
  }
  return f.readAll();
}

QString baseName(const QString& fileName) {
  const qsizetype dot = fileName.lastIndexOf(u'.');
  return dot < 0 ? fileName : fileName.left(dot);
}

}  // namespace

GsReadResult TintLin::readGs() {
  installGs(TGsContent{});
  GsReadResult result;
  QString error;
  const QString path = findNoCase(mainFolder(), mainName_ + QStringLiteral(".gs"));
  const std::optional<QByteArray> bytes = readWhole(path, &error);
  if (!bytes) {
    result.errors.append(error);
    return result;
  }
  TGsContent content;
  result = parseGs(*bytes, content);
  if (result.valid) installGs(std::move(content), &result.errors);
  for (QString& e : result.errors) e = path + QStringLiteral(": ") + e;
  return result;
}

void TintLin::installGs(TGsContent content, QStringList* errors) {
  calc_ = TCalcpos();
  calc_.setDir(mainFolder());
  calc_.setName(mainName_);
  stream_.clear();
  last_ = -1;
  usage_.clear();
  usageList_ = -1;
  QString error;
  if (!calc_.setTables(content.books, content.chapters, &error)) {
    if (errors) errors->append(QStringLiteral("chapter table: ") + error);
    // Keep the books at least: references to them still work without positions.
    if (!calc_.setTables(content.books, {}, &error) && errors) errors->append(QStringLiteral("book table: ") + error);
  }
  variants_ = std::move(content.variants);
  ont_ = content.ont;
  if (!content.hasStream) return;
  stream_ = std::move(content.stream);
  last_ = std::int32_t(stream_.size()) - 1;
  if (last_ >= 0 && cell::isVerse(stream_.back()) && errors)
    errors->append(QStringLiteral("the word stream ends inside a verse marker"));
  // The end of the text reads as the start of a new book.
  stream_.push_back(std::uint16_t(cell::kVerse + 1));
  stream_.push_back(cell::kNewBookFlag);
  raiseMaxStreamPos(last_);
}

QString TintLin::testamentOf(const QString& text) const {
  const QString folder = findNoCase(root_, text) + QLatin1Char('/');
  const std::optional<QByteArray> bytes = readWhole(findNoCase(folder, text + QStringLiteral(".gs")), nullptr);
  return bytes ? ontOf(*bytes) : QString();
}

void TintLin::recordKnownRole(int slot) {
  const Tsubl& s = pending_.slot(slot);
  auto is = [&](const char* name) { return s.fileName.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; };
  if (is("TL_KJV.wl")) known_.gloss = slot;
  if (is("strong.wl")) known_.strong = slot;
  if (is("Lemma.wl")) known_.lemma = slot;
  if (is("Transliteration.wl")) known_.transliteration = slot;
  if (is("P_WHM.wl") && s.parsingList == 1) known_.parsing = slot;
  if (is("CGTS.wl")) known_.connected = slot;
  if (is("CHES2.wl")) known_.connected2 = slot;
  if (is("CGES_id.wl")) known_.connectedIds = slot;
}

void TintLin::clearData() {
  for (TWordList& l : lists_) l.clear();
  for (TSelection& s : selections_) s.clear();
  usage_.clear();
  usageList_ = -1;
  single_ = {};
  // Every role is found again; a role left from the previous load would name the wrong slot.
  known_ = TKnownSublinears{};
}

TLoadReport TintLin::openWithAllLists(const QString& root, const QString& name, GsReadResult* gs) {
  setRootFolder(root);
  setMainName(name);
  pending_.slot(0).fileName = name + QStringLiteral(".WL0");
  int n = 1;
  for (const QString& f : QDir(mainFolder()).entryList({QStringLiteral("*.wl")}, QDir::Files, QDir::Name))
    if (n < kLists) pending_.slot(n++).fileName = f;
  pending_.slotCount = std::uint8_t(n);
  const GsReadResult read = readGs();
  if (gs) *gs = read;
  TLoadReport report = loadAll();
  applyPending();
  return report;
}

TLoadReport TintLin::loadAll(const RegistryStore* registry) {
  TLoadReport report;
  clearData();
  const QString folder = mainFolder();
  Tsubl& main = pending_.slot(0);
  main.fileName = mainName_ + QStringLiteral(".WL0");
  report.mainFile = main.fileName;

  if (!QFileInfo::exists(listPath(folder, main.fileName))) {
    report.main = TLoadReport::Main::Missing;
    pending_.slotCount = 0;
    return report;
  }
  const WlLoadResult mr = loadList(folder, main, lists_[0]);
  if (mr.missing > 0) {
    report.main = TLoadReport::Main::Failed;
    report.mainErrors = mr.errors;
    lists_[0].clear();
    pending_.slotCount = 0;
    return report;
  }
  pendingOptions_.setFlag(LineOptions::Hebrew, main.lng.compare(QStringLiteral("hebrew"), Qt::CaseInsensitive) == 0);

  const int count = std::clamp<int>(pending_.slotCount, 1, kMaxSlots);
  int i = 1;
  for (int j = 1; j < count; ++j) {
    if (i < j) pending_.slot(i) = pending_.slot(j);
    Tsubl& s = pending_.slot(i);
    const QString path = folder + s.fileName;
    if (s.fileName.isEmpty() || !QFileInfo::exists(listPath(folder, s.fileName))) {
      report.dropped.append(s.fileName);
      continue;
    }
    TWordList& list = lists_[std::size_t(i)];
    TSelection& sel = selections_[std::size_t(i)];
    const SublinearLoadResult lr = loadSublinear(folder, s, list, sel);
    if (lr.failed != 0) {
      report.failed.push_back({j, s.fileName, path, lr.errors});
      list.clear();
      sel.clear();
      continue;
    }
    // Positions the file does not reach have no rendering; filling them keeps every
    // position of the stream addressable for edits.
    if (last_ >= 0 && sel.size() < std::size_t(last_) + 1) {
      report.shortSelections.append(s.fileName);
      sel.resize(std::size_t(last_) + 1, 255);
    }
    recordKnownRole(i);
    ++i;
  }
  pending_.slotCount = std::uint8_t(i);
  bool anyVisible = false;
  for (int k = 0; k < i; ++k) anyVisible = anyVisible || pending_.slot(k).visible;
  if (!anyVisible) main.visible = true;
  if (registry) readEditStatistics(*registry);
  return report;
}

QStringList TintLin::reloadHeaders() {
  QStringList errors;
  const QString folder = mainFolder();
  known_ = TKnownSublinears{};
  const int count = std::min<int>(pending_.slotCount, kMaxSlots);
  for (int k = 0; k < count; ++k) {
    const WlLoadResult r = refreshHeader(folder, pending_.slot(k));
    errors += r.errors;
    if (k > 0) recordKnownRole(k);
  }
  if (count > 0)
    pendingOptions_.setFlag(LineOptions::Hebrew,
                            pending_.slot(0).lng.compare(QStringLiteral("hebrew"), Qt::CaseInsensitive) == 0);
  return errors;
}

void TintLin::readEditStatistics(const RegistryStore& registry) {
  IniFile ini;
  if (!registry.open(QStringLiteral("EditInfo\\WL\\") + mainName_, ini)) return;
  const int count = std::min<int>(pending_.slotCount, kMaxSlots);
  for (int k = 1; k < count; ++k) {
    Tsubl& s = pending_.slot(k);
    const QString section = baseName(s.fileName);
    s.editCnt = ini.readInteger(section, QStringLiteral("EditCnt"), 0);
    s.lastLB = ini.readFloat(section, QStringLiteral("lastLB"), 0);
    s.lastUB = ini.readFloat(section, QStringLiteral("lastUB"), 0);
  }
}

// ---- Passage access ----

Twlistrec TintLin::entry(int list, std::int32_t index) const {
  if (list < 0 || list >= kLists) return {};
  const TWordList& l = lists_[std::size_t(list)];
  return l.contains(index) ? l.entries[std::size_t(index)] : Twlistrec{};
}

std::int32_t TintLin::renderingIndex(int list, std::int32_t w, int s) const {
  if (list < 0 || list >= kLists) return -1;
  const TWordList& l = lists_[std::size_t(list)];
  const std::int32_t n = std::min<std::int32_t>(l.count, std::int32_t(l.entries.size()));
  if (w < 0 || w >= n) return -1;
  if (s == 255) s = 0;
  // At most s steps, and never more than the list has entries: a next outside the list
  // or a ring that never comes back ends the walk at the last entry reached.
  const int steps = std::min<std::int32_t>(s, n);
  std::int32_t cur = w;
  for (int k = 0; k < steps; ++k) {
    const std::int32_t next = l.entries[std::size_t(cur)].next;
    if (next == w || next < 0 || next >= n) break;
    cur = next;
  }
  return cur;
}

std::string TintLin::rendering(int list, std::int32_t w, int s) {
  const std::int32_t idx = renderingIndex(list, w, s);
  if (idx < 0) return {};
  const TWordList& l = lists_[std::size_t(list)];
  single_[std::size_t(list)] = (l.entries[std::size_t(w)].flags & 32) == 0;
  return l.entries[std::size_t(idx)].text;
}

bool TintLin::singleRendering(int list) const { return list >= 0 && list < kLists && single_[std::size_t(list)]; }

std::string TintLin::cellText(int list, std::int32_t position) {
  if (list < 0 || list >= kLists || position < 0 || position > last_) return {};
  const std::uint16_t c = stream_[std::size_t(position)];
  if (!cell::isWord(c)) return {};
  std::string text;
  if (list == 0) {
    text = entry(0, c).text;
  } else {
    const TSelection& sel = selections_[std::size_t(list)];
    int s = std::size_t(position) < sel.size() ? sel[std::size_t(position)] : 255;
    if (s == 255 && !appliedOptions_.flag(LineOptions::ShowNonEntries)) return {};
    text = rendering(list, c, s);
  }
  if (text.size() > std::size_t(kMaxCellText)) text.resize(kMaxCellText);
  return text;
}

void TintLin::countUsage(int list) {
  usage_.clear();
  usageList_ = -1;
  if (list < 0 || list >= kLists) return;
  const TWordList& l = lists_[std::size_t(list)];
  usage_.assign(l.entries.size(), 0);
  usageList_ = list;
  const TSelection* sel = list > 0 ? &selections_[std::size_t(list)] : nullptr;
  walker_.setStream(&stream_);
  walker_.first = 1;
  walker_.last = last_;
  walker_.stepOver.clear();
  walker_.start(appliedOptions_);
  while (walker_.next()) {
    const std::int32_t p = walker_.valuePosition();
    int s = 0;
    if (sel && std::size_t(p) < sel->size()) s = (*sel)[std::size_t(p)];
    // The entry counted is the one shown: the same ring walk as the cells use.
    const std::int32_t idx = renderingIndex(list, walker_.value(), s);
    if (idx >= 0) ++usage_[std::size_t(idx)];
  }
}

char TintLin::markOf(std::int32_t markerPosition) const {
  // A marker in the last cell has no flags cell of its own.
  if (markerPosition + 1 > last_) return ' ';
  const char m = char(stream_[std::size_t(markerPosition) + 1] & 0xFF);
  return m == 0 ? ' ' : m;
}

std::int32_t TintLin::verseMarkerOf(std::int32_t chapterStart, int verse) const {
  for (std::int32_t p = std::max(chapterStart, 0); p <= last_;) {
    const std::uint16_t c = stream_[std::size_t(p)];
    if (cell::isVerse(c)) {
      if (c - cell::kVerse == verse) return p;
      p += 2;  // a flags cell is never a marker
    } else {
      ++p;
    }
  }
  return last_;
}

TVerseAt TintLin::verseAt(std::int32_t position) const {
  TVerseAt r;
  const std::int32_t from = std::min(position, last_);
  const std::int32_t to = std::max(position - 1000, 1);
  for (std::int32_t p = from; p >= to; --p) {
    const std::uint16_t c = stream_[std::size_t(p)];
    if (cell::isVerse(c)) {
      r.verse = c - cell::kVerse;
      r.mark = markOf(p);
      break;
    }
  }
  return r;
}

// Each verse marker met moves the remaining count one step toward 0 (not the one at the
// start); so 1 from inside a verse reaches the next marker, -1 the verse's own marker
// and -1 from a marker the previous one. The walk stops at the text's ends.
TVerseStep TintLin::stepVerses(std::int32_t position, int count, bool clampAtEnd) const {
  TVerseStep r;
  r.position = position;
  if (last_ < 0) return r;
  std::int32_t pos = std::clamp(position, 0, last_);
  int remaining = count;
  for (int round = 0; round < 9999; ++round) {
    const std::uint16_t c = stream_[std::size_t(pos)];
    if (cell::isVerse(c)) {
      r.position = pos;
      r.verse = c - cell::kVerse;
      r.mark = markOf(pos);
      if (round > 0) remaining += remaining > 0 ? -1 : (remaining < 0 ? 1 : 0);
    }
    if (remaining == 0) break;
    if (remaining < 1) {
      if (pos < 2) break;
      --pos;
    } else if (pos < last_) {
      ++pos;
    } else {
      if (clampAtEnd) r.position = last_;
      break;
    }
  }
  return r;
}

std::string TintLin::refText(std::int32_t position) {
  if (last_ < 0) return {};
  const std::int32_t pos = std::clamp(position, 0, last_);
  calc_.setPosition(pos);
  const std::string book = calc_.found() ? calc_.Bks() : std::string();
  const int chapter = calc_.found() ? calc_.Chapter() : 0;
  std::int32_t marker = pos;
  while (marker > 0 && !cell::isVerse(stream_[std::size_t(marker)])) --marker;
  walker_.setStream(&stream_);
  walker_.first = marker;
  walker_.last = pos;
  walker_.stepOver.clear();
  walker_.start(appliedOptions_);
  int words = 0;
  while (walker_.next()) ++words;
  const int verse = cell::isVerse(stream_[std::size_t(marker)]) ? stream_[std::size_t(marker)] - cell::kVerse : 0;
  return book + ' ' + std::to_string(chapter) + ':' + std::to_string(verse) + '.' + std::to_string(words);
}

std::int32_t TintLin::findVerse(std::int32_t chapterStart, int verse) { return verseMarkerOf(chapterStart, verse); }

void TintLin::verseAt(std::int32_t position, std::int16_t& verse, char& mark) {
  const TVerseAt v = verseAt(position);
  verse = std::int16_t(v.verse);
  mark = v.mark;
}

}  // namespace kov
