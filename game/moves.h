// What a left click on the board does: which block it hits, which arrow zone of
// that block, and how the zone's arrow rearranges the block's four shapes.
#pragma once

#include "game/win_types.h"

namespace quadrilex {

constexpr int kArrowZoneCount = 10;

// The ten arrow zones relative to a block's top-left corner, in the order the
// view stores them (zone 1 first). Right and bottom are exclusive.
extern const RECT kArrowZoneRect[kArrowZoneCount];

// For each zone in zone order: new positions 1 to 4 take their shapes from
// these old positions (1-based).
extern const int kArrowZonePermutation[kArrowZoneCount][4];

// The block whose rectangle holds the point, both edges counted
// (left <= x <= right, top <= y <= bottom), examined in block-index order;
// -1 when the point is in no block.
int HitBlock(const RECT (&blocks)[12], CPoint point);

// The zone (0-based, 0 = zone 1) of the block at blockLeft, blockTop that takes
// the point: each zone is widened to left - 2 .. right + 1 and top - 2 ..
// bottom + 1 in block-relative pixels, and the zones are tried in the order
// 1, 2, 3, 4, 5, 6, 7, 10, 8, 9. -1 when no zone holds the point.
int HitArrowZone(const RECT (&zones)[kArrowZoneCount], int blockLeft, int blockTop, CPoint point);

// Writes into newCode (5 chars with the NUL) the code that zone (0-based) makes
// of oldCode.
void PermuteCode(const char* oldCode, int zone, char* newCode);

// The arrangement index that the zone (0-based) makes of arrangement index
// `arrangement`, found by building the new code and looking it up again.
int MovedArrangement(int arrangement, int zone);

}  // namespace quadrilex
