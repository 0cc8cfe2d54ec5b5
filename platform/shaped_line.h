// A line of text shaped once in a font and kept as a picture of its black
// pixels: what the font's cache holds and what the device context copies.
// For the drawing code only.
#pragma once

#include <QImage>
#include <QPoint>

#include "platform/gdi.h"

struct CFont::ShapedLine {
  int width = 0;
  QImage picture;
  QPoint offset;
};
