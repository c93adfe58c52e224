#include "display/cTxtBox.h"

#include <QPainter>

#include <vector>

#include "display/cRenderTxt.h"

namespace kov {
namespace {

struct BoxWord {
  int start = 0;  // index in the box text
  QString text;
};

// Words are separated by blanks outside tags; a blank inside a tag belongs to the tag.
std::vector<BoxWord> splitWords(const QString& text) {
  std::vector<BoxWord> words;
  BoxWord cur;
  bool inTag = false;
  for (int i = 0; i < text.size(); ++i) {
    const QChar ch = text[i];
    if (ch == u'<') inTag = true;
    else if (ch == u'>') inTag = false;
    if (ch == u' ' && !inTag) {
      if (!cur.text.isEmpty()) words.push_back(cur);
      cur = {};
      continue;
    }
    if (cur.text.isEmpty()) cur.start = i;
    cur.text += ch;
  }
  if (!cur.text.isEmpty()) words.push_back(cur);
  return words;
}

}  // namespace

void Ttxtbox::Draw() {
  stopPos = -1;
  hitPos = -1;
  lineCount = 0;
  QPainter* const savedCanvas = render_.canvas;
  const bool savedMeasure = render_.measureOnly, savedHit = render_.hitTest;
  const StoredColor savedClr = render_.textClr();
  const int savedAlign = render_.textAlign;
  render_.canvas = hitTest ? nullptr : canvas;
  render_.textAlign = TRenderTxt::AlignBaseline;
  render_.hitTest = false;
  render_.setTextClr(textColor);
  if (fill && canvas && !hitTest) canvas->fillRect(rect, toQColor(backColor));

  render_.ResetMarkup();
  lineHeight = render_.ascent() + render_.descent() + extraGap;
  const std::vector<BoxWord> words = splitWords(text);

  // Widths are measured in order so that a tag opened in one word carries into the next.
  std::vector<double> widths(words.size());
  std::vector<MarkupState> before(words.size() + 1);
  render_.measureOnly = true;
  for (std::size_t i = 0; i < words.size(); ++i) {
    before[i] = render_.markupState();
    double adv = 0;
    render_.DrawMarkupW(0, 0, adv, words[i].text);
    MarkupState after = render_.markupState();
    after.cut = false;  // measuring a word on its own never truncates the next one
    after.barContinues = false;
    render_.setMarkupState(after);
    widths[i] = adv;
  }
  before[words.size()] = render_.markupState();

  double top = rect.top();
  std::size_t w = 0;
  while (w < words.size()) {
    if (lineCount >= kMaxLines || top + lineHeight > rect.bottom() + 1e-9) {
      stopPos = words[w].start;
      break;
    }
    const double start = rect.left() + (lineCount == 0 ? indent : 0);
    double x = start;
    std::size_t end = w;
    while (end < words.size()) {
      const double next = (end == w ? x : x + wordGap) + widths[end];
      if (next > rect.right() + 1e-9 && end > w) break;  // a word wider than the box stands alone
      x = next;
      ++end;
    }
    const bool full = end < words.size();
    double gap = wordGap;
    if (justify && full && end - w > 1) gap = (rect.right() - x) / static_cast<double>(end - w - 1) + wordGap;

    const double baseline = top + render_.ascent();
    render_.setMarkupState(before[w]);
    render_.measureOnly = hitTest;
    render_.hitTest = hitTest;
    render_.lineGap = extraGap;
    double px = start;
    for (std::size_t i = w; i < end; ++i) {
      double adv = 0;
      render_.hitPos = -1;
      render_.hitPoint = hitPoint;
      render_.DrawMarkupW(px, baseline, adv, words[i].text);
      if (hitTest && render_.hitPos >= 0) hitPos = words[i].start + render_.hitPos;
      MarkupState after = render_.markupState();
      after.cut = false;
      render_.setMarkupState(after);
      px += widths[i] + gap;
    }
    render_.measureOnly = true;
    render_.hitTest = false;
    ++lineCount;
    top += lineHeight;
    w = end;
  }

  render_.ResetMarkup();
  render_.canvas = savedCanvas;
  render_.measureOnly = savedMeasure;
  render_.hitTest = savedHit;
  render_.textAlign = savedAlign;
  render_.setTextClr(savedClr);
}

}  // namespace kov
