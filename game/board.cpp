#include "game/board.h"

#include <cstring>

namespace quadrilex {

const char* const kArrangementCode[kArrangementCount] = {
    "cxst", "cxts", "csxt", "cstx", "ctxs", "ctsx", "xcst", "xcts", "xsct", "xstc", "xtcs", "xtsc",
    "scxt", "sctx", "sxct", "sxtc", "stcx", "stxc", "tcxs", "tcsx", "txcs", "txsc", "tscx", "tsxc",
};

int FindArrangement(const char* code) {
  for (int i = 0; i < kArrangementCount; ++i) {
    if (std::strcmp(kArrangementCode[i], code) == 0) return i;
  }
  return -1;
}

void DealBoard(const DealArrays& board, const RandomSource& nextRandom) {
  for (int i = 0; i < kArrangementCount; ++i) {
    board.deal[i] = i;
    board.drawPool[i] = i;
  }
  for (int k = 0; k < kArrangementCount; ++k) {
    const int left = kArrangementCount - k;
    const int r = nextRandom() % left;
    board.deal[k] = board.drawPool[r];
    // Close the gap: every later slot of the pool moves one place down.
    for (int j = r; j < kArrangementCount - 1; ++j) board.drawPool[j] = board.drawPool[j + 1];
  }
  for (int b = 0; b < kBlockCount; ++b) {
    board.arrangement[b] = board.deal[b];
    board.blockState[b] = kStateNormal;
    board.clickCount[b] = 0;
  }
  board.blockState[kMasterBlock] = kStateMatched;
}

void BuildDissolveOrder(int* order, int blockSize) {
  const int count = blockSize * blockSize;
  constexpr int kStride = 21773;
  int value = 0;
  for (int j = 0; j < count; ++j) {
    order[j] = value;
    value += kStride;
    while (value >= count) value -= count;
  }
}

}  // namespace quadrilex
