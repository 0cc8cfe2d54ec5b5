#include "tests/e2e/driver/solver.h"

#include <algorithm>
#include <deque>
#include <map>

namespace e2e {

const ArrowZone kArrowZones[kArrowZoneCount] = {
    {66, 2, 95, 15, {2, 1, 4, 3}},      // purple arrow at the top: halves left and right change places
    {2, 66, 15, 95, {4, 3, 2, 1}},      // purple arrow at the left: halves top and bottom change places
    {68, 35, 93, 46, {2, 1, 3, 4}},     // white arrow between the top shapes
    {68, 115, 93, 126, {1, 2, 4, 3}},   // white arrow between the bottom shapes
    {35, 68, 46, 93, {4, 2, 3, 1}},     // white arrow between the left shapes
    {115, 68, 126, 93, {1, 3, 2, 4}},   // white arrow between the right shapes
    {66, 66, 80, 80, {3, 2, 1, 4}},     // centre X, towards the top left
    {81, 66, 95, 80, {1, 4, 3, 2}},     // centre X, towards the top right
    {66, 81, 80, 95, {1, 4, 3, 2}},     // centre X, towards the bottom left
    {81, 81, 95, 95, {3, 2, 1, 4}},     // centre X, towards the bottom right
};

const std::vector<Code>& AllCodes() {
  static const std::vector<Code> codes = [] {
    // Letters in the game's ranking, so that the permutations come out in its order.
    std::string letters = "cxst";
    auto rank = [](char c) { return std::string("cxst").find(c); };
    std::vector<Code> all;
    std::sort(letters.begin(), letters.end(), [&](char a, char b) { return rank(a) < rank(b); });
    do {
      all.push_back(letters);
    } while (std::next_permutation(letters.begin(), letters.end(), [&](char a, char b) { return rank(a) < rank(b); }));
    return all;
  }();
  return codes;
}

bool IsArrangement(const Code& code) {
  const auto& all = AllCodes();
  return std::find(all.begin(), all.end(), code) != all.end();
}

Code ApplyZone(const Code& code, int zone) {
  const ArrowZone& z = kArrowZones[zone - 1];
  Code moved(4, '?');
  for (int k = 0; k < 4; ++k) moved[static_cast<std::size_t>(k)] = code[static_cast<std::size_t>(z.source[k] - 1)];
  return moved;
}

Point ZoneClickPoint(int zone) {
  const ArrowZone& z = kArrowZones[zone - 1];
  return Point{(z.left + z.right) / 2, (z.top + z.bottom) / 2};
}

std::optional<std::vector<int>> ShortestMoves(const Code& from, const Code& to, const std::set<Code>& avoid) {
  if (from == to) return std::vector<int>{};
  // Zones 9 and 10 do what 8 and 7 do.
  constexpr int kDistinctZones = 8;
  std::map<Code, std::pair<Code, int>> cameFrom;  // code -> (previous code, zone)
  std::deque<Code> queue{from};
  cameFrom[from] = {Code(), 0};
  while (!queue.empty()) {
    const Code current = queue.front();
    queue.pop_front();
    for (int zone = 1; zone <= kDistinctZones; ++zone) {
      const Code next = ApplyZone(current, zone);
      if (cameFrom.count(next)) continue;
      if (next != to && avoid.count(next)) continue;
      cameFrom[next] = {current, zone};
      if (next == to) {
        std::vector<int> path;
        for (Code c = to; c != from; c = cameFrom[c].first) path.push_back(cameFrom[c].second);
        std::reverse(path.begin(), path.end());
        return path;
      }
      queue.push_back(next);
    }
  }
  return std::nullopt;
}

std::optional<std::vector<PlannedClick>> PlanMatchAll(std::vector<Code> codes, std::vector<bool> inPlay) {
  std::vector<PlannedClick> plan;
  const Code& master = codes[0];
  for (;;) {
    int bestBlock = -1;
    std::vector<int> bestPath;
    bool anyLeft = false;
    for (int k = 1; k < static_cast<int>(codes.size()); ++k) {
      if (!inPlay[static_cast<std::size_t>(k)]) continue;
      anyLeft = true;
      std::set<Code> others;
      for (int j = 1; j < static_cast<int>(codes.size()); ++j)
        if (j != k && inPlay[static_cast<std::size_t>(j)]) others.insert(codes[static_cast<std::size_t>(j)]);
      const auto path = ShortestMoves(codes[static_cast<std::size_t>(k)], master, others);
      if (path && (bestBlock < 0 || path->size() < bestPath.size())) {
        bestBlock = k;
        bestPath = *path;
      }
    }
    if (!anyLeft) return plan;
    if (bestBlock < 0) return std::nullopt;
    for (int zone : bestPath) plan.push_back(PlannedClick{bestBlock, zone});
    codes[static_cast<std::size_t>(bestBlock)] = master;
    inPlay[static_cast<std::size_t>(bestBlock)] = false;
  }
}

}  // namespace e2e
