#pragma once
#include <QRectF>
#include <QString>

#include "db/ColorBlend.h"

class QPainter;

namespace kov {

class TRenderTxt;

// A small word-wrapping box: pours a marked-up text into a rectangle line by line through the
// renderer (whose current font and markup settings it uses) and can tell the character under a point.
class Ttxtbox {
 public:
  static constexpr int kMaxLines = 1000;

  explicit Ttxtbox(TRenderTxt& render) : render_(render) {}

  // Inputs.
  QString text;             // marked-up text
  QRectF rect;              // text rectangle
  double indent = 0;        // first line only
  double wordGap = 8;
  double lineHeight = 18;   // replaced by ascent + descent + extraGap when drawing
  bool justify = true;
  StoredColor textColor = 0;
  StoredColor backColor = 0xFFFFFF;
  double extraGap = 0;
  bool fill = false;        // fill the box with backColor first
  QPainter* canvas = nullptr;
  bool hitTest = false;     // draw nothing, find the character under hitPoint
  QPointF hitPoint;

  // Outputs.
  int stopPos = -1;  // index in text of the first word that did not fit; -1 when all did
  int hitPos = -1;   // index in text under hitPoint; -1 when none
  int lineCount = 0;

  void Draw();

 private:
  TRenderTxt& render_;
};

}  // namespace kov
