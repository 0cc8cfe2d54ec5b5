#include "game/moves.h"

#include "game/board.h"

namespace quadrilex {

const RECT kArrowZoneRect[kArrowZoneCount] = {
    {66, 2, 95, 15},    // 1: purple horizontal arrow at the top edge
    {2, 66, 15, 95},    // 2: purple vertical arrow at the left edge
    {68, 35, 93, 46},   // 3: white arrow between the two top shapes
    {68, 115, 93, 126}, // 4: white arrow between the two bottom shapes
    {35, 68, 46, 93},   // 5: white arrow between the two left shapes
    {115, 68, 126, 93}, // 6: white arrow between the two right shapes
    {66, 66, 80, 80},   // 7: centre X, arrowhead to the top left
    {81, 66, 95, 80},   // 8: centre X, arrowhead to the top right
    {66, 81, 80, 95},   // 9: centre X, arrowhead to the bottom left
    {81, 81, 95, 95},   // 10: centre X, arrowhead to the bottom right
};

const int kArrowZonePermutation[kArrowZoneCount][4] = {
    {2, 1, 4, 3},  // left and right halves change places
    {4, 3, 2, 1},  // top and bottom halves change places
    {2, 1, 3, 4},  // 1 <-> 2
    {1, 2, 4, 3},  // 3 <-> 4
    {4, 2, 3, 1},  // 1 <-> 4
    {1, 3, 2, 4},  // 2 <-> 3
    {3, 2, 1, 4},  // 1 <-> 3
    {1, 4, 3, 2},  // 2 <-> 4
    {1, 4, 3, 2},  // 2 <-> 4
    {3, 2, 1, 4},  // 1 <-> 3
};

namespace {
// The centre zones overlap once widened; this order decides their shared pixels.
constexpr int kZoneTestOrder[kArrowZoneCount] = {0, 1, 2, 3, 4, 5, 6, 9, 7, 8};
}  // namespace

int HitBlock(const RECT (&blocks)[12], CPoint point) {
  for (int b = 0; b < kBlockCount; ++b) {
    const RECT& rc = blocks[b];
    if (rc.left <= point.x && point.x <= rc.right && rc.top <= point.y && point.y <= rc.bottom) return b;
  }
  return -1;
}

int HitArrowZone(const RECT (&zones)[kArrowZoneCount], int blockLeft, int blockTop, CPoint point) {
  for (int zone : kZoneTestOrder) {
    const RECT& z = zones[zone];
    if (blockLeft + z.left - 3 < point.x && point.x < blockLeft + z.right + 2 &&
        blockTop + z.top - 3 < point.y && point.y < blockTop + z.bottom + 2) {
      return zone;
    }
  }
  return -1;
}

void PermuteCode(const char* oldCode, int zone, char* newCode) {
  for (int k = 0; k < 4; ++k) newCode[k] = oldCode[kArrowZonePermutation[zone][k] - 1];
  newCode[4] = '\0';
}

int MovedArrangement(int arrangement, int zone) {
  char newCode[5];
  PermuteCode(kArrangementCode[arrangement], zone, newCode);
  return FindArrangement(newCode);
}

}  // namespace quadrilex
