#include <gtest/gtest.h>

#include <QTest>

#include "db/cIntLin.h"
#include "display/UWtext.h"
#include "display/cRenderTxt.h"
#include "support/IntLinFixtures.h"
#include "ui/TIntLinWin.h"

namespace kov {
namespace {

struct Window {
  std::unique_ptr<test::IntLinFixture> fx;
  TintLin db;
  TRenderTxt render;
  Twtext layout{render};
  std::unique_ptr<TIntLinWin> win;
  Window() {
    test::IntLinSpec d;
    d.text = "#GEN 1: a b 2: c 3: d @2 1: e 2: f #EXO 1: g";
    d.sublinears = {test::sublinear(QStringLiteral("gloss.wl"), {{"a", {"alpha"}}})};
    fx = test::buildIntLin(d);
    EXPECT_TRUE(fx->load(db).ok());
    win = std::make_unique<TIntLinWin>(db, render, layout, nullptr);
    win->resize(600, 300);
  }
  VerseRef at(const char* book, int chapter, int verse) {
    VerseRef r;
    r.Bks = book;
    r.chapter = std::uint8_t(chapter);
    r.verse = std::int16_t(verse);
    return r;
  }
  std::string place() {
    const VerseRef r = win->currentRef();
    return r.Bks + " " + std::to_string(r.chapter) + ":" + std::to_string(r.verse);
  }
};

TEST(UiIntLinWin, MovesByVerseChapterAndKeys) {
  Window w;
  ASSERT_TRUE(w.win->ShowPlace(w.at("GEN", 1, 2)));
  EXPECT_EQ(w.place(), "GEN 1:2");
  QTest::keyClick(w.win.get(), Qt::Key_Down);
  EXPECT_EQ(w.place(), "GEN 1:3");
  QTest::keyClick(w.win.get(), Qt::Key_Down);  // into the next chapter
  EXPECT_EQ(w.place(), "GEN 2:1");
  QTest::keyClick(w.win.get(), Qt::Key_Up);
  EXPECT_EQ(w.place(), "GEN 1:3");
  QTest::keyClick(w.win.get(), Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(w.place(), "GEN 2:1");
  QTest::keyClick(w.win.get(), Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(w.place(), "EXO 1:1");
  QTest::keyClick(w.win.get(), Qt::Key_Down, Qt::ShiftModifier);  // the last chapter stays
  EXPECT_EQ(w.place(), "EXO 1:1");
  const QImage& img = w.win->render();
  EXPECT_EQ(img.size(), QSize(600, 300));
  EXPECT_GT(w.win->versesShown(), 0);
}

TEST(UiIntLinWin, MissingBookShowsTheNoInterlinearText) {
  Window w;
  EXPECT_FALSE(w.win->ShowPlace(w.at("MAT", 1, 1)));
  const QImage& img = w.win->render();
  // Only the header and the message: the body has no word rows.
  int dark = 0;
  for (int y = TIntLinWin::kHeaderHeight + 60; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (qGray(img.pixel(x, y)) < 128) ++dark;
  EXPECT_EQ(dark, 0);
}

}  // namespace
}  // namespace kov
