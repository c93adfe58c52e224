// Fixture passages drawn as interlinear rows for a person to look at; KOV_CELLS_PNG names a folder
// to write them into.
#include <gtest/gtest.h>

#include "CellsFixture.h"

namespace kov {
namespace {

using test::CellsFixture;
using test::IntLinSpec;
using test::sublinear;

// Letter-code bytes written as %XX.
std::string H(const char* text) {
  std::string out;
  for (const char* p = text; *p; ++p) {
    if (*p == '%' && p[1] && p[2]) {
      out.push_back(char(std::stoi(std::string(p + 1, 2), nullptr, 16)));
      p += 2;
    } else {
      out.push_back(*p);
    }
  }
  return out;
}

LineOptions sampleOptions() {
  LineOptions o;
  o.setFlag(LineOptions::ShowCompleteFields, true);
  o.setFlag(LineOptions::Toggles, true);
  o.setFlag(LineOptions::VariantSigns, true);
  o.setFlag(LineOptions::Justify, true);
  o.setFlag(LineOptions::CenterWord, true);
  for (int v = 0; v < 5; ++v) o.setFlag(LineOptions::VariantBool1 + v, true);
  return o;
}

// Draws the passage in rows with rule bands between them and returns the ink drawn.
int drawPassage(CellsFixture& f, int width, int height, const char* name, bool rtl = false) {
  TCellView v;
  v.canvas = f.canvas(width, height);
  v.areaRight = width;
  v.areaBottom = height;
  v.rebuild = true;
  f.drw->style.clBgInt = 0xFFFFFF;
  f.start(v);
  int y = 0;
  for (int n = 0; n < 20 && !f.drw->endOfPassage() && y < height; ++n) {
    f.drw->DrawRow(40, width - 20, y);
    if (f.drw->rowCellCount() == 0 && f.drw->headingPending()) {
      f.drw->HeadingDrawn();
      continue;
    }
    y += f.drw->lines().rowHeight;
    f.painter->fillRect(QRect(0, y - 2, width, 2), toQColor(0xF5E5E0));
  }
  f.endPainting();
  (void)rtl;
  const QByteArray dir = qgetenv("KOV_CELLS_PNG");
  if (!dir.isEmpty()) {
    EXPECT_TRUE(f.image.save(QString::fromLocal8Bit(dir) + "/" + name, "PNG"));
  }
  int ink = 0;
  for (int yy = 0; yy < f.image.height(); ++yy)
    for (int x = 0; x < f.image.width(); ++x) ink += f.image.pixel(x, yy) != qRgb(255, 255, 255);
  return ink;
}

TEST(CellsSample, GreekWithGlosses) {
  IntLinSpec s;
  s.text = H("#ZZZ 1: _ #JHN 1: e%C3n a%C3rch%C5%C6 h%C3%C5n o%C4 lo%C1goV kai%C0 o%C4 lo%C1goV h%C3%C5n pro%C0V to%C0n qeo%C1n 2: ou%C4%C5toV h%C3%C5n e%C3n a%C3rch%C5%C6 pro%C0V to%C0n qeo%C1n");
  s.sublinears = {
      sublinear("gloss.wl", {{H("e%C3n"), {"in"}}, {H("a%C3rch%C5%C6"), {"beginning"}}, {H("h%C3%C5n"), {"was"}},
                             {H("o%C4"), {"the"}}, {H("lo%C1goV"), {"Word"}}, {H("kai%C0"), {"and"}},
                             {H("pro%C0V"), {"with"}}, {H("to%C0n"), {"the"}}, {H("qeo%C1n"), {"God"}},
                             {H("ou%C4%C5toV"), {"this one"}}}),
      sublinear("strong.wl", {{H("e%C3n"), {"G1722"}}, {H("a%C3rch%C5%C6"), {"G746"}}, {H("h%C3%C5n"), {"G2258"}},
                              {H("o%C4"), {"G3588"}}, {H("lo%C1goV"), {"G3056"}}, {H("kai%C0"), {"G2532"}},
                              {H("qeo%C1n"), {"G2316"}}})};
  CellsFixture f(s, sampleOptions(),
                 {{QStringLiteral("koine KOV"), -26}, {QStringLiteral("Arial"), -15, false, 0x800000},
                  {QStringLiteral("DejaVu Sans Mono"), -12, false, 0x008000}});
  EXPECT_GT(drawPassage(f, 760, 260, "cells-greek.png"), 3000);
}

TEST(CellsSample, HebrewWithPointsRightToLeft) {
  IntLinSpec s;
  s.lng = "hebrew";
  s.oldTestament = true;
  s.text = H("#ZZZ 1: _ #GEN 1: b%CC%C0r%C5aw%D1%C4it b%C8r%C8a a%C1l%C9e%C4iM a%C5t e%C7w%CC%D1%C8m%C7iM v%C0a%C5t e%C8a%C8rY 2: v%C0e%C8a%C8rY e%C8i%C8e");
  s.sublinears = {sublinear("gloss.wl", {{H("b%CC%C0r%C5aw%D1%C4it"), {"in beginning"}}, {H("b%C8r%C8a"), {"created"}},
                                         {H("a%C1l%C9e%C4iM"), {"God"}}, {H("a%C5t"), {"-"}},
                                         {H("e%C7w%CC%D1%C8m%C7iM"), {"the heavens"}}, {H("v%C0a%C5t"), {"and"}},
                                         {H("e%C8a%C8rY"), {"the earth"}}, {H("v%C0e%C8a%C8rY"), {"and the earth"}},
                                         {H("e%C8i%C8e"), {"was"}}})};
  LineOptions o = sampleOptions();
  o.setFlag(LineOptions::Right2Left, true);
  CellsFixture f(s, o, {{QStringLiteral("Hebrew KOV"), -30, true}, {QStringLiteral("Arial"), -15, false, 0x800000}});
  EXPECT_GT(drawPassage(f, 760, 200, "cells-hebrew.png", true), 3000);
}

TEST(CellsSample, VariantsShownVertically) {
  IntLinSpec s;
  s.text = "#ZZZ 1: _ #MRK 1: kai {s1} {v1} autoi {v2} outoi {s2} elegon {t6} met {t7} autou";
  s.variants = {{"K", "Ketiv", ""}, {"Q", "Qere", ""}};
  s.sublinears = {sublinear("gloss.wl", {{"kai", {"and"}}, {"autoi", {"they"}}, {"outoi", {"these"}},
                                         {"elegon", {"said"}}, {"met", {"with"}}, {"autou", {"him"}}})};
  LineOptions o = sampleOptions();
  o.setShowVarMode(2);
  CellsFixture f(s, o, {{QStringLiteral("koine KOV"), -26}, {QStringLiteral("Arial"), -15, false, 0x800000}},
                 {2, 14, 4, 0, 0, 16});
  EXPECT_GT(drawPassage(f, 760, 160, "cells-variants.png"), 2000);
}

}  // namespace
}  // namespace kov
