// Where the printed instructions stand on the page, in the printer's device
// units: a text block nine tenths of the page each way, centred across, with
// three quarters of the spare height above it.
#pragma once

#include <functional>

#include "game/win_types.h"

namespace quadrilex {

struct PrintLayout {
  int pageWidth;
  int pageHeight;
  int textWidth;
  int textHeight;
  int left;
  int top;
  int fontHeight;  // 48 lines of this height fill the text block
};

PrintLayout ComputePrintLayout(const RECT& drawRect);

// The font height the page is printed at. The layout's own height is kept
// wherever the heading and the whole body are whole at it, so a page that
// always printed whole prints exactly as before. Where text would be lost (a
// paper narrow for its height, such as A4), the largest smaller height at which
// nothing is lost. pageIsWhole(height) tells whether the heading and every line
// of the body are whole at that height; a smaller font never takes more room,
// so the heights that fit lie below those that do not, and a halving search
// finds the boundary. Where no height fits, the layout's own height is kept and
// the body is clipped to its block as it always was.
int FitPrintFontHeight(int layoutFontHeight, const std::function<bool(int height)>& pageIsWhole);

// The narrowest client area that prints (the game's minimum width).
constexpr int kMinPrintClientWidth = 1016;

}  // namespace quadrilex
