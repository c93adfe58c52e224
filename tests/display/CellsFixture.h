#pragma once
#include <QImage>
#include <QPainter>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "db/cIntLin.h"
#include "display/UTxtDrw.h"
#include "display/cRenderTxt.h"
#include "support/GuiApp.h"
#include "support/IntLinFixtures.h"

namespace kov::test {

// A fixture database with known fonts, a renderer and a cell drawer over it.
struct CellsFixture {
  struct Font {
    QString face;
    int height;
    bool rtl = false;
    StoredColor colour = 0;
  };

  std::unique_ptr<IntLinFixture> fx;
  TintLin db;
  TRenderTxt render;
  std::unique_ptr<TTxtDrw> drw;
  QImage image;
  std::unique_ptr<QPainter> painter;

  // Slot j of the table gets fonts[j]; the presentation record of the screen is fixed.
  CellsFixture(const IntLinSpec& desc, const LineOptions& options, const std::vector<Font>& fonts,
               PresentationMetrics metrics = {2, 4, 2, 0, 0, 10}) {
    ensureGuiApp();
    fx = buildIntLin(desc);
    fx->load(db, options);
    TWl& t = db.appliedTable();
    for (int j = 0; j < t.slotCount && j < int(fonts.size()); ++j) {
      t.slot(j).fonts[0] = TslFont{fonts[std::size_t(j)].face, fonts[std::size_t(j)].height,
                                   fonts[std::size_t(j)].colour, 0, 0};
      t.slot(j).rtl = fonts[std::size_t(j)].rtl;
    }
    t.presentations[0] = metrics;
    render.BuildFontSet(0, TTxtDrw::fontsOf(t, 0, -12), 1.0);
    drw = std::make_unique<TTxtDrw>(db, render);
  }

  LineOptions& options() { return db.appliedOptions(); }

  // Starts a pass from `first` to the end of the stream; by default from the position after the
  // first word (the tests' texts begin with a book holding only the gap word).
  void start(TCellView v, std::int32_t first = -1) {
    drw->ResetView(v, first < 0 ? fx->words.front() + 1 : first, db.lastPosition());
    drw->LayoutLines(v.presentation, db.appliedTable().slotCount);
  }

  // A canvas to draw on; `v.canvas` must be set from it before start().
  QPainter* canvas(int w, int h) {
    image = QImage(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    painter = std::make_unique<QPainter>(&image);
    return painter.get();
  }
  void endPainting() { painter.reset(); }

  // Draws rows until the passage ends (at most `maxRows`); heading rows are acknowledged.
  // Returns the first and last cell of every non-empty row.
  std::vector<std::pair<int, int>> rows(int left, int right, int maxRows = 50, int y0 = 0) {
    std::vector<std::pair<int, int>> out;
    int y = y0;
    for (int n = 0; n < maxRows && !drw->endOfPassage(); ++n) {
      drw->DrawRow(left, right, y);
      if (drw->rowCellCount() > 0) {
        out.emplace_back(drw->rowFirstCell(), drw->lastCell());
        y += drw->lines().rowHeight;
      } else if (drw->headingPending()) {
        drw->HeadingDrawn();
      } else {
        break;
      }
    }
    return out;
  }

  const DisplayCell& cell(int i) const { return drw->cell(0, i); }
};

}  // namespace kov::test
