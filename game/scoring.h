// The points scale and the scores of a game: Match Score, Click Cost, Bonus,
// net score, and the average of a set.
#pragma once

namespace quadrilex {

constexpr int kPointsScaleSize = 90;
constexpr int kMaxClickCount = 10;
constexpr int kStartMatchPoints = 10;
// Five games make a set; the recap shows each game's score and their average.
constexpr int kGamesPerSet = 5;
constexpr int kLastGameOfSet = kGamesPerSet - 1;  // the game number counts from 0

// Entry n is 10 * C(n + 3, 3), built by running sums in 32-bit integers:
// 10, 40, 100, 200, 350, ... 1214850, 1255800.
void BuildPointsScale(int (&scale)[kPointsScaleSize]);

// The counters that a click changes, judged over the 11 non-master blocks.
struct BoardTally {
  int boardDone = 0;    // 1 when no non-master block is normal
  int matchCount = 0;   // 1 (the master) + matched non-master blocks
  int clickCost = 0;    // sum of scale[n - 1] over every non-master block with n > 0 clicks
  int matchPoints = 0;  // scale[matchCount - 1]
};

BoardTally TallyBoard(const int (&blockState)[12], const int (&clickCount)[12],
                      const int (&scale)[kPointsScaleSize]);

// The Bonus index earned by a board finished with secondsLeft on the clock:
// the last second does not count.
int BonusIndex(long secondsLeft);

// The Bonus a panel shows: scale[min(bonusIndex, 89)] when withBonus is true
// and all 12 blocks are matched, else 0.
int ComputeBonus(bool withBonus, int matchCount, int bonusIndex, const int (&scale)[kPointsScaleSize]);

// matchPoints + bonus - clickCost in 32-bit signed arithmetic.
int NetScore(int matchPoints, int clickCost, int bonus);

// (sum of the five scores + 4) / 5, the quotient truncated toward zero.
int AverageScore(const int (&gameScore)[kGamesPerSet]);

}  // namespace quadrilex
