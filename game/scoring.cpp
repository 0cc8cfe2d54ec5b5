#include "game/scoring.h"

#include <cstdint>

#include "game/board.h"

namespace quadrilex {

void BuildPointsScale(int (&scale)[kPointsScaleSize]) {
  int value = 0;
  int first = 10;
  int second = 20;
  const int third = 10;
  for (int n = 0; n < kPointsScaleSize; ++n) {
    value += first;
    scale[n] = value;
    first += second;
    second += third;
  }
}

BoardTally TallyBoard(const int (&blockState)[12], const int (&clickCount)[12],
                      const int (&scale)[kPointsScaleSize]) {
  BoardTally tally;
  tally.boardDone = 1;
  tally.matchCount = 1;  // the master
  for (int b = 0; b < kBlockCount; ++b) {
    if (b == kMasterBlock) continue;
    if (blockState[b] == kStateNormal) tally.boardDone = 0;
    if (blockState[b] == kStateMatched) ++tally.matchCount;
    // Clicks count whatever became of the block, lost ones included.
    if (clickCount[b] > 0) tally.clickCost += scale[clickCount[b] - 1];
  }
  tally.matchPoints = scale[tally.matchCount - 1];
  return tally;
}

int ComputeBonus(bool withBonus, int matchCount, int bonusIndex, const int (&scale)[kPointsScaleSize]) {
  if (!withBonus || matchCount < kBlockCount) return 0;
  if (bonusIndex < 0) bonusIndex = 0;
  if (bonusIndex > kPointsScaleSize - 1) bonusIndex = kPointsScaleSize - 1;
  return scale[bonusIndex];
}

int BonusIndex(long secondsLeft) { return static_cast<int>(secondsLeft) - 1; }

int NetScore(int matchPoints, int clickCost, int bonus) {
  return static_cast<int>(static_cast<std::int64_t>(matchPoints) + bonus - clickCost);
}

int AverageScore(const int (&gameScore)[kGamesPerSet]) {
  std::int64_t sum = 0;
  for (int score : gameScore) sum += score;
  return static_cast<int>((sum + kGamesPerSet - 1) / kGamesPerSet);
}

}  // namespace quadrilex
