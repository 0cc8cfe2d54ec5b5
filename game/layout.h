// Where everything stands on the screen, computed from the client size and,
// for the panel, the recap and the new-set box, from text measured in the game
// font. The measuring itself is the caller's: these rules only do arithmetic.
#pragma once

#include <functional>

#include "game/scoring.h"
#include "game/win_types.h"

namespace quadrilex {

constexpr int kBlockSize = 160;
constexpr int kBlockPitch = 180;
constexpr int kMinClientWidth = 1016;
constexpr int kMinClientHeight = 660;
constexpr int kRecapSlots = kGamesPerSet;

bool ClientTooSmall(const RECT& client);

// 4 * (height / 160): 16 for 660 to 799, 20 for 800 to 959, 24 for 960 to 1119.
int GameFontHeight(int clientHeight);

// The top-left corner of block 0: the 700 by 520 board centred across, one
// pixel below the vertical centre.
CPoint BoardOrigin(int clientWidth, int clientHeight, int blockSize, int blockPitch);

// The 12 block rectangles, index = 3 * column + row.
void LayOutBlocks(CPoint origin, int blockSize, int blockPitch, RECT (&blocks)[12]);

// Measures a text in the game font: cx its width, cy its height.
using TextMeasure = std::function<SIZE(const char*)>;

struct PanelLayout {
  RECT timeLabel, timeBox, matchLabel, matchBox, costLabel, costBox;
  RECT bonusLabel, bonusBox, netLabel, netBox, gameLabel, gameBox;
};

struct RecapLayout {
  RECT averageLabel, averageBox;
  RECT recapLabel[kRecapSlots];
  RECT recapBox[kRecapSlots];
};

// The rows of labelled boxes: a label, half a letter, its box, two letters,
// the next label, starting one letter in from the left. A row that would run
// past clientWidth has its spaces narrowed in the same proportions, down to
// kNarrowestHalfSpace pixels for half a letter, and an equal margin left at
// either end; if even that cannot hold it, the row ends past clientWidth and
// the caller measures again in a smaller font.
constexpr int kNarrowestHalfSpace = 2;

// The row along the top; charSize is the extent of "W".
PanelLayout LayOutPanel(SIZE charSize, const TextMeasure& measure, int clientWidth);
bool PanelFits(const PanelLayout& panel, int clientWidth);

// The column of 31 text lines centred vertically at the left edge.
RECT LayOutNewSetBox(SIZE charSize, int clientHeight);

// The row along the bottom.
RecapLayout LayOutRecap(SIZE charSize, int clientHeight, const TextMeasure& measure, int clientWidth);
bool RecapFits(const RecapLayout& recap, int clientWidth);

// One line of the opening animation: optionally move the pen first, then draw
// to the end point with the pen of the given colour.
struct AnimationLine {
  COLORREF colour;
  bool moveFirst;
  CPoint moveTo;
  CPoint lineTo;
};

constexpr int kAnimationLineCount = 18;

// The 18 lines for a client area of width by height; the pen starts at (0, 0).
void OpeningAnimation(int width, int height, AnimationLine (&lines)[kAnimationLineCount]);

}  // namespace quadrilex
