// Reading the game from a screenshot, the way a player reads it: where the view
// and the board are, which shapes each block shows, which frame it wears, and
// what stands in the score panel, the recap row and the new-set box.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/driver/image.h"
#include "tests/e2e/driver/solver.h"

namespace e2e {

constexpr int kBlockCount = 12;
constexpr int kBlockSize = 160;
constexpr int kBlockPitch = 180;
constexpr int kBoardWidth = 3 * kBlockPitch + kBlockSize;   // 700
constexpr int kBoardHeight = 2 * kBlockPitch + kBlockSize;  // 520

// The code read from a block that shows nothing but the grey ground.
extern const Code kLostCode;

struct Board {
  int left = 0;  // top-left pixel of block 0 (the master), screen coordinates
  int top = 0;

  // Block k = 3 * column + row.
  Rect block(int k) const;
  Point point(int k, int dx, int dy) const { return Point{block(k).x + dx, block(k).y + dy}; }
  Rect area() const { return Rect{left, top, kBoardWidth, kBoardHeight}; }
};

// The master block: the first one-pixel red square outline of 160 by 160 pixels
// in the picture, scanning rows top to bottom.
std::optional<Board> FindBoard(const Image& shot);

// The board as the game draws it at a scale: `scale` device pixels to one of
// the game's pixels (2 where Qt doubles its pixels, 1.5 and the like where the
// screen is dense or the board only fits smaller). `picture` holds it in the
// game's own pixels, each read at its centre, its block 0 at (0, 0), so that
// ReadBoard and ReadFrame read it with Board{0, 0}; `area` is where it stands
// on the screen.
struct ScaledBoard {
  double scale = 1.0;
  Rect area;
  Image picture;
};
// The master's red outline of any size from 160 by 160 screen pixels up, as
// FindBoard finds it at one screen pixel to the game's pixel.
std::optional<ScaledBoard> FindScaledBoard(const Image& shot);

// Where the board must stand in a view of that size: centred across and one
// pixel below the centre.
Board ExpectedBoard(const Rect& view);

// The view: the part of the main window under its menu bar, whose first two
// rows are always the grey ground. Found on the column three eighths across,
// which the opening lines and the panel leave grey at the top.
std::optional<Rect> FindView(const Image& shot, const Rect& window);

// The shapes of block k: "cxst" and the like; kLostCode when all four places show
// the ground; '?' for a place whose centre shows none of the four shape colours.
Code ReadBlock(const Image& shot, const Board& board, int k);
std::vector<Code> ReadBoard(const Image& shot, const Board& board);
bool IsReadable(const Code& code);

enum class Frame { none, red, green, black, broken };
const char* ToString(Frame f);
// The colour of the block's outermost ring of pixels when it is one colour (grey: no frame);
// broken when the ring is of several colours.
Frame ReadFrame(const Image& shot, const Board& board, int k);

bool AllOf(const Image& shot, const Rect& area, Rgb colour);

// Runs of `colour` at least `minLength` long on row y, from x0 up to x1: (first x, length).
std::vector<std::pair<int, int>> Runs(const Image& shot, int y, int x0, int x1, Rgb colour, int minLength);

// The opening animation: 18 lines across the view. For each line, how many of
// `samples` evenly spread points on it show the line's colour within one pixel.
struct LineScore {
  int line;  // 1 to 18
  Rgb colour;
  int hits;
  int samples;
};
std::vector<LineScore> ScoreOpeningLines(const Image& shot, const Rect& view, int samples = 24);
// Every line seen at two thirds or more of its points.
bool OpeningLinesShown(const std::vector<LineScore>& scores);
std::string Describe(const std::vector<LineScore>& scores);

// The score panel along the top of the view: its blue box outlines, as runs on
// the boxes' top row (view row 2).
std::vector<std::pair<int, int>> PanelBoxes(const Image& shot, const Rect& view);

// The recap at the bottom of the view: the row of red box outlines (six boxes:
// the average and the five games), found on the lowest 80 rows.
std::vector<std::pair<int, int>> RecapBoxes(const Image& shot, const Rect& view);

// The new-set box: a yellow outline around a grey inside, in the left part of the view.
std::optional<Rect> FindNewSetBox(const Image& shot, const Rect& view);

}  // namespace e2e
