#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QMenu>
#include <QToolButton>
#include <QMouseEvent>

#include "db/cIntLin.h"
#include "display/UWtext.h"
#include "display/cRenderTxt.h"
#include "support/IntLinFixtures.h"
#include "support/TranslationFixtures.h"
#include "texts/cTranslations.h"
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

namespace kov {
namespace {

TEST(UiFocus, HitTestGapLabelReferenceAndZoom) {
  Window w;
  ASSERT_TRUE(w.win->ShowPlace(w.at("GEN", 1, 1)));
  w.win->render();
  Tfocus& f = w.win->focus();
  const int a = f.CellAtPosition(w.fx->words[0]);
  ASSERT_GE(a, 0);
  const QRect r = f.frameRect(a, 0, false);
  // The middle of the word's first line, and a point in the gap beside it, both hit it.
  const Tfocus::Hit mid = f.HitTest(r.center());
  EXPECT_TRUE(mid.found);
  EXPECT_EQ(mid.cell, a);
  EXPECT_EQ(mid.line, 0);
  EXPECT_EQ(f.HitTest(QPoint(r.left() + 1, r.center().y())).cell, a);
  // The verse label before it is no target.
  ASSERT_GT(a, 0);
  EXPECT_FALSE(f.HitTest(QPoint(f.frameRect(a - 1, 0, false).center())).found);
  EXPECT_EQ(f.CellReference(a), "GEN 1:1 .1");
  EXPECT_EQ(f.CellReference(f.CellAtPosition(w.fx->words[1])), "GEN 1:1 .2");

  TShared s;
  s.SetZoomIndex(40);
  EXPECT_EQ(s.zoomIndex, 32);
  EXPECT_DOUBLE_EQ(s.zoom, 3.0);
  s.SetZoomIndex(-2);
  EXPECT_DOUBLE_EQ(s.zoom, 1.0);
}

TEST(UiFocus, KeyboardFocusFollowsItsWordAndClickSelects) {
  Window w;
  ASSERT_TRUE(w.win->ShowPlace(w.at("GEN", 1, 1)));
  w.win->render();
  Tfocus& f = w.win->focus();
  QTest::keyClick(w.win.get(), Qt::Key_Slash);
  ASSERT_TRUE(f.keyboardMode);
  // The word of verse 2 keeps the focus when the page starts one verse later.
  const int c = f.CellAtPosition(w.fx->words[2]);
  f.keyCell = c;
  f.keyPosition = w.fx->words[2];
  w.win->stepVerses(1);
  w.win->render();
  EXPECT_EQ(f.keyCell, f.CellAtPosition(w.fx->words[2]));
  // A word that leaves the page: the first word cell drawn.
  w.win->stepVerses(1);
  w.win->render();
  EXPECT_EQ(f.keyPosition, w.fx->words[3]);
  EXPECT_TRUE(f.KeyboardPrevCell());  // already the first word

  TSelectedWord chosen;
  QObject::connect(w.win.get(), &TIntLinWin::wordChosen, [&](const TSelectedWord& s) { chosen = s; });
  const QRect r = f.frameRect(f.keyCell, 0, false);
  QTest::mouseClick(w.win.get(), Qt::LeftButton, Qt::NoModifier, r.center());
  EXPECT_EQ(chosen.streamPos, w.fx->words[3]);
  EXPECT_EQ(chosen.sublinear, 0);
}

}  // namespace
}  // namespace kov

namespace kov {
namespace {

TEST(UiIntLinWin, ScrollBarRunsOverTheWholeText) {
  Window w;
  ASSERT_TRUE(w.win->ShowPlace(w.at("GEN", 1, 1)));
  w.win->show();
  w.win->render();
  auto* bar = w.win->findChild<QScrollBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->maximum(), w.db.lastPosition());
  // A value inside a verse shows that verse from its start.
  bar->setValue(w.fx->words[4] + 0);  // the word of GEN 2:1
  EXPECT_EQ(w.place(), "GEN 2:1");
  EXPECT_EQ(w.win->startPosition(), w.fx->marker("GEN 2:1"));
}

}  // namespace
}  // namespace kov

namespace kov {
namespace {

TEST(UiIntLinWin, ColumnsStopAtTenAndTheDivisionDragStopsBeforeTheEdge) {
  QTemporaryDir prg;
  testing::writeTranslation(prg.path() + QStringLiteral("/KJV.t/"), QStringLiteral("KJV"),
                            {testing::wordsVerse("GEN", 1, 1, {"In", "the", "beginning"})});
  TTranslations translations;
  translations.open(prg.path() + QStringLiteral("/"));
  ASSERT_EQ(translations.count(), 1);
  Window w;
  TIntLinWin win(w.db, w.render, w.layout, &translations);
  win.resize(800, 300);
  win.show();
  ASSERT_TRUE(win.ShowPlace(w.at("GEN", 1, 1)));
  QToolButton* plus = nullptr;
  QToolButton* minus = nullptr;
  for (QToolButton* b : win.findChildren<QToolButton*>()) {
    if (b->text() == QStringLiteral("+")) plus = b;
    if (b->text() == QStringLiteral("-")) minus = b;
  }
  ASSERT_TRUE(plus && minus);
  for (int i = 0; i < 15; ++i) plus->click();
  EXPECT_EQ(win.columnCount(), 10);
  EXPECT_FALSE(plus->isEnabled());
  for (int i = 0; i < 15; ++i) minus->click();
  EXPECT_EQ(win.columnCount(), 0);
  EXPECT_FALSE(minus->isEnabled());
  EXPECT_EQ(win.divisionX(), win.width() - win.findChild<QScrollBar*>()->width());  // rows span the width

  win.setColumns(1);
  win.render();
  const int y = 150;
  QTest::mousePress(&win, Qt::LeftButton, Qt::NoModifier, QPoint(win.divisionX(), y));
  QMouseEvent move(QEvent::MouseMove, QPointF(win.width() - 2, y), QPointF(win.mapToGlobal(QPoint(win.width() - 2, y))),
                   Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&win, &move);
  QTest::mouseRelease(&win, Qt::LeftButton, Qt::NoModifier, QPoint(win.width() - 2, y));
  const int usable = win.width() - win.findChild<QScrollBar*>()->width();
  EXPECT_NEAR(win.translationShare, 30.0 / usable, 1e-9);
}

}  // namespace
}  // namespace kov

namespace kov {
namespace {

TEST(UiIntLinWin, OnTopLayoutsKeepTheirNumberOfRows) {
  QTemporaryDir prg;
  testing::writeTranslation(prg.path() + QStringLiteral("/KJV.t/"), QStringLiteral("KJV"),
                            {testing::wordsVerse("GEN", 1, 1, {"In", "the", "beginning"})});
  TTranslations translations;
  translations.open(prg.path() + QStringLiteral("/"));
  Window w;
  TIntLinWin win(w.db, w.render, w.layout, &translations);
  win.resize(800, 400);
  ASSERT_TRUE(win.ShowPlace(w.at("GEN", 1, 1)));
  for (int tag = 1; tag <= 3; ++tag) {
    win.SetLayout(tag);
    win.render();
    EXPECT_EQ(win.versesShown(), tag) << tag;  // one verse a row, `tag` rows
    // KOV_ONTOP_SAMPLE=dir keeps the pictures to look at.
    if (qEnvironmentVariableIsSet("KOV_ONTOP_SAMPLE"))
      win.render().save(qEnvironmentVariable("KOV_ONTOP_SAMPLE") + QStringLiteral("/ontop-%1.png").arg(tag));
  }
  win.SetLayout(4);
  win.render();
  EXPECT_GE(win.versesShown(), 3);  // the full layout fills the window
  auto* button = [&]() -> QToolButton* {
    for (QToolButton* b : win.findChildren<QToolButton*>())
      if (b->text() == QStringLiteral("L")) return b;
    return nullptr;
  }();
  ASSERT_NE(button, nullptr);
  ASSERT_NE(button->menu(), nullptr);
  int checked = 0;
  for (QAction* a : button->menu()->actions()) checked += a->isChecked() ? 1 : 0;
  EXPECT_EQ(checked, 1);
}

}  // namespace
}  // namespace kov
