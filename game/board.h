// The board: the 24 arrangements of the four shapes, the deal of 12 blocks,
// the block states and the pixel order in which a lost block dissolves.
#pragma once

#include <functional>

namespace quadrilex {

constexpr int kBlockCount = 12;
constexpr int kColumnCount = 4;
constexpr int kRowCount = 3;
constexpr int kMasterBlock = 0;
constexpr int kArrangementCount = 24;
constexpr int kFirstArrangementBitmap = 130;  // bitmap resource of arrangement index 0

// Block states as the board stores them.
constexpr int kStateNormal = 0;
constexpr int kStateLost = 1;
constexpr int kStateMatched = 2;

// Blocks are numbered down each column: column 0 holds 0, 1, 2 from the top.
constexpr int BlockIndex(int column, int row) { return kRowCount * column + row; }
constexpr int BlockColumn(int block) { return block / kRowCount; }
constexpr int BlockRow(int block) { return block % kRowCount; }

// Letter k of a code is the shape at position k (clockwise from the top left):
// c circle, x cross, s square, t triangle. The table lists every ordering of the
// four letters, sorted under c < x < s < t; a code's place in it is its index.
extern const char* const kArrangementCode[kArrangementCount];

// The index of the table entry equal to code, or -1 when there is none.
int FindArrangement(const char* code);

// Returns the next value of the deal's random generator (the C library's rand()
// in the game; a fixed sequence in tests).
using RandomSource = std::function<int()>;

// The working arrays of a deal and the board it fills.
struct DealArrays {
  int* deal;         // 24 entries
  int* drawPool;     // 24 entries
  int* arrangement;  // 12 entries
  int* blockState;   // 12 entries
  int* clickCount;   // 12 entries
};

// Draws 24 indices without replacement; the first 12 go to the blocks in
// block-index order. Every block becomes normal with no clicks, then the master
// is matched.
void DealBoard(const DealArrays& board, const RandomSource& nextRandom);

// Fills order with blockSize * blockSize pixel offsets: entry j is 21773 * j
// reduced modulo blockSize * blockSize by running sums. Offset d is the pixel
// (d / blockSize, d % blockSize) from the block's top-left corner.
void BuildDissolveOrder(int* order, int blockSize);

}  // namespace quadrilex
