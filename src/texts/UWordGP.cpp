#include "texts/UWordGP.h"

#include <QFileInfo>
#include <algorithm>

#include "core/FileLookup.h"
#include "core/ProgramFolder.h"
#include "db/cCalcPos.h"

namespace kov {

namespace {

bool isMarker(std::uint16_t code) { return code >= TWordGP::MarkerCode; }
std::int16_t verseOf(std::uint16_t code) {
  return isMarker(code) ? static_cast<std::int16_t>(code - TWordGP::MarkerCode) : -1;
}
char markOf(std::uint16_t flags) {
  const char c = static_cast<char>(flags & 0xFF);
  return c == 0 ? ' ' : c;
}

bool readWhole(const QString& path, QByteArray& out) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return false;
  out = f.readAll();
  return true;
}

bool inSet(unsigned char c, const char* set) {
  for (const char* p = set; *p; ++p)
    if (static_cast<unsigned char>(*p) == c) return true;
  return false;
}

constexpr unsigned char kAcute = 0xB4;

}  // namespace


bool TWordGP::isPunctuation(unsigned char c) {
  return inSet(c, "!'(),-.:;<>?[]`\"") || c == kAcute;
}
bool TWordGP::isClosing(unsigned char c) { return inSet(c, "!'),-.:;>?]\"") || c == kAcute; }
bool TWordGP::isOpening(unsigned char c) { return inSet(c, "'(-<[~\"`"); }

TWordGP::TWordGP(int trnIndex) : trnIndex_(trnIndex) {}

TWordGP::~TWordGP() = default;

void TWordGP::setDir(const QString& dir) { dir_ = withTrailingSlash(dir); }

bool TWordGP::init() {
  error_.clear();
  const QString wi1 = findNoCase(dir_, name_ + QStringLiteral(".WI1"));
  const QString wi2 = findNoCase(dir_, name_ + QStringLiteral(".WI2"));
  const QString wgp = findNoCase(dir_, name_ + QStringLiteral(".wgp"));
  if (!QFileInfo::exists(wi1) || !QFileInfo::exists(wi2) || !QFileInfo::exists(wgp)) {
    error_ = dir_ + name_ + QStringLiteral(": word table files missing");
    return false;
  }
  QByteArray a, b, c;
  if (!readWhole(wi1, a) || !readWhole(wi2, b) || !readWhole(wgp, c)) {
    error_ = dir_ + name_ + QStringLiteral(": word table files unreadable");
    return false;
  }
  if (gd_.isOpen()) ToggleOpen();
  gd_.setFileName(findNoCase(dir_, name_ + QStringLiteral(".GD")));
  ToggleOpen();
  if (!gd_.isOpen()) {
    error_ = gd_.fileName() + QStringLiteral(" - ") + gd_.errorString();
    return false;
  }

  wi1_.assign(a.begin(), a.begin() + std::min<qsizetype>(a.size(), MaxWords));
  wi2_.clear();
  const auto* p = reinterpret_cast<const unsigned char*>(b.constData());
  for (qsizetype i = 0; i + 4 <= b.size() && wi2_.size() < std::size_t(MaxCheckpoints); i += 4)
    wi2_.push_back(static_cast<std::int32_t>(std::uint32_t(p[i]) | std::uint32_t(p[i + 1]) << 8 |
                                             std::uint32_t(p[i + 2]) << 16 |
                                             std::uint32_t(p[i + 3]) << 24));
  wgp_.assign(c.constData(), std::size_t(c.size()));

  records_ = static_cast<std::int32_t>(std::min<qint64>(gd_.size() / 2, INT32_MAX));
  lastRecord_ = records_ - 1;
  raiseMaxStreamPos(lastRecord_);
  header_ = records_ > 0 ? recordAt(0) : 0;
  position_ = 0;
  buildPunctWords();
  return true;
}

void TWordGP::ToggleOpen() {
  if (gd_.isOpen()) {
    gd_.close();
    if (trace_) trace_(QStringLiteral("close %1").arg(trnIndex_));
  } else {
    gd_.open(QIODevice::ReadOnly);
    if (trace_) trace_(QStringLiteral("open %1").arg(trnIndex_));
  }
}

std::int32_t TWordGP::WordOffset(int n) const {
  if (n < 0 || n >= WordCount()) return 0;
  const std::size_t k = std::size_t(n / 100);
  if (k >= wi2_.size()) return 0;
  std::int64_t off = wi2_[k];
  for (int i = int(k) * 100; i < n; ++i) off += wi1_[std::size_t(i)];
  return off < 1 || off > INT32_MAX ? 0 : static_cast<std::int32_t>(off);
}

std::string TWordGP::GetWord(int n) const {
  if (n < 0 || n >= WordCount()) return {};
  const std::int32_t off = WordOffset(n);
  const std::size_t len = wi1_[std::size_t(n)];
  if (len == 0) return {};
  if (off < 1 || std::size_t(off) - 1 + len > wgp_.size()) {
    ++badCodes_;
    return {};
  }
  return wgp_.substr(std::size_t(off) - 1, len);
}

int TWordGP::readRecords(std::int32_t from, int count, std::vector<std::uint16_t>& out) {
  out.clear();
  if (!gd_.isOpen() || from < 0 || from >= records_ || count <= 0) return 0;
  const int n = static_cast<int>(std::min<std::int64_t>(count, std::int64_t(records_) - from));
  QByteArray raw(qsizetype(n) * 2, Qt::Uninitialized);
  if (!gd_.seek(qint64(from) * 2)) return 0;
  const qint64 got = gd_.read(raw.data(), raw.size());
  if (got <= 0) return 0;
  const int m = static_cast<int>(got / 2);
  out.resize(std::size_t(m));
  const auto* p = reinterpret_cast<const unsigned char*>(raw.constData());
  for (int i = 0; i < m; ++i)
    out[std::size_t(i)] = static_cast<std::uint16_t>(p[2 * i] | (p[2 * i + 1] << 8));
  return m;
}

std::uint16_t TWordGP::recordAt(std::int32_t pos) {
  std::vector<std::uint16_t> one;
  return readRecords(pos, 1, one) == 1 ? one[0] : 0;
}

void TWordGP::buildPunctWords() {
  punctWords_.clear();
  for (int n = 1; n < WordCount(); ++n) {
    const std::string w = GetWord(n);
    unsigned char tested;
    if (w.size() == 1)
      tested = static_cast<unsigned char>(w[0]);
    else if (w.size() == 2)
      tested = static_cast<unsigned char>(w[0] == ' ' ? w[1] : w[0]);
    else
      continue;
    if (!isPunctuation(tested)) continue;
    if (punctWords_.size() >= std::size_t(MaxPunctWords))
      throw TextRangeError("more than 51 punctuation words in the word table");
    punctWords_.push_back(n);
  }
}

void TWordGP::setNextVerse(std::int16_t v) {
  nextVerse_ = v;
  if (position_ < 0) position_ = 0;
  while (true) {
    const int n = readRecords(position_, SeekBlock, buf_);
    for (int i = 0; i < n; ++i) {
      if (isMarker(buf_[std::size_t(i)]) && verseOf(buf_[std::size_t(i)]) == v) {
        position_ += i;
        return;
      }
    }
    position_ += n;
    if (n < SeekBlock) return;
  }
}

bool TWordGP::GotoRef() {
  PrevRef = CurRef;
  verseExist_ = false;
  if (!calc_) return false;
  calc_->setBks(CurRef.Bks);
  if (!calc_->found()) return false;
  verseExist_ = true;
  calc_->setChapter(CurRef.chapter);
  position_ = calc_->Position();
  setNextVerse(CurRef.verse);
  return true;
}

bool TWordGP::ReadVerse() {
  verseText_.clear();
  hitPositions_.clear();
  verseExist_ = false;
  if (!gd_.isOpen() || position_ < 0 || position_ >= lastRecord_) return false;

  verseExist_ = true;
  wordsLen_ = 0;
  wordsText_.clear();
  wordLens_.clear();
  // One record beyond the verse's limit so the next marker's flags word is at hand.
  const int n = readRecords(position_, VerseBlock + 1, buf_);
  const int limit = std::min(n, VerseBlock);
  PrevRef = CurRef;
  lastVerse_ = n > 0 ? verseOf(buf_[0]) : -1;
  PrevRef.verse = lastVerse_;

  int i = 2;
  for (; i < limit && !isMarker(buf_[std::size_t(i)]); ++i) {
    const std::uint16_t c = buf_[std::size_t(i)];
    if (c >= LayoutCode) continue;
    std::string word;
    if (c < WordCount()) {
      word = GetWord(c);
    } else {
      ++badCodes_;  // names no word: shown empty
    }
    const std::int32_t at = position_ + i;
    if (hits_ && hits_->isHit(trnIndex_, at)) {
      if (hitPositions_.size() >= std::size_t(MaxHits))
        throw TextRangeError("more than 101 hits in one verse");
      word = "@" + word + "@";
      hitPositions_.push_back(at);
    }
    wordLens_.push_back(static_cast<std::uint16_t>(word.size()));
    wordsLen_ += static_cast<std::uint32_t>(word.size());
    wordsText_ += word;
  }
  if (wordsLen_ == 0) {
    wordsText_ = "error empty string";
    wordLens_.assign(1, static_cast<std::uint16_t>(wordsText_.size()));
  }
  const bool metMarker = i < limit;
  const std::int16_t v = metMarker ? verseOf(buf_[std::size_t(i)]) : 0;
  if (lastVerse_ <= 0) return true;

  CurRef.verse = v;
  nextVerse_ = v;
  position_ += i;
  if (metMarker) {
    const std::uint16_t flags =
        i + 1 < n ? buf_[std::size_t(i + 1)] : std::uint16_t(0);
    if ((flags & (NewBookFlag | NewChapterFlag)) && calc_) {
      calc_->setPosition(position_);
      if (calc_->found()) {
        CurRef.Bks = calc_->Bks();
        CurRef.Bka = calc_->Bka();
        CurRef.bookNr = static_cast<std::uint8_t>(calc_->Bnr());
        CurRef.chapter = static_cast<std::uint8_t>(calc_->Chapter());
      }
    }
  }
  buildVerseText();
  return false;
}

void TWordGP::buildVerseText() {
  verseText_.clear();
  verseText_.reserve(wordsText_.size() + wordLens_.size());
  std::size_t at = 0;
  for (std::size_t w = 0; w < wordLens_.size(); ++w) {
    const std::size_t len = wordLens_[w];
    verseText_.append(wordsText_, at, len);
    const std::size_t next = at + len;
    if (w + 1 < wordLens_.size()) {
      const std::size_t nextLen = wordLens_[w + 1];
      const bool closing =
          nextLen > 0 && isClosing(static_cast<unsigned char>(wordsText_[next]));
      const bool opening = len > 0 && isOpening(static_cast<unsigned char>(wordsText_[next - 1]));
      if (!closing && !opening) verseText_ += ' ';
    }
    at = next;
  }
}

void TWordGP::FindVerseStart() {
  if (position_ < 0) return;
  const std::int32_t s = std::max<std::int32_t>(0, position_ + 1 - StartBlock);
  const int n = readRecords(s, StartBlock, buf_);
  if (n == 0) return;
  int idx = std::min<int>(position_ - s, n - 1);
  if (idx < 1) return;
  while (!isMarker(buf_[std::size_t(idx)]) && idx > 0) --idx;
  nextVerse_ = verseOf(buf_[std::size_t(idx)]);
  position_ = s + idx;
}

TVerseStep TWordGP::StepVerses(std::int32_t position, int count, bool clampAtEnd) {
  TVerseStep result{position, -1, ' '};
  if (count == 0 || lastRecord_ < 1) return result;
  std::int32_t start = count > 0 ? std::min(position, lastRecord_ - (SeekBlock - 1))
                                 : position - (SeekBlock - 2);
  start = std::max<std::int32_t>(start, 1);
  // One record more than the window so a marker at its end still has its flags word.
  std::vector<std::uint16_t> win;
  const int n = readRecords(start, SeekBlock + 1, win);
  const int len = std::min(n, SeekBlock);
  int i = position - start;
  if (i < 0 || i >= len) return result;
  int dir = count > 0 ? 1 : -1;
  bool first = true;
  while (true) {
    const std::uint16_t code = win[std::size_t(i)];
    if (!first && isMarker(code)) {
      result.position = start + i;
      result.verse = verseOf(code);
      result.mark = i + 1 < n ? markOf(win[std::size_t(i + 1)]) : ' ';
      count -= dir;
      if (count == 0) break;
    }
    first = false;
    if (dir > 0 && start + i >= lastRecord_) {
      if (clampAtEnd) {
        result.position = lastRecord_;
        break;
      }
      dir = -1;
      count = -1;
    } else if (dir < 0 && i == 0) {
      break;
    }
    i += dir;
    if (i < 0 || i >= len) break;
  }
  return result;
}

// ---- slots for the reference operations ------------------------------------------

void TWordGPVerses::setReader(int slot, TWordGP* reader) {
  if (slot >= 1 && slot <= 10) readers_[slot] = reader;
}

TWordGP* TWordGPVerses::reader(int slot) const {
  return slot >= 1 && slot <= 10 ? readers_[slot] : nullptr;
}

std::int32_t TWordGPVerses::goToVerse(int slot, std::int32_t chapterStart, int verse) {
  TWordGP* r = reader(slot);
  if (!r || verse < -32768 || verse > 32767) return -1;
  r->setPosition(chapterStart);
  r->setNextVerse(static_cast<std::int16_t>(verse));
  return r->Position();
}

std::int16_t TWordGPVerses::verseAt(int slot, std::int32_t position) {
  TWordGP* r = reader(slot);
  if (!r) return -1;
  r->setPosition(position);
  r->FindVerseStart();
  return r->NextVerse();
}

}  // namespace kov
