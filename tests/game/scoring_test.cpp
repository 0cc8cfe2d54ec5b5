// The points scale, the tally after a click, the Bonus, the net score and the
// average of a set.
#include "game/scoring.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "game/board.h"

namespace quadrilex {
namespace {

struct Scale {
  int values[kPointsScaleSize];
  Scale() {
    for (int& v : values) v = -1;
    BuildPointsScale(values);
  }
};

// A dealt board: master matched, every other block normal, no clicks.
struct Tally {
  int state[12];
  int clicks[12] = {};
  Tally() {
    for (int& s : state) s = kStateNormal;
    state[kMasterBlock] = kStateMatched;
  }
  BoardTally Run(const Scale& scale) const { return TallyBoard(state, clicks, scale.values); }
};

TEST(PointsScale, TenTimesTetrahedralNumbers) {
  Scale scale;
  const int first[13] = {10, 40, 100, 200, 350, 560, 840, 1200, 1650, 2200, 2860, 3640, 4550};
  for (int n = 0; n < 13; ++n) EXPECT_EQ(scale.values[n], first[n]) << "entry " << n;
  EXPECT_EQ(scale.values[88], 1214850);
  EXPECT_EQ(scale.values[89], 1255800);
  for (std::int64_t n = 0; n < kPointsScaleSize; ++n) {
    EXPECT_EQ(scale.values[n], 10 * (n + 1) * (n + 2) * (n + 3) / 6) << "entry " << n;
  }
}

TEST(TallyBoard, FreshBoardScoresTen) {
  Scale scale;
  const BoardTally t = Tally().Run(scale);
  EXPECT_EQ(t.boardDone, 0);
  EXPECT_EQ(t.matchCount, 1);
  EXPECT_EQ(t.clickCost, 0);
  EXPECT_EQ(t.matchPoints, 10);
}

TEST(TallyBoard, MatchScoreForZeroToElevenMatches) {
  Scale scale;
  const int expected[12] = {10, 40, 100, 200, 350, 560, 840, 1200, 1650, 2200, 2860, 3640};
  for (int matched = 0; matched <= 11; ++matched) {
    Tally board;
    // Spread the matches from the far end so the master's neighbours are not special.
    for (int k = 0; k < matched; ++k) board.state[11 - k] = kStateMatched;
    const BoardTally t = board.Run(scale);
    EXPECT_EQ(t.matchPoints, expected[matched]) << matched << " matched";
    EXPECT_EQ(t.matchCount, matched + 1);
    EXPECT_EQ(t.boardDone, matched == 11 ? 1 : 0) << matched << " matched";
  }
}

TEST(TallyBoard, ClickCostOfOneBlock) {
  Scale scale;
  const int clicks[4] = {1, 2, 3, 10};
  const int cost[4] = {10, 40, 100, 2200};
  for (int i = 0; i < 4; ++i) {
    Tally board;
    board.clicks[5] = clicks[i];
    EXPECT_EQ(board.Run(scale).clickCost, cost[i]) << clicks[i] << " clicks";
  }
}

TEST(TallyBoard, ClickCostAddsUpOverBlocks) {
  Scale scale;
  Tally board;
  board.clicks[1] = 1;
  board.clicks[6] = 3;
  board.clicks[11] = 2;
  EXPECT_EQ(board.Run(scale).clickCost, 10 + 100 + 40);
}

TEST(TallyBoard, LostBlocksStillCostTheirClicks) {
  Scale scale;
  Tally board;
  board.state[4] = kStateLost;
  board.clicks[4] = 3;
  board.state[7] = kStateMatched;
  board.clicks[7] = 2;
  const BoardTally t = board.Run(scale);
  EXPECT_EQ(t.clickCost, 140);
  EXPECT_EQ(t.matchPoints, 40);
}

TEST(TallyBoard, MasterIsNotCounted) {
  Scale scale;
  Tally board;
  board.clicks[kMasterBlock] = 4;  // the master never takes clicks; a stray count must not cost
  const BoardTally t = board.Run(scale);
  EXPECT_EQ(t.clickCost, 0);
  EXPECT_EQ(t.matchCount, 1);
}

TEST(TallyBoard, BoardDoneWhenNoBlockIsNormal) {
  Scale scale;
  Tally board;
  for (int b = 1; b <= 3; ++b) board.state[b] = kStateLost;
  for (int b = 4; b <= 11; ++b) board.state[b] = kStateMatched;
  BoardTally t = board.Run(scale);
  EXPECT_EQ(t.boardDone, 1);
  EXPECT_EQ(t.matchCount, 9);
  EXPECT_EQ(t.matchPoints, 1650);

  for (int b = 1; b <= 11; ++b) board.state[b] = kStateLost;
  t = board.Run(scale);
  EXPECT_EQ(t.boardDone, 1);
  EXPECT_EQ(t.matchPoints, 10);

  board.state[9] = kStateNormal;  // one block left in play
  EXPECT_EQ(board.Run(scale).boardDone, 0);
}

TEST(Bonus, ForTheSecondsLeftWhenAllAreMatched) {
  Scale scale;
  // bonusIndex is the seconds left minus 1.
  EXPECT_EQ(ComputeBonus(true, 12, 1 - 1, scale.values), 10);
  EXPECT_EQ(ComputeBonus(true, 12, 7 - 1, scale.values), 840);
  EXPECT_EQ(ComputeBonus(true, 12, 90 - 1, scale.values), 1255800);
  EXPECT_EQ(ComputeBonus(true, 12, 91 - 1, scale.values), 1255800);
  EXPECT_EQ(ComputeBonus(true, 12, 100 - 1, scale.values), 1255800);
  EXPECT_EQ(ComputeBonus(true, 12, 105 - 1, scale.values), 1255800);
}

TEST(Bonus, NoneWithoutTheFlagOrWithoutEveryMatch) {
  Scale scale;
  EXPECT_EQ(ComputeBonus(false, 12, 6, scale.values), 0);
  EXPECT_EQ(ComputeBonus(true, 11, 6, scale.values), 0);
  EXPECT_EQ(ComputeBonus(true, 1, 6, scale.values), 0);
  EXPECT_EQ(ComputeBonus(true, 0, 6, scale.values), 0);
}

TEST(NetScore, MatchesPlusBonusLessClicks) {
  Scale scale;
  EXPECT_EQ(NetScore(10, 0, 0), 10);
  EXPECT_EQ(NetScore(3640, 100, 840), 4380);

  // No match, and every non-master block at ten clicks or more.
  Tally board;
  for (int b = 1; b < 12; ++b) board.clicks[b] = 10;
  const BoardTally t = board.Run(scale);
  EXPECT_EQ(t.clickCost, 24200);
  EXPECT_EQ(NetScore(t.matchPoints, t.clickCost, ComputeBonus(true, t.matchCount, 50, scale.values)), -24190);
}

TEST(AverageScore, RoundsUpForPositiveAndTruncatesTowardZero) {
  EXPECT_EQ(AverageScore({10, 10, 10, 10, 11}), 11);
  EXPECT_EQ(AverageScore({10, 10, 10, 10, 10}), 10);
  EXPECT_EQ(AverageScore({0, 0, 0, 0, 0}), 0);
  EXPECT_EQ(AverageScore({-7, 0, 0, 0, 0}), 0);
  EXPECT_EQ(AverageScore({-10, 0, 0, 0, 0}), -1);  // (-10 + 4) / 5 = -6 / 5
  EXPECT_EQ(AverageScore({-24190, -24190, -24190, -24190, -24190}), -24189);
  const int best = 3640 + 1255800;
  EXPECT_EQ(AverageScore({best, best, best, best, best}), best);
}

}  // namespace
}  // namespace quadrilex
