#include "game/print_layout.h"

namespace quadrilex {

PrintLayout ComputePrintLayout(const RECT& drawRect) {
  PrintLayout p{};
  p.pageWidth = drawRect.right - drawRect.left;
  p.textWidth = (9 * p.pageWidth) / 10;
  p.left = (p.pageWidth - p.textWidth) / 2;
  p.pageHeight = drawRect.bottom - drawRect.top;
  p.textHeight = (9 * p.pageHeight) / 10;
  p.fontHeight = p.textHeight / 48;
  p.top = (3 * (p.pageHeight - p.textHeight)) / 4;
  return p;
}

}  // namespace quadrilex
