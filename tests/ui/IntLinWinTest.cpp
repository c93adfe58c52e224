#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "db/cIntLin.h"
#include "display/UWtext.h"
#include "display/cRenderTxt.h"
#include "support/IntLinFixtures.h"
#include "support/TranslationFixtures.h"
#include "texts/cTranslations.h"
#include "ui/TIntLinWin.h"

namespace kov {
namespace {

// A window over a small database; `nvnl` starts every verse on a row of its own.
struct Window {
  std::unique_ptr<test::IntLinFixture> fx;
  TintLin db;
  TRenderTxt render;
  Twtext layout{render};
  std::unique_ptr<TIntLinWin> win;
  explicit Window(bool nvnl = true, std::string text = "#GEN 1: a b 2: c 3: d @2 1: e 2: f #EXO 1: g",
                  TTranslations* translations = nullptr, QSize size = QSize(600, 300)) {
    test::IntLinSpec d;
    d.text = std::move(text);
    d.sublinears = {test::sublinear(QStringLiteral("gloss.wl"), {{"a", {"alpha"}}})};
    fx = test::buildIntLin(d);
    LineOptions o;
    o.setFlag(LineOptions::Nvnl, nvnl);
    EXPECT_TRUE(fx->load(db, o).ok());
    win = std::make_unique<TIntLinWin>(db, render, layout, translations);
    win->resize(size);
  }
  static VerseRef at(const char* book, int chapter, int verse) {
    VerseRef r;
    r.Bks = book;
    r.chapter = std::uint8_t(chapter);
    r.verse = std::int16_t(verse);
    return r;
  }
  std::string place() const {
    const VerseRef r = win->currentRef();
    return r.Bks + " " + std::to_string(r.chapter) + ":" + std::to_string(r.verse);
  }
  QToolButton* button(const QString& text) const {
    for (QToolButton* b : win->findChildren<QToolButton*>())
      if (b->text() == text) return b;
    return nullptr;
  }
};

// One verse of `count` words: longer than any page of a small window.
std::string longVerse(int count) {
  std::string t = "#GEN 1: a ";
  for (int i = 0; i < count; ++i) t += "w" + std::to_string(i) + " ";
  return t + "2: z";
}

TEST(UiIntLinWin, RowDownAtTheVerseCompleteStateMovesAVerseAndShiftAChapter) {
  Window w;
  ASSERT_TRUE(w.win->ShowPlace(Window::at("GEN", 1, 2)));
  ASSERT_TRUE(w.win->verseComplete());
  struct Step {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    const char* place;
  };
  const Step steps[] = {
      {Qt::Key_Down, Qt::NoModifier, "GEN 1:3"},    {Qt::Key_Down, Qt::NoModifier, "GEN 2:1"},
      {Qt::Key_Up, Qt::NoModifier, "GEN 1:3"},      {Qt::Key_Down, Qt::ShiftModifier, "GEN 2:1"},
      {Qt::Key_Down, Qt::ShiftModifier, "EXO 1:1"},
      // The end of the text is on the page: nothing more below, the last chapter stays.
      {Qt::Key_Down, Qt::ShiftModifier, "EXO 1:1"}, {Qt::Key_Up, Qt::ShiftModifier, "GEN 2:1"},
  };
  for (const Step& s : steps) {
    QTest::keyClick(w.win.get(), s.key, s.mods);
    EXPECT_EQ(w.place(), s.place);
    EXPECT_EQ(w.win->scrollRows(), 0);
  }
  // The scroll bar's arrows do the same.
  auto* bar = w.win->findChild<QScrollBar*>();
  ASSERT_NE(bar, nullptr);
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(w.place(), "GEN 2:2");
  EXPECT_EQ(bar->value(), 0);
}

TEST(UiIntLinWin, RowsScrollInsideALongVerseUpToTen) {
  Window w(true, longVerse(400), nullptr, QSize(320, 200));
  ASSERT_TRUE(w.win->ShowPlace(Window::at("GEN", 1, 1)));
  EXPECT_FALSE(w.win->verseComplete());
  const std::int32_t start = w.win->startPosition();
  for (int i = 0; i < 13; ++i) w.win->RowDown();
  EXPECT_EQ(w.win->scrollRows(), 10);
  EXPECT_EQ(w.win->startPosition(), start);  // further steps do nothing
  w.win->finishSmoothScroll();
  ASSERT_GT(w.win->rowStarts().size(), 1u);
  const int rowHeight = w.win->pixelOffset() / 10;
  EXPECT_GT(rowHeight, 0);
  EXPECT_TRUE(w.win->moreAbove());
  w.win->RowUp();
  w.win->finishSmoothScroll();
  EXPECT_EQ(w.win->scrollRows(), 9);
  EXPECT_EQ(w.win->pixelOffset(), 9 * rowHeight);
  // Page down starts the page at its last row drawn; rows scrolled start again from 0.
  const std::int32_t lastRow = w.win->rowStarts().back();
  w.win->PageDown();
  EXPECT_EQ(w.win->startPosition(), lastRow);
  EXPECT_EQ(w.win->scrollRows(), 0);
  EXPECT_EQ(w.win->pixelOffset(), 0);
  w.win->PageUp();
  EXPECT_LT(w.win->startPosition(), lastRow);
  EXPECT_GE(w.win->startPosition(), 1);
}

TEST(UiIntLinWin, HeadingsAndTheEndOfTheText) {
  Window w;
  ASSERT_TRUE(w.win->ShowPlace(Window::at("EXO", 1, 1)));
  const QImage& img = w.win->render();
  Tfocus& f = w.win->focus();
  const int g = f.CellAtPosition(w.fx->words.back());
  ASSERT_GE(g, 0);
  // The book's heading row above the word, the "~" row below it, both navy.
  const auto navyRows = [&](int from, int to) {
    int n = 0;
    for (int y = std::max(from, 0); y < std::min(to, img.height()); ++y)
      for (int x = 0; x < img.width() - 20; ++x) {
        const QColor c = img.pixelColor(x, y);
        if (c.blue() > 90 && c.red() < 60 && c.green() < 60) {
          ++n;
          break;
        }
      }
    return n;
  };
  const QRect word = f.frameRect(g, 0, false);
  const QRect last = f.frameRect(g, 1, false);
  EXPECT_GT(navyRows(TIntLinWin::kHeaderHeight, word.top()), 0);
  EXPECT_GT(navyRows(last.bottom() + 2, img.height()), 0);
  EXPECT_EQ(w.win->rowStarts().size(), 1u);  // headings are not rows of the text
}

TEST(UiIntLinWin, MissingBookShowsTheNoInterlinearText) {
  Window w;
  w.win->show();
  EXPECT_FALSE(w.win->ShowPlace(Window::at("MAT", 1, 1)));
  QLabel* message = nullptr;
  for (QLabel* l : w.win->findChildren<QLabel*>())
    if (l->text() == QStringLiteral("No interlinear for this passage. Press spacebar for only translations/notes"))
      message = l;
  ASSERT_NE(message, nullptr);
  EXPECT_TRUE(message->isVisible());
  bool asked = false;
  QObject::connect(w.win.get(), &TIntLinWin::layoutReapplyRequested, [&] { asked = true; });
  QTest::keyClick(w.win.get(), Qt::Key_Space);
  EXPECT_TRUE(asked);
  EXPECT_TRUE(w.win->ShowPlace(Window::at("GEN", 1, 1)));
  EXPECT_FALSE(message->isVisible());
}

TEST(UiIntLinWin, ThumbPreviewsAPlaceAndGoesThereWhenLetGo) {
  Window w;
  w.win->show();
  ASSERT_TRUE(w.win->ShowPlace(Window::at("GEN", 1, 1)));
  auto* bar = w.win->findChild<QScrollBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->minimum(), -50);
  EXPECT_EQ(bar->maximum(), 50);
  QLabel* place = nullptr;
  for (QLabel* l : w.win->findChildren<QLabel*>())
    if (l->text().startsWith(QStringLiteral("GEN name 1:1 "))) place = l;
  ASSERT_NE(place, nullptr);
  EXPECT_EQ(place->text().size(), 25);
  w.win->ShowThumbPlace(3);
  EXPECT_TRUE(place->text().startsWith(QStringLiteral("GEN name 2:1 "))) << place->text().toStdString();
  EXPECT_EQ(w.place(), "GEN 1:1");  // only previewed
  w.win->GoThumbPlace();
  EXPECT_EQ(w.place(), "GEN 2:1");
  EXPECT_EQ(bar->value(), 0);
}

TEST(UiIntLinWin, ColumnsStopAtTenAndTheDivisionDragStopsBeforeTheEdge) {
  QTemporaryDir prg;
  testing::writeTranslation(prg.path() + QStringLiteral("/KJV.t/"), QStringLiteral("KJV"),
                            {testing::wordsVerse("GEN", 1, 1, {"In", "the", "beginning"}),
                             testing::wordsVerse("GEN", 1, 2, {"And", "the", "earth"})});
  TTranslations translations;
  translations.open(prg.path() + QStringLiteral("/"));
  ASSERT_EQ(translations.count(), 1);
  Window w(true, "#GEN 1: a b 2: c 3: d @2 1: e 2: f #EXO 1: g", &translations, QSize(800, 300));
  TIntLinWin& win = *w.win;
  win.show();
  ASSERT_TRUE(win.ShowPlace(Window::at("GEN", 1, 1)));
  QToolButton* plus = w.button(QStringLiteral("+"));
  QToolButton* minus = w.button(QStringLiteral("-"));
  ASSERT_TRUE(plus && minus);
  for (int i = 0; i < 15; ++i) plus->click();
  EXPECT_EQ(win.columnCount(), 10);
  EXPECT_FALSE(plus->isEnabled());
  for (int i = 0; i < 15; ++i) minus->click();
  EXPECT_EQ(win.columnCount(), 0);
  EXPECT_FALSE(minus->isEnabled());
  const int usable = win.width() - win.findChild<QScrollBar*>()->width();
  EXPECT_EQ(win.divisionX(), usable);  // the rows span the width

  win.setColumns(1);
  const int y = 150;
  QTest::mousePress(&win, Qt::LeftButton, Qt::NoModifier, QPoint(win.divisionX(), y));
  QMouseEvent move(QEvent::MouseMove, QPointF(win.width() - 2, y), QPointF(win.mapToGlobal(QPoint(win.width() - 2, y))),
                   Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&win, &move);
  QTest::mouseRelease(&win, Qt::LeftButton, Qt::NoModifier, QPoint(win.width() - 2, y));
  EXPECT_NEAR(win.translationShare, 30.0 / usable, 1e-9);

  // Back to a quarter: the column under a verse of the translation, and its popup.
  win.translationShare = 0.4;
  win.Refresh(3);
  int columnX = -1, columnY = -1;
  const QImage& img = win.render();
  for (int yy = TIntLinWin::kHeaderHeight + 2; yy < img.height() && columnX < 0; ++yy)
    for (int xx = win.divisionX() + 30; xx < usable - 5; ++xx)
      if (qGray(img.pixel(xx, yy)) < 100) {
        columnX = xx;
        columnY = yy;
        break;
      }
  ASSERT_GE(columnX, 0) << "no translation text drawn";
  EXPECT_EQ(win.ColumnAt(QPoint(columnX, columnY)), 1);
  EXPECT_EQ(win.ColumnAt(QPoint(win.divisionX() - 40, columnY)), 0);
  QTest::mouseMove(&win, QPoint(columnX, columnY));
  EXPECT_EQ(win.popupKind(), TIntLinWin::Popup::TranslationSource);
  TIntLinWin::Popup asked = TIntLinWin::Popup::None;
  QObject::connect(&win, &TIntLinWin::popupRequested, [&](TIntLinWin::Popup k, const QPoint&) { asked = k; });
  QTest::mousePress(&win, Qt::RightButton, Qt::NoModifier, QPoint(columnX, columnY));
  EXPECT_EQ(asked, TIntLinWin::Popup::TranslationSource);
  int memoColumn = 0;
  VerseRef memoRef;
  QObject::connect(&win, &TIntLinWin::memoRequested, [&](int c, const VerseRef& r) {
    memoColumn = c;
    memoRef = r;
  });
  QTest::mouseDClick(&win, Qt::LeftButton, Qt::NoModifier, QPoint(columnX, columnY));
  EXPECT_EQ(memoColumn, 1);
  EXPECT_EQ(memoRef.verse, 1);
}

TEST(UiIntLinWin, OnTopLayoutsKeepTheirNumberOfRows) {
  QTemporaryDir prg;
  testing::writeTranslation(prg.path() + QStringLiteral("/KJV.t/"), QStringLiteral("KJV"),
                            {testing::wordsVerse("GEN", 1, 1, {"In", "the", "beginning"})});
  TTranslations translations;
  translations.open(prg.path() + QStringLiteral("/"));
  Window w(false, "#GEN 1: a b 2: c 3: d @2 1: e 2: f #EXO 1: g", &translations, QSize(800, 400));
  TIntLinWin& win = *w.win;
  ASSERT_TRUE(win.ShowPlace(Window::at("GEN", 1, 1)));
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
  QToolButton* button = w.button(QStringLiteral("L"));
  ASSERT_NE(button, nullptr);
  ASSERT_NE(button->menu(), nullptr);
  int checked = 0;
  for (QAction* a : button->menu()->actions()) checked += a->isChecked() ? 1 : 0;
  EXPECT_EQ(checked, 1);
}

// ---- focus ----

TEST(UiFocus, HitTestGapLabelReferenceAndZoom) {
  Window w;
  ASSERT_TRUE(w.win->ShowPlace(Window::at("GEN", 1, 1)));
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
  EXPECT_EQ(f.WordCode(a), w.fx->form("a"));
  EXPECT_EQ(f.Selectors(a)[1], 0);        // "a" has its gloss entry
  EXPECT_EQ(f.Selectors(a - 1)[1], 255);  // the verse label is no word
  EXPECT_EQ(f.CellReference(f.CellAtPosition(w.fx->words[1])), "GEN 1:1 .2");

  TShared s;
  s.SetZoomIndex(40);
  EXPECT_EQ(s.zoomIndex, 32);
  EXPECT_DOUBLE_EQ(s.zoom, 3.0);
  s.SetZoomIndex(-2);
  EXPECT_DOUBLE_EQ(s.zoom, 1.0);
}

TEST(UiFocus, KeyboardFocusKeepsItsWordAfterPageDownAndClickSelects) {
  Window w(true, longVerse(400), nullptr, QSize(320, 200));
  w.win->show();
  ASSERT_TRUE(w.win->ShowPlace(Window::at("GEN", 1, 1)));
  Tfocus& f = w.win->focus();
  QTest::keyClick(w.win.get(), Qt::Key_Slash);
  ASSERT_TRUE(f.keyboardMode);
  // A word on the last row drawn is on the first row after Page down.
  const std::int32_t lastRow = w.win->rowStarts().back();
  f.keyCell = f.CellAtPosition(lastRow);
  ASSERT_GE(f.keyCell, 0);
  f.keyPosition = lastRow;
  QTest::keyClick(w.win.get(), Qt::Key_PageDown);
  EXPECT_EQ(w.win->startPosition(), lastRow);
  EXPECT_EQ(f.keyCell, f.CellAtPosition(lastRow));
  EXPECT_EQ(f.keyPosition, lastRow);
  // A word that leaves the page: the first word cell drawn.
  QTest::keyClick(w.win.get(), Qt::Key_PageDown);
  EXPECT_EQ(f.keyPosition, w.win->startPosition());
  EXPECT_TRUE(f.KeyboardPrevCell());  // already the first word

  TSelectedWord chosen;
  QObject::connect(w.win.get(), &TIntLinWin::wordChosen, [&](const TSelectedWord& s) { chosen = s; });
  const QRect r = f.frameRect(f.keyCell, 0, false);
  QTest::mouseClick(w.win.get(), Qt::LeftButton, Qt::NoModifier, r.center());
  EXPECT_EQ(chosen.streamPos, w.win->startPosition());
  EXPECT_EQ(chosen.sublinear, 0);
  EXPECT_EQ(w.win->popupKind(), TIntLinWin::Popup::None);
  QTest::mouseMove(w.win.get(), r.center());
  EXPECT_EQ(w.win->popupKind(), TIntLinWin::Popup::Word);

  // Up from the top row shown scrolls one row and takes the nearest word of the row above.
  w.win->RowDown();
  w.win->RowDown();
  w.win->finishSmoothScroll();
  ASSERT_EQ(w.win->scrollRows(), 2);
  const std::vector<std::int32_t> rows = w.win->rowStarts();
  f.keyCell = f.CellAtPosition(rows[2]);
  f.keyLine = 0;
  f.keyPosition = rows[2];
  QTest::keyClick(w.win.get(), Qt::Key_Up);
  w.win->finishSmoothScroll();
  EXPECT_EQ(w.win->scrollRows(), 1);
  EXPECT_GE(f.keyPosition, rows[1]);
  EXPECT_LT(f.keyPosition, rows[2]);
  EXPECT_GE(f.frameRect(f.keyCell, 0, false).top(), TIntLinWin::kHeaderHeight);
}

}  // namespace
}  // namespace kov
