#include "display/cRenderTxt.h"

#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace kov {

QColor toQColor(StoredColor c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

namespace {

constexpr StoredColor kBlue = 0xFF0000;
constexpr StoredColor kPurple = 0xAA00AA;
constexpr StoredColor kOlive = 0x008888;
constexpr StoredColor kRed = 0x0000FF;
constexpr StoredColor kLinkBlue = 0xFF5555;
constexpr StoredColor kPink = 0xFF33FF;
constexpr std::size_t kCacheLimit = 4096;

int roundHalfAway(double v) { return static_cast<int>(std::lround(v)); }

void checkRange(int set, int slot, int style) {
  if (set < 0 || set >= TRenderTxt::kSets) throw DisplayRangeError("font set out of range");
  if (slot < 0 || slot >= TRenderTxt::kSlots) throw DisplayRangeError("font slot out of range");
  if (style < 0 || style >= TRenderTxt::kStyles) throw DisplayRangeError("font style out of range");
}

}  // namespace

// One shaped run: made once, measured, then drawn and hit-tested from the same layout.
struct TRenderTxt::Shaped {
  std::unique_ptr<QTextLayout> layout;
  double width = 0;
  double ascent = 0;
  double height = 0;
};

size_t qHash(const TRenderTxt::CacheKey& k, size_t seed) noexcept {
  return qHashMulti(seed, k.fontId, k.rtl, k.text);
}

TRenderTxt::TRenderTxt() : fonts_(kSets * kSlots * kStyles) {
  makeEntry(fallback_, QStringLiteral("Arial"), -12, 0, LetterCode::None);
  recomputePairs();
  ResetMarkup();
}

TRenderTxt::~TRenderTxt() = default;

// --- fonts ----------------------------------------------------------------------------------------

void TRenderTxt::makeEntry(FontEntry& e, const QString& face, int height, int style, LetterCode code) {
  QFont f(resolveFace(face));
  if (style & Small) height = roundHalfAway(height * 10.0 / 12.0);
  int pixels = 16;
  if (height < 0) {
    pixels = -height;
  } else if (height > 0) {
    // A positive height is the whole cell; find the character size that gives that cell.
    f.setPixelSize(height);
    const double cell = QFontMetricsF(f).height();
    pixels = cell > 0 ? roundHalfAway(height * height / cell) : height;
  }
  f.setPixelSize(std::max(1, pixels));
  f.setWeight((style & Bold) ? QFont::Bold : QFont::Normal);
  f.setItalic(style & Italic);
  f.setUnderline(style & Underline);
  e.font = f;
  e.metrics.emplace(f);
  e.code = code;
  e.built = true;
  e.id = nextFontId_++;
}

TRenderTxt::FontEntry& TRenderTxt::entry(int set, int slot, int style) {
  return fonts_[static_cast<std::size_t>((set * kSlots + slot) * kStyles + style)];
}

const TRenderTxt::FontEntry& TRenderTxt::entry(int set, int slot, int style) const {
  const FontEntry& e = fonts_[static_cast<std::size_t>((set * kSlots + slot) * kStyles + style)];
  if (e.built) return e;
  // Fixed slots carry style 0 only; other styles draw with it.
  const FontEntry& plain = fonts_[static_cast<std::size_t>((set * kSlots + slot) * kStyles)];
  return plain.built ? plain : fallback_;
}

const TRenderTxt::FontEntry& TRenderTxt::current() const { return entry(set_, slot_, style_); }

void TRenderTxt::BuildFontSet(int set, const PresentationFonts& pf, double zoom) {
  checkRange(set, 0, 0);
  for (int slot = 0; slot < kSlots; ++slot)
    for (int st = 0; st < kStyles; ++st) entry(set, slot, st).built = false;
  auto zoomed = [zoom](int h) { return roundHalfAway(h * zoom); };
  auto all = [&](int slot, const FontFace& ff) {
    const LetterCode code = letterCodeOfFace(ff.name);
    for (int st = 0; st < kStyles; ++st) makeEntry(entry(set, slot, st), ff.name, zoomed(ff.height), st, code);
  };
  const int subl = std::min<int>(static_cast<int>(pf.sublinears.size()), 21);
  for (int i = 0; i < subl; ++i) all(i, pf.sublinears[static_cast<std::size_t>(i)]);
  // Built after the sublinears: a 21st sublinear gives way to the translation font.
  all(20, pf.translation);
  all(21, pf.notes);
  auto one = [&](int slot, const QString& face, int h) {
    makeEntry(entry(set, slot, 0), face, h, 0, letterCodeOfFace(face));
  };
  one(22, QStringLiteral("Times New Roman"), zoomed(-22));
  one(23, QStringLiteral("Arial"), zoomed(pf.verseNumberHeight));
  one(24, QStringLiteral("Arial"), -12);
  one(25, QStringLiteral("courier new"), zoomed(pf.monospaceHeight));
  one(26, QStringLiteral("Microsoft Sans Serif"), roundHalfAway(pf.smallCaptionHeight * 9.0 / 12.0 * zoom));
  clearLayoutCache();
}

void TRenderTxt::BuildAdhocFont(const QString& face, int height, int slot) {
  checkRange(2, slot, 0);
  const QString f = face.isEmpty() ? QStringLiteral("Arial") : face;
  for (int st = 0; st < kStyles; ++st) entry(2, slot, st).built = false;
  for (int st = 0; st < 8; ++st) makeEntry(entry(2, slot, st), f, height, st, letterCodeOfFace(f));
}

void TRenderTxt::SelectFont(int set, int slot, int style) {
  checkRange(set, slot, style);
  set_ = set;
  slot_ = slot;
  style_ = style;
  if (canvas) canvas->setFont(current().font);
}

const QFont& TRenderTxt::font(int set, int slot, int style) const {
  checkRange(set, slot, style);
  return entry(set, slot, style).font;
}

LetterCode TRenderTxt::slotLetterCode(int set, int slot) const {
  checkRange(set, slot, 0);
  return entry(set, slot, 0).code;
}

double TRenderTxt::ascent() const { return current().metrics->ascent(); }
double TRenderTxt::descent() const { return current().metrics->descent(); }

// --- colours and markup state -------------------------------------------------------------------

void TRenderTxt::recomputePairs() {
  const StoredColor base[4] = {textClr_, kBlue, kPurple, kOlive};
  for (int i = 0; i < 4; ++i) m_.pairs[static_cast<std::size_t>(i)] = {base[i], blendColor(clBgInt, base[i], 0.5)};
}

void TRenderTxt::setTextClr(StoredColor c) {
  textClr_ = c;
  recomputePairs();
  m_.savedBase.reset();
}

StoredColor TRenderTxt::currentColor() const {
  return m_.pairs[static_cast<std::size_t>(m_.colorIndex)][m_.light ? 1 : 0];
}

void TRenderTxt::ResetMarkup() {
  if (m_.savedMonoSlot >= 0) slot_ = m_.savedMonoSlot;  // a span left open must not stick
  const auto pairs = m_.pairs;
  const auto savedBase = m_.savedBase;
  m_ = MarkupState{};
  m_.pairs = pairs;
  if (savedBase) m_.pairs[0] = *savedBase;  // an unclosed link mark must not recolour later fields
  hitPos = -1;
  highlightXs.clear();
}

MarkupState TRenderTxt::markupState() const {
  MarkupState s = m_;
  s.slot = slot_;
  return s;
}

void TRenderTxt::setMarkupState(const MarkupState& s) {
  m_ = s;
  slot_ = s.slot;
}

void TRenderTxt::applyTag(const QString& name) {
  auto linkOn = [&](int i, StoredColor colour) {
    m_.link[static_cast<std::size_t>(i)] = true;
    if (colour && drawEffects) {
      if (!m_.savedBase) m_.savedBase = m_.pairs[static_cast<std::size_t>(m_.colorIndex)];
      m_.pairs[0] = {colour, blendColor(clBgInt, colour, 0.5)};
    }
  };
  auto linkOff = [&](int i, bool recolour) {
    m_.link[static_cast<std::size_t>(i)] = false;
    m_.barContinues = false;
    if (recolour && drawEffects && m_.savedBase) {
      m_.pairs[0] = *m_.savedBase;
      m_.savedBase.reset();
    }
  };
  const QString& n = name;
  if (n == u"b") m_.style |= Bold;
  else if (n == u"/b") m_.style &= ~Bold;
  else if (n == u"i") m_.style |= Italic;
  else if (n == u"/i") m_.style &= ~Italic;
  else if (n == u"u") m_.style |= Underline;
  else if (n == u"/u") m_.style &= ~Underline;
  else if (n == u"s") {
    m_.style |= Small;
    m_.raise = std::abs(entry(set_, slot_, 0).metrics->height()) / 4.0;
  } else if (n == u"/s") {
    m_.style &= ~Small;
    m_.raise = 0;
  } else if (n == u"l") m_.light = true;
  else if (n == u"/l") m_.light = false;
  else if (n == u"g") m_.greyBand = true;
  else if (n == u"/g") m_.greyBand = false;
  else if (n == u"c1") m_.colorIndex = 1;
  else if (n == u"c2") m_.colorIndex = 2;
  else if (n == u"c3") m_.colorIndex = 3;
  else if (n == u"/c1" || n == u"/c2" || n == u"/c3") m_.colorIndex = 0;
  else if (n == u"ms") {
    if (m_.savedMonoSlot < 0) {
      m_.savedMonoSlot = slot_;
      slot_ = kMonoSlot;
    }
  } else if (n == u"/ms") {
    if (m_.savedMonoSlot >= 0) slot_ = m_.savedMonoSlot;
    m_.savedMonoSlot = -1;
  } else if (n == u"hl") m_.highlight = true;
  else if (n == u"/hl") m_.highlight = false;
  else if (n == u"h1") linkOn(0, kRed);
  else if (n == u"/h1") linkOff(0, true);
  else if (n == u"h2") linkOn(1, 0);
  else if (n == u"/h2") linkOff(1, false);
  else if (n == u"h3") linkOn(2, kPink);
  else if (n == u"/h3") linkOff(2, true);
  // Anything else, "A" and "/A" included, has no effect.
}

// --- shaping ------------------------------------------------------------------------------------------

void TRenderTxt::clearLayoutCache() { cache_.clear(); }
std::size_t TRenderTxt::layoutCacheSize() const { return static_cast<std::size_t>(cache_.size()); }

const TRenderTxt::Shaped& TRenderTxt::shape(const FontEntry& f, const QString& text, bool rtl) {
  CacheKey key{f.id, rtl, text};
  auto it = cache_.constFind(key);
  if (it != cache_.constEnd()) return **it;
  if (static_cast<std::size_t>(cache_.size()) >= kCacheLimit) cache_.clear();
  auto s = std::make_shared<Shaped>();
  s->layout = std::make_unique<QTextLayout>(text, f.font);
  QTextOption opt;
  opt.setTextDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
  opt.setWrapMode(QTextOption::NoWrap);
  opt.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
  s->layout->setTextOption(opt);
  s->layout->setCacheEnabled(true);
  s->layout->beginLayout();
  QTextLine line = s->layout->createLine();
  if (line.isValid()) {
    line.setLineWidth(1e6);
    line.setPosition(QPointF(0, 0));
  }
  s->layout->endLayout();
  if (line.isValid()) {
    // Re-set the width to the natural width so right-to-left text starts at 0 too.
    // The advance, not the inked width: runs follow each other pen to pen.
    s->width = line.horizontalAdvance();
    s->layout->beginLayout();
    QTextLine l2 = s->layout->createLine();
    l2.setLineWidth(s->width);
    l2.setPosition(QPointF(0, 0));
    s->layout->endLayout();
    s->ascent = l2.ascent();
    s->height = l2.height();
  } else {
    s->ascent = f.metrics->ascent();
    s->height = f.metrics->height();
  }
  return **cache_.insert(key, std::move(s));
}

namespace {

// Characters (whole clusters) from the logical start of a shaped run that fit in `room`.
int fittingChars(const QTextLayout& layout, double width, double room, bool rtl) {
  const QTextLine line = layout.lineAt(0);
  const int len = static_cast<int>(layout.text().size());
  int best = 0;
  for (int p = layout.nextCursorPosition(0); p <= len && p > best; p = layout.nextCursorPosition(p)) {
    const double x = line.cursorToX(p);
    const double extent = rtl ? width - x : x;
    if (extent > room + 1e-9) break;
    best = p;
    if (p == len) break;
  }
  return best;
}

}  // namespace

// --- drawing ----------------------------------------------------------------------------------------

void TRenderTxt::drawRun(double x, double y, double& advance, QString run, int firstIndex) {
  if (m_.cut || run.isEmpty()) return;
  if (rightToLeft && set_ != 2 && slot_ != kMonoSlot && flipWords) run = flipWord(run);
  if (!useCharMap) {
    const LetterCode code = entry(set_, slot_, 0).code;
    const bool transliterated = scriptOptions.translit && set_ < 2 && slot_ == 0;
    if (code != LetterCode::None && !transliterated) run = letterCodeToUnicode(run, code);
  }
  style_ = m_.style;
  const FontEntry& f = current();
  const Shaped* s = &shape(f, run, rightToLeft);
  double w = s->width;

  if (!completeFields) {
    const double limit = std::round(250.0 * scaleX * scaleY);
    const double room = limit - advance;
    if (advance + w > limit) {
      const Shaped& dots = shape(f, QStringLiteral("..."), rightToLeft);
      if (room > dots.width) {
        const int n = fittingChars(*s->layout, s->width, room - dots.width, rightToLeft);
        run = run.left(n) + QStringLiteral("...");
        s = &shape(f, run, rightToLeft);
        w = room;
      } else {
        run = QStringLiteral("...");
        s = &dots;
        w = dots.width;
      }
      m_.cut = true;
    }
  }

  const double left = rightToLeft ? x - advance - w : x + advance;
  const double baseline = textAlign == AlignTop ? y + f.metrics->ascent() : y;
  const double yy = baseline - m_.raise;

  if (m_.highlight && highlightXs.size() < static_cast<std::size_t>(kMaxHighlightRecords))
    highlightXs.push_back(left);

  QPainter* p = measureOnly ? nullptr : canvas;
  if (p && drawEffects) {
    const QRectF band(left, yy - s->height / 2 - 2, w, s->height / 2 + 2);
    if (m_.greyBand)
      p->fillRect(band, toQColor(blendColor(clBgInt, m_.pairs[static_cast<std::size_t>(m_.colorIndex)][0], 0.15)));
    if (m_.highlight) p->fillRect(band, toQColor(clSrchTag));
  }
  if (m_.link[0] || m_.link[1] || m_.link[2]) {
    const double sc = scaleX * scaleY;
    const double top = baseline + std::round(2 * sc), bottom = baseline + std::round(3 * sc);
    double from = left, to = left + w;
    if (m_.barContinues) {
      // A bar continues from the previous run of the same link span, whichever way the field runs.
      if (rightToLeft) to = m_.barLeft;
      else from = m_.barRight;
    }
    if (p && drawEffects) {
      const StoredColor colours[3] = {kRed, kLinkBlue, kPink};
      for (int i = 0; i < 3; ++i)
        if (m_.link[static_cast<std::size_t>(i)])
          p->fillRect(QRectF(std::min(from, to), top, std::abs(to - from), bottom - top), toQColor(colours[i]));
    }
    m_.barLeft = left;
    m_.barRight = left + w;
    m_.barBaseline = baseline;
    m_.barContinues = true;
  }
  if (p) {
    p->setPen(toQColor(currentColor()));
    s->layout->draw(p, QPointF(left, yy - s->ascent));
  }

  if (hitTest) {
    const double asc = f.metrics->ascent(), desc = f.metrics->descent();
    const double hy = hitPoint.y(), hx = hitPoint.x();
    if (hy < yy + desc + lineGap / 2 && hy > yy - (asc + lineGap / 2) && hx >= left) {
      hitPos = firstIndex;
      if (hx <= left + w) {
        const int off = s->layout->lineAt(0).xToCursor(hx - left, QTextLine::CursorOnCharacter);
        hitPos = firstIndex + std::clamp(off, 0, static_cast<int>(run.size()) - 1);
      }
    }
  }
  advance += w;
}

void TRenderTxt::DrawMarkup(double x, double y, double& advance, const std::string& text8, const QRectF& clipRect) {
  DrawMarkupW(x, y, advance, QString::fromLatin1(text8.data(), static_cast<qsizetype>(text8.size())), clipRect);
}

void TRenderTxt::DrawMarkupW(double x, double y, double& advance, const QString& text, const QRectF& clipRect) {
  QPainter* p = measureOnly ? nullptr : canvas;
  if (p && clip) {
    p->save();
    p->setClipRect(clipRect, Qt::IntersectClip);
  }
  const QString t = (set_ < 2 && slot_ == 0) ? applyScriptOptions(text, scriptOptions) : text;
  QString run, tag;
  int runStart = 0;
  bool inTag = false;
  for (int i = 0; i < t.size(); ++i) {
    QChar ch = t[i];
    if (inTag) {
      if (ch == u'>') {
        inTag = false;
        applyTag(tag);
      } else if (tag.size() < kMaxTagName) {
        tag += ch;
      }
      continue;
    }
    if (ch == u'<') {
      drawRun(x, y, advance, run, runStart);
      run.clear();
      tag.clear();
      inTag = true;
      continue;
    }
    if (run.isEmpty()) runStart = i;
    if (useCharMap && charMap) {
      const char16_t u = ch.unicode();
      if (u > 255) ch = u'#';
      else if (const std::uint16_t mapped = (*charMap)[u][1]) ch = QChar(char16_t(mapped));
    }
    run += ch;
  }
  drawRun(x, y, advance, run, runStart);
  if (p && clip) p->restore();
}

void TRenderTxt::TextOut8(double x, double y, const std::string& text) {
  if (!canvas || measureOnly) return;
  const FontEntry& f = current();
  canvas->setFont(f.font);
  const double baseline = textAlign == AlignTop ? y + f.metrics->ascent() : y;
  canvas->drawText(QPointF(x, baseline), QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

double TRenderTxt::TextWidth8(const std::string& text) const {
  return current().metrics->horizontalAdvance(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

double TRenderTxt::TextHeight8(const std::string&) const { return current().metrics->height(); }

QSizeF TRenderTxt::TextExtentW(const QString& text) {
  const FontEntry& f = current();
  const Shaped& s = shape(f, text, rightToLeft);
  return {s.width, s.height};
}

QString TRenderTxt::StripTags(const QString& text) {
  QString out;
  out.reserve(text.size());
  bool inTag = false;
  for (QChar ch : text) {
    if (inTag) {
      if (ch == u'>') inTag = false;
    } else if (ch == u'<') {
      inTag = true;
    } else {
      out += ch;
    }
  }
  return out;
}

QString TRenderTxt::ToUnicode(const std::string& text8) const {
  QString out;
  out.reserve(static_cast<qsizetype>(text8.size()));
  for (unsigned char b : text8) {
    const std::uint16_t mapped = charMap ? (*charMap)[b][1] : 0;
    out += QChar(char16_t(mapped ? mapped : b));
  }
  return out;
}

std::string TRenderTxt::FromUnicode(const QString& text) const {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()));
  char prev = '?';  // a first character without an entry has no previous byte to repeat
  for (QChar ch : text) {
    const char16_t u = ch.unicode();
    char b = prev;
    if (u < 256) {
      b = static_cast<char>(u);
    } else if (charMap) {
      for (int i = 0; i < 256; ++i)
        if ((*charMap)[static_cast<std::size_t>(i)][1] == u) {
          b = static_cast<char>(i);
          break;
        }
    }
    out.push_back(b);
    prev = b;
  }
  return out;
}

}  // namespace kov
