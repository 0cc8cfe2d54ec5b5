// Where the printed instructions stand on the page, in the printer's device
// units: a text block nine tenths of the page each way, centred across, with
// three quarters of the spare height above it.
#pragma once

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

// The narrowest client area that prints (the game's minimum width).
constexpr int kMinPrintClientWidth = 1016;

}  // namespace quadrilex
