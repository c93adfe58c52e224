#include "display/UWtext.h"

#include <QPainter>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

#include "display/RenderErrors.h"
#include "display/cRenderTxt.h"

namespace kov {

Twtext::Twtext(TRenderTxt& render) : render_(render) {}

void Twtext::flush(bool space, bool lineBreak) {
  if (static_cast<int>(words.size()) > kMaxWords) throw DisplayRangeError("more than 4096 words in a verse text");
  if (buffer_.size() > 255) throw DisplayRangeError("a word longer than 255 bytes");
  TWtextWord w;
  w.start = wordStart_;
  w.length = static_cast<std::uint8_t>(buffer_.size());
  w.style = static_cast<std::uint8_t>(style_);
  w.color = color_;
  if (!buffer_.empty()) {
    render_.SelectFont(0, fontSlot, style_);
    w.width = static_cast<std::int32_t>(std::lround(render_.TextWidth8(buffer_)));
    lastHeight_ = static_cast<int>(std::lround(render_.height()));
  }
  w.raise = static_cast<std::uint8_t>(raise_);
  w.spaceFollows = space;
  w.breakFollows = lineBreak;
  w.hitStart = hitRunStart_;
  words.push_back(w);
  buffer_.clear();
  pending_ = true;
  hitRunStart_ = false;
}

void Twtext::Layout() {
  const std::size_t len = std::min<std::size_t>(source.size(), 0xFFFF);
  if (len == 0) return;  // nothing is drawn and the previous results stay

  bold_ = italic_ = super_ = hit_ = hitRunStart_ = false;
  style_ = 0;
  color_ = fontColor;
  raise_ = 0;
  words.assign(1, TWtextWord{});
  hitXs.clear();
  buffer_.clear();
  pending_ = true;
  continuation = 0;

  render_.SelectFont(0, fontSlot, 0);
  spaceWidth_ = static_cast<int>(std::lround(render_.TextWidth8(" ")));
  ascent_ = static_cast<int>(std::lround(render_.ascent()));
  descent_ = static_cast<int>(std::lround(render_.descent()));
  lastHeight_ = ascent_ + descent_;

  for (std::size_t i = 0; i < len; ++i) {
    const unsigned char b = static_cast<unsigned char>(source[i]);
    switch (b) {
      case 0: case 10: case 141:
        break;
      case 2:
        flush(false, false);
        bold_ = !bold_;
        style_ = bold_ ? (style_ | 1) : (style_ & ~1);
        break;
      case 25:
        flush(false, false);
        italic_ = !italic_;
        style_ = italic_ ? (style_ | 2) : (style_ & ~2);
        break;
      case 20:
        flush(false, false);
        super_ = !super_;
        if (super_) {
          if (color_ != kHitColor) color_ = superscriptKeepsColor ? fontColor : kSuperscriptGrey;
          raise_ = lastHeight_ / 4;
          style_ |= 4;
        } else {
          if (color_ != kHitColor) color_ = fontColor;
          raise_ = 0;
          style_ &= ~4;
        }
        break;
      case 64:
        flush(false, false);
        hit_ = !hit_;
        if (hit_) {
          color_ = kHitColor;
          hitRunStart_ = true;
        } else {
          color_ = super_ && !superscriptKeepsColor ? kSuperscriptGrey : fontColor;
        }
        break;
      case 13:
        flush(false, true);
        break;
      case 32:
        flush(true, false);
        break;
      default:
        if (pending_) wordStart_ = static_cast<int>(i) + 1;
        if (buffer_.size() >= kWordBuffer) throw DisplayRangeError("a word longer than 255 bytes");
        buffer_.push_back(static_cast<char>(b));
        pending_ = false;
        break;
    }
  }
  if (!buffer_.empty()) flush(false, false);
  wordCount = static_cast<int>(words.size()) - 1;
  if (!richTextMode) breakAndDraw();
}

void Twtext::breakAndDraw() {
  QPainter* p = measureOnly ? nullptr : canvas;
  int x = left + indent;
  int y = top + ascent_;
  int w = std::max(1, firstWord);
  continuation = 0;
  if (p && top > filledDownTo && areaRight > areaLeft)
    p->fillRect(QRect(areaLeft, filledDownTo, areaRight - areaLeft, top - filledDownTo), toQColor(areaColor));
  filledDownTo = top;
  QPainter* const savedCanvas = render_.canvas;
  render_.canvas = p;
  struct Restore {
    TRenderTxt& r;
    QPainter* c;
    ~Restore() { r.canvas = c; }
  } restore{render_, savedCanvas};

  for (int line = 0; w <= wordCount; ++line) {
    if (lineTable && line < kMaxLineTable) lineTable[line] = w;
    if (areaLeft != areaRight) {
      const int bandBottom = std::min(y + ascent_ + descent_ + rowGap / 2, bottom);
      if (p && bandBottom > filledDownTo)
        p->fillRect(QRect(areaLeft, filledDownTo, areaRight - areaLeft, bandBottom - filledDownTo),
                    toQColor(lineBandColor));
      filledDownTo = std::max(filledDownTo, bandBottom);
    }

    // Tokens: words up to one followed by a space or a break, or the last word.
    const int lineStart = x;
    int end = w;  // next word to consider
    int tokens = 0;
    long widths = 0;
    bool overflow = false;
    while (end <= wordCount) {
      int t = end;
      long tw = words[static_cast<std::size_t>(t)].width;
      while (t < wordCount && !words[static_cast<std::size_t>(t)].spaceFollows &&
             !words[static_cast<std::size_t>(t)].breakFollows) {
        ++t;
        tw += words[static_cast<std::size_t>(t)].width;
      }
      if (lineStart + widths + tw + static_cast<long>(spaceWidth_) * (tokens + 1) > right) {
        overflow = true;
        // A token wider than the whole line stands alone so the layout always moves on.
        if (tokens > 0) break;
      }
      ++tokens;
      widths += tw;
      end = t + 1;
      if (overflow || words[static_cast<std::size_t>(t)].breakFollows || t == wordCount) break;
    }
    const int last = end - 1;

    double gap = spaceWidth_;
    if (justify && tokens >= 2 && overflow && last != wordCount && !words[static_cast<std::size_t>(last)].breakFollows)
      gap = static_cast<double>(right - (lineStart + widths)) / (tokens - 1);

    const bool drawn = line >= firstLineToDraw;
    double gapSum = 0;
    long sofar = 0;
    for (int i = w; i <= last; ++i) {
      const TWtextWord& wd = words[static_cast<std::size_t>(i)];
      if (drawn) {
        if (wd.hitStart) {
          if (static_cast<int>(hitXs.size()) >= kMaxHits) throw DisplayRangeError("more than 101 search-hit runs");
          hitXs.push_back(x);
        }
        if (p && wd.length > 0) {
          render_.SelectFont(0, fontSlot, wd.style);
          const bool active = x >= activeLeft && x + wd.width <= activeRight;
          const StoredColor c = active ? wd.color : blendColor(clBgInt, wd.color, 0.2);
          p->setPen(toQColor(c));
          render_.TextOut8(x, y - wd.raise, source.substr(static_cast<std::size_t>(wd.start - 1), wd.length));
        }
      }
      sofar += wd.width;
      if (wd.spaceFollows) gapSum += gap;
      x = lineStart + static_cast<int>(std::lround(gapSum)) + static_cast<int>(sofar);
    }

    x = left;
    if (drawn) y += lineGap;
    w = last + 1;
    if (y + descent_ >= bottom) {
      if (w <= wordCount) continuation = w;
      break;
    }
  }
  bottom = y + descent_ - lineGap;
}

void Twtext::ToRichEdit(QTextDocument& doc) {
  const bool saved = richTextMode;
  richTextMode = true;
  Layout();
  richTextMode = saved;

  QFont base = doc.defaultFont();
  double size = base.pointSizeF();
  if (size <= 0) size = base.pixelSize() * 0.75;
  QTextCursor cur(&doc);
  cur.movePosition(QTextCursor::End);
  for (int i = 1; i <= wordCount && i < static_cast<int>(words.size()); ++i) {
    const TWtextWord& wd = words[static_cast<std::size_t>(i)];
    QTextCharFormat fmt;
    fmt.setForeground(toQColor(wd.color));
    fmt.setFontWeight(wd.style & 1 ? QFont::Bold : QFont::Normal);
    fmt.setFontItalic(wd.style & 2);
    fmt.setFontPointSize(size);
    if (wd.style & 4) {
      // Raised by a quarter of the font height, at 10/14 of the size.
      fmt.setFontPointSize(size * 10.0 / 14.0);
      fmt.setBaselineOffset(25);
    }
    const QString text = QString::fromLatin1(source.data() + wd.start - 1, wd.length);
    if (wd.length) cur.insertText(text, fmt);
    QTextCharFormat plain;
    plain.setFontPointSize(size);
    if (wd.spaceFollows) cur.insertText(QStringLiteral(" "), plain);
    if (wd.breakFollows) cur.insertBlock();
  }
}

namespace {

std::string convert(const std::string& text, bool html) {
  std::string out;
  out.reserve(text.size() + 16);
  bool b = false, s = false, it = false;
  for (unsigned char c : text) {
    switch (c) {
      case 0: case 10: case 141:
        break;
      case 2:
        out += b ? "</b>" : "<b>";
        b = !b;
        break;
      case 13:
        if (html) out += "<br>";
        else out.push_back(static_cast<char>(c));
        break;
      case 20:
        if (html) out += s ? "</sup>" : "<sup>";
        else out += s ? "</s>" : "<s>";
        s = !s;
        break;
      case 25:
        out += it ? "</i>" : "<i>";
        it = !it;
        break;
      case 64:
        if (!html) out.push_back(static_cast<char>(c));
        break;
      default:
        out.push_back(static_cast<char>(c));
    }
  }
  return out;
}

}  // namespace

std::string Twtext::ToHtml(const std::string& text) { return convert(text, true); }
std::string Twtext::ToCellMarkup(const std::string& text) { return convert(text, false); }

}  // namespace kov
