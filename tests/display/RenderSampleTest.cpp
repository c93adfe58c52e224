#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "display/cRenderTxt.h"
#include "support/GuiApp.h"

namespace kov {
namespace {

// Draws Greek with accents, pointed Hebrew and marked-up English for a person to look at;
// KOV_RENDER_SAMPLE names the PNG to write.
TEST(RenderSample, GreekHebrewAndMarkup) {
  test::ensureGuiApp();
  TRenderTxt r;
  PresentationFonts pf;
  pf.sublinears = {{"koine KOV", -32}, {"Hebrew KOV", -36}, {"Arial", -24}};
  r.BuildFontSet(0, pf, 1.0);
  r.setTextClr(0);
  r.completeFields = true;
  QImage image(700, 260, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  r.canvas = &p;
  double adv = 0;
  r.SelectFont(0, 0, 0);
  r.ResetMarkup();
  r.DrawMarkupW(20, 60, adv, QString::fromUtf8("Ἐν ἀρχῇ ἦν ὁ λόγος"));
  // The same words in the letter code, drawn through the built-in map (decomposed accents).
  r.ResetMarkup();
  adv = 0;
  r.scriptOptions.modernGreek = true;
  r.DrawMarkup(360, 60, adv, "<c1>qeou</c1> logos");
  r.scriptOptions = {};
  r.SelectFont(0, 1, 0);
  r.rightToLeft = true;
  r.ResetMarkup();
  adv = 0;
  r.DrawMarkupW(680, 130, adv, QString::fromUtf8("בְּרֵאשִׁית בָּרָא אֱלֹהִים"));
  r.rightToLeft = false;
  r.SelectFont(0, 2, 0);
  r.ResetMarkup();
  adv = 0;
  r.DrawMarkupW(20, 200, adv, "In <b>the</b> <i>beginning</i> <hl>God</hl> <c2><l>created</l></c2> <h1>the <b>heaven</b></h1> <g>and</g> <u>earth</u><s>1</s>");
  p.end();
  int ink = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) ink += image.pixel(x, y) != qRgb(255, 255, 255);
  EXPECT_GT(ink, 5000);
  const QByteArray path = qgetenv("KOV_RENDER_SAMPLE");
  if (!path.isEmpty()) {
    EXPECT_TRUE(image.save(QString::fromLocal8Bit(path), "PNG"));
  }
}

}  // namespace
}  // namespace kov
