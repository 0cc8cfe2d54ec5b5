// The moves a player can make on a block, written down independently of the
// game's own code, and a search for the shortest run of arrow clicks that turns
// one arrangement into another without stepping on an arrangement held by a
// block still in play (which would lose both blocks).
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/driver/image.h"

namespace e2e {

// An arrangement code: four letters over c (circle), x (cross), s (square),
// t (triangle), letter k the shape at position k (clockwise from top left).
using Code = std::string;

struct ArrowZone {
  // Block-relative rectangle; right and bottom exclusive.
  int left, top, right, bottom;
  // New positions 1..4 take the old shapes from these positions.
  int source[4];
};

constexpr int kArrowZoneCount = 10;
// Zones 1 to 10 at index 0 to 9.
extern const ArrowZone kArrowZones[kArrowZoneCount];

// The 24 codes in the order of the game's table (c < x < s < t).
const std::vector<Code>& AllCodes();
bool IsArrangement(const Code& code);

// What a click on zone `zone` (1 to 10) makes of `code`.
Code ApplyZone(const Code& code, int zone);

// A block-relative point that only zone `zone` (1 to 10) takes, clear of the
// tolerance band and of the shared centre pixels.
Point ZoneClickPoint(int zone);

// The shortest list of zones (1 to 8; 9 and 10 repeat 8 and 7) that brings
// `from` to `to`, where no arrangement after a click other than the last is in
// `avoid`, and the last is `to`. nullopt when every way is blocked. An empty
// list when from == to.
std::optional<std::vector<int>> ShortestMoves(const Code& from, const Code& to, const std::set<Code>& avoid);

// One click of a plan: block index and zone.
struct PlannedClick {
  int block;
  int zone;
};

// Clicks that bring every block in play (block 1 to 11 whose `inPlay` entry is
// true; codes[0] is the master's) to the master's arrangement with no
// collision on the way, solving the block with the shortest free path first.
// nullopt when some block has no free path.
std::optional<std::vector<PlannedClick>> PlanMatchAll(std::vector<Code> codes, std::vector<bool> inPlay);

}  // namespace e2e
