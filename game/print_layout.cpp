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

int FitPrintFontHeight(int layoutFontHeight, const std::function<bool(int height)>& pageIsWhole) {
  if (layoutFontHeight <= 1 || pageIsWhole(layoutFontHeight)) return layoutFontHeight;
  // Heights above `high` lose text; `fits` is the largest seen whole (0 while
  // none has been), and every height below `low` is at most it.
  int fits = 0;
  int low = 1;
  int high = layoutFontHeight - 1;
  while (low <= high) {
    const int height = low + (high - low) / 2;
    if (pageIsWhole(height)) {
      fits = height;
      low = height + 1;
    } else {
      high = height - 1;
    }
  }
  return fits > 0 ? fits : layoutFontHeight;
}

}  // namespace quadrilex
