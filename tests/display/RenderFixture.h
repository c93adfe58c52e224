#pragma once
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <memory>

#include "display/cRenderTxt.h"
#include "support/GuiApp.h"

namespace kov::test {

// A renderer whose set 0 has fonts the tests know: slot 0 Arial (Liberation Sans), 1 the Hebrew
// letter-code font, 2 the Greek one, 3 a fixed-pitch font; the translation slot is fixed-pitch too.
class RenderFixture {
 public:
  RenderFixture() {
    ensureGuiApp();
    r = std::make_unique<TRenderTxt>();
    PresentationFonts pf;
    pf.sublinears = {{"Arial", -40}, {"Hebrew KOV", -40}, {"koine KOV", -40}, {"DejaVu Sans Mono", -20}};
    pf.translation = {"DejaVu Sans Mono", -14};
    r->BuildFontSet(0, pf, 1.0);
    r->setTextClr(0);
    r->ResetMarkup();
    image = QImage(600, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
  }

  QFontMetricsF metrics(int slot, int style = 0) const { return QFontMetricsF(r->font(0, slot, style)); }

  // Draws on a fresh white image and returns the pen advance.
  double draw(const QString& text, double x = 10, double y = 100) {
    image.fill(Qt::white);
    QPainter p(&image);
    r->canvas = &p;
    r->ResetMarkup();
    double adv = 0;
    r->DrawMarkupW(x, y, adv, text);
    r->canvas = nullptr;
    return adv;
  }

  double measure(const QString& text) {
    r->ResetMarkup();
    double adv = 0;
    r->DrawMarkupW(0, 0, adv, text);
    return adv;
  }

  // Pixels darker than white in a column range.
  int ink(int x0, int x1) const {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = std::max(0, x0); x < std::min(image.width(), x1); ++x)
        if (image.pixel(x, y) != qRgb(255, 255, 255)) ++n;
    return n;
  }
  int inkLeft() const { return inkEdge(true); }
  int inkRight() const { return inkEdge(false); }
  // The darkest pixel in a column range (by the sum of its channels).
  QRgb darkest(int x0, int x1) const {
    QRgb best = qRgb(255, 255, 255);
    for (int y = 0; y < image.height(); ++y)
      for (int x = std::max(0, x0); x < std::min(image.width(), x1); ++x) {
        const QRgb c = image.pixel(x, y);
        if (qRed(c) + qGreen(c) + qBlue(c) < qRed(best) + qGreen(best) + qBlue(best)) best = c;
      }
    return best;
  }

  std::unique_ptr<TRenderTxt> r;
  QImage image;

 private:
  int inkEdge(bool leftmost) const {
    int edge = -1;
    for (int x = 0; x < image.width(); ++x)
      for (int y = 0; y < image.height(); ++y)
        if (image.pixel(x, y) != qRgb(255, 255, 255)) {
          if (leftmost) return x;
          edge = x;
          break;
        }
    return edge;
  }
};

}  // namespace kov::test
