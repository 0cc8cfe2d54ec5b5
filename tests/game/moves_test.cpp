// Which block and which arrow a click hits, and what each arrow does.
#include "game/moves.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "game/board.h"
#include "game/layout.h"

namespace quadrilex {
namespace {

// Zone numbers as the player sees them, 1 to 10; the functions speak 0-based.
int Zone(int x, int y, int blockLeft = 0, int blockTop = 0) {
  const int z = HitArrowZone(kArrowZoneRect, blockLeft, blockTop, CPoint(blockLeft + x, blockTop + y));
  return z < 0 ? 0 : z + 1;
}

// The board of a 1016 by 660 client area: block 0 at (158, 71), 180 pixels apart.
struct BoardRects {
  RECT blocks[12];
  BoardRects() { LayOutBlocks(CPoint(158, 71), 160, 180, blocks); }
};

TEST(HitBlock, BothEdgesOfABlockCount) {
  BoardRects b;
  for (int k = 0; k < 12; ++k) {
    const RECT& rc = b.blocks[k];
    EXPECT_EQ(HitBlock(b.blocks, CPoint(rc.left, rc.top)), k);
    EXPECT_EQ(HitBlock(b.blocks, CPoint(rc.left + 160, rc.top + 160)), k);
    EXPECT_EQ(HitBlock(b.blocks, CPoint(rc.left + 80, rc.top + 80)), k);
  }
  // Block 11 is the last column and row: nothing lies beyond it.
  const RECT& last = b.blocks[11];
  EXPECT_EQ(HitBlock(b.blocks, CPoint(last.left + 161, last.top + 5)), -1);
  EXPECT_EQ(HitBlock(b.blocks, CPoint(last.left + 5, last.top + 161)), -1);
  EXPECT_EQ(HitBlock(b.blocks, CPoint(157, 71)), -1);
  EXPECT_EQ(HitBlock(b.blocks, CPoint(158, 70)), -1);
}

TEST(HitBlock, GuttersBetweenBlocksHitNothing) {
  BoardRects b;
  // Between columns 0 and 1 (x 319 to 337) and between rows 0 and 1 (y 232 to 250).
  for (int x = 319; x <= 337; ++x) EXPECT_EQ(HitBlock(b.blocks, CPoint(x, 150)), -1) << "x " << x;
  EXPECT_EQ(HitBlock(b.blocks, CPoint(318, 150)), 0);
  EXPECT_EQ(HitBlock(b.blocks, CPoint(338, 150)), 3);
  for (int y = 232; y <= 250; ++y) EXPECT_EQ(HitBlock(b.blocks, CPoint(200, y)), -1) << "y " << y;
  EXPECT_EQ(HitBlock(b.blocks, CPoint(200, 231)), 0);
  EXPECT_EQ(HitBlock(b.blocks, CPoint(200, 251)), 1);
}

TEST(ArrowZones, TopArrowToleranceIsTwoBeforeAndOneAfter) {
  EXPECT_EQ(Zone(64, 2), 1);
  EXPECT_EQ(Zone(96, 15), 1);
  EXPECT_EQ(Zone(63, 2), 0);
  EXPECT_EQ(Zone(97, 15), 0);
  EXPECT_EQ(Zone(80, 0), 1);
  EXPECT_EQ(Zone(80, 16), 1);
  EXPECT_EQ(Zone(80, 17), 0);
}

TEST(ArrowZones, EdgeArrowsWidenedTheSameWay) {
  // Zones 1 to 6 do not overlap: each answers from l - 2 to r + 1 and t - 2 to b + 1.
  for (int z = 0; z < 6; ++z) {
    const RECT& r = kArrowZoneRect[z];
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    EXPECT_EQ(Zone(r.left - 2, cy), z + 1) << "zone " << z + 1;
    EXPECT_EQ(Zone(r.right + 1, cy), z + 1) << "zone " << z + 1;
    EXPECT_EQ(Zone(cx, r.top - 2), z + 1) << "zone " << z + 1;
    EXPECT_EQ(Zone(cx, r.bottom + 1), z + 1) << "zone " << z + 1;
    EXPECT_EQ(Zone(r.left - 3, cy), 0) << "zone " << z + 1;
    EXPECT_EQ(Zone(r.right + 2, cy), 0) << "zone " << z + 1;
    EXPECT_EQ(Zone(cx, r.top - 3), 0) << "zone " << z + 1;
    EXPECT_EQ(Zone(cx, r.bottom + 2), 0) << "zone " << z + 1;
  }
}

TEST(ArrowZones, ZonesFollowTheBlock) {
  // Block 4 of the 1016 by 660 board stands at (338, 251).
  EXPECT_EQ(Zone(64, 2, 338, 251), 1);
  EXPECT_EQ(Zone(63, 2, 338, 251), 0);
  EXPECT_EQ(Zone(90, 78, 338, 251), 8);
  EXPECT_EQ(HitArrowZone(kArrowZoneRect, 338, 251, CPoint(64, 2)), -1);
}

TEST(ArrowZones, CentreCornersNamedCases) {
  EXPECT_EQ(Zone(90, 80), 10);
  EXPECT_EQ(Zone(90, 78), 8);
  EXPECT_EQ(Zone(81, 81), 7);
  EXPECT_EQ(Zone(80, 90), 10);
  EXPECT_EQ(Zone(78, 90), 9);
}

TEST(ArrowZones, CentreSquareSharedPixels) {
  for (int y = 60; y <= 100; ++y) {
    for (int x = 60; x <= 100; ++x) {
      int expected = 0;
      if (x >= 64 && x <= 81 && y >= 64 && y <= 81) {
        expected = 7;
      } else if (x >= 79 && x <= 96 && y >= 79 && y <= 96) {
        expected = 10;
      } else if (x >= 82 && x <= 96 && y >= 64 && y <= 78) {
        expected = 8;
      } else if (x >= 64 && x <= 78 && y >= 82 && y <= 96) {
        expected = 9;
      }
      ASSERT_EQ(Zone(x, y), expected) << "(" << x << ", " << y << ")";
    }
  }
}

TEST(ArrowEffects, FromCircleCrossSquareTriangle) {
  struct Case {
    int zone;
    const char* code;
    int index;
  };
  const Case cases[] = {{1, "xcts", 7},  {2, "tsxc", 23}, {3, "xcst", 6},  {4, "cxts", 1},  {5, "txsc", 21},
                        {6, "csxt", 2},  {7, "sxct", 14}, {10, "sxct", 14}, {8, "ctsx", 5}, {9, "ctsx", 5}};
  for (const Case& c : cases) {
    char code[5];
    std::memset(code, '?', sizeof code);
    PermuteCode("cxst", c.zone - 1, code);
    EXPECT_STREQ(code, c.code) << "zone " << c.zone;
    EXPECT_EQ(MovedArrangement(0, c.zone - 1), c.index) << "zone " << c.zone;
  }
}

TEST(ArrowEffects, EveryMoveChangesTheBlockAndUndoesItself) {
  for (int zone = 0; zone < kArrowZoneCount; ++zone) {
    std::set<int> images;
    for (int a = 0; a < kArrangementCount; ++a) {
      const int moved = MovedArrangement(a, zone);
      ASSERT_GE(moved, 0) << "zone " << zone + 1 << " from " << a;
      ASSERT_LT(moved, kArrangementCount);
      EXPECT_NE(moved, a) << "zone " << zone + 1 << " from " << a;
      EXPECT_EQ(MovedArrangement(moved, zone), a) << "zone " << zone + 1 << " from " << a;
      images.insert(moved);
    }
    EXPECT_EQ(images.size(), 24u) << "zone " << zone + 1;
  }
}

TEST(ArrowEffects, PermutationTableReadsSourcePositions) {
  // "sctx" has s at 1, c at 2, t at 3, x at 4; zone 5 swaps positions 1 and 4.
  char code[5];
  PermuteCode("sctx", 4, code);
  EXPECT_STREQ(code, "xcts");
  // Zone 6 swaps positions 2 and 3.
  PermuteCode("sctx", 5, code);
  EXPECT_STREQ(code, "stcx");
}

}  // namespace
}  // namespace quadrilex
