// The game's rules as the tests understand them, written from the rules
// themselves and not from game/: the 24 arrangements and what each arrow does
// to them, where a click lands, the scores, and the shortest way from one
// arrangement to another. The click storm's referee judges the game by it, and
// the end-to-end player and the view tests plan their moves with it, so a
// fault in a rule of game/ shows as a disagreement.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace rules_model {

// An arrangement: four letters over c (circle), x (cross), s (square) and t
// (triangle), letter k the shape at position k, clockwise from the top left.
using Code = std::string;

// The 24 arrangements in the game's order: every ordering of the letters,
// sorted with c before x before s before t.
const std::vector<Code>& AllCodes();
bool IsArrangement(const Code& code);
// The arrangement's place in that order, -1 for none.
int IndexOf(const Code& code);

constexpr int kZoneCount = 10;
struct ArrowZone {
  // Block-relative rectangle; right and bottom exclusive.
  int left, top, right, bottom;
  // New positions 1 to 4 take the old shapes from these positions.
  int source[4];
};
// Zones 1 to 10 at index 0 to 9.
extern const ArrowZone kZones[kZoneCount];

// What a click on zone (1 to 10) makes of an arrangement.
Code ApplyZone(const Code& code, int zone);
// The same for arrangements given by their place in the order.
int ApplyZone(int arrangement, int zone);

// A click falls in a block whose rectangle holds it, its right and bottom
// edges included; the blocks are asked in their order.
bool InBlock(int left, int top, int right, int bottom, int x, int y);

// The zone (1 to 10) a block-relative point falls in, 0 for none. Each zone
// answers two pixels before its rectangle and one after it; where the widened
// centre zones overlap, they are asked in the order 7, 10, 8, 9.
int ZoneAt(int x, int y);

// The shortest list of zones (1 to 8; 9 and 10 repeat 8 and 7) that brings
// `from` to `to` with no arrangement on the way, other than `to` itself, in
// `avoid`. nullopt when every way is blocked; empty when from is to.
std::optional<std::vector<int>> ShortestMoves(const Code& from, const Code& to, const std::set<Code>& avoid);

// One click of a plan: block index and zone.
struct PlannedClick {
  int block;
  int zone;
};
// Clicks that bring every block in play (1 to 11 whose `inPlay` entry is
// true; codes[0] is the master's) to the master's arrangement without a
// collision, the block with the shortest free way first. nullopt when some
// block has none.
std::optional<std::vector<PlannedClick>> PlanMatchAll(std::vector<Code> codes, std::vector<bool> inPlay);

// ---- the scores ----

constexpr int kScaleSize = 90;
// A block's click counter stops at ten.
constexpr int kMostClicksCounted = 10;
// Entry n of the points scale: ten times C(n + 3, 3).
int ScaleEntry(int n);

constexpr int kNormal = 0, kLost = 1, kMatched = 2;
struct Tally {
  bool boardDone;   // no block but the master is still normal
  int matchCount;   // the master and every matched block
  int clickCost;    // each block clicked n > 0 times costs scale entry n - 1
  int matchPoints;  // scale entry matchCount - 1
};
// Over the twelve blocks' states and click counts, block 0 the master.
Tally TallyOf(const int (&state)[12], const int (&clicks)[12]);

// The Bonus of a finished board: with every block matched and the panel drawn
// with its Bonus, the scale entry at the Bonus index (none below 0, the last
// beyond the scale); else nothing.
int Bonus(bool withBonus, int matchCount, int bonusIndex);

// Match Score plus Bonus less Click Cost, in 32-bit signed arithmetic.
std::int32_t NetScore(int matchPoints, int clickCost, int bonus);

// The recap's average: (sum + 4) / 5, truncated toward zero.
std::int32_t Average(const int (&scores)[5]);

}  // namespace rules_model
