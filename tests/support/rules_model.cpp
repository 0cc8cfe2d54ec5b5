#include "tests/support/rules_model.h"

#include <algorithm>
#include <deque>
#include <map>

namespace rules_model {

const ArrowZone kZones[kZoneCount] = {
    {66, 2, 95, 15, {2, 1, 4, 3}},     // purple arrow at the top: the left and right halves change places
    {2, 66, 15, 95, {4, 3, 2, 1}},     // purple arrow at the left: the top and bottom halves change places
    {68, 35, 93, 46, {2, 1, 3, 4}},    // white arrow between the top shapes
    {68, 115, 93, 126, {1, 2, 4, 3}},  // white arrow between the bottom shapes
    {35, 68, 46, 93, {4, 2, 3, 1}},    // white arrow between the left shapes
    {115, 68, 126, 93, {1, 3, 2, 4}},  // white arrow between the right shapes
    {66, 66, 80, 80, {3, 2, 1, 4}},    // centre cross, towards the top left: positions 1 and 3
    {81, 66, 95, 80, {1, 4, 3, 2}},    // centre cross, towards the top right: positions 2 and 4
    {66, 81, 80, 95, {1, 4, 3, 2}},    // centre cross, towards the bottom left: positions 2 and 4
    {81, 81, 95, 95, {3, 2, 1, 4}},    // centre cross, towards the bottom right: positions 1 and 3
};

const std::vector<Code>& AllCodes() {
  static const std::vector<Code> codes = [] {
    const std::string order = "cxst";
    const auto before = [&](char a, char b) { return order.find(a) < order.find(b); };
    std::string letters = order;
    std::vector<Code> all;
    do {
      all.push_back(letters);
    } while (std::next_permutation(letters.begin(), letters.end(), before));
    return all;
  }();
  return codes;
}

int IndexOf(const Code& code) {
  const auto& all = AllCodes();
  const auto found = std::find(all.begin(), all.end(), code);
  return found == all.end() ? -1 : static_cast<int>(found - all.begin());
}

bool IsArrangement(const Code& code) { return IndexOf(code) >= 0; }

Code ApplyZone(const Code& code, int zone) {
  const ArrowZone& z = kZones[zone - 1];
  Code moved(4, '?');
  for (int k = 0; k < 4; ++k) moved[static_cast<std::size_t>(k)] = code[static_cast<std::size_t>(z.source[k] - 1)];
  return moved;
}

int ApplyZone(int arrangement, int zone) {
  return IndexOf(ApplyZone(AllCodes()[static_cast<std::size_t>(arrangement)], zone));
}

bool InBlock(int left, int top, int right, int bottom, int x, int y) {
  return left <= x && x <= right && top <= y && y <= bottom;
}

int ZoneAt(int x, int y) {
  for (const int zone : {1, 2, 3, 4, 5, 6, 7, 10, 8, 9}) {
    const ArrowZone& z = kZones[zone - 1];
    if (x >= z.left - 2 && x <= z.right + 1 && y >= z.top - 2 && y <= z.bottom + 1) return zone;
  }
  return 0;
}

std::optional<std::vector<int>> ShortestMoves(const Code& from, const Code& to, const std::set<Code>& avoid) {
  if (from == to) return std::vector<int>{};
  constexpr int kDistinctZones = 8;
  std::map<Code, std::pair<Code, int>> cameFrom;  // arrangement -> (the one before, the zone)
  std::deque<Code> queue{from};
  cameFrom[from] = {Code(), 0};
  while (!queue.empty()) {
    const Code current = queue.front();
    queue.pop_front();
    for (int zone = 1; zone <= kDistinctZones; ++zone) {
      const Code next = ApplyZone(current, zone);
      if (cameFrom.count(next) || (next != to && avoid.count(next))) continue;
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
  const Code master = codes[0];
  for (;;) {
    int bestBlock = -1;
    std::vector<int> bestPath;
    bool anyLeft = false;
    for (std::size_t k = 1; k < codes.size(); ++k) {
      if (!inPlay[k]) continue;
      anyLeft = true;
      std::set<Code> others;
      for (std::size_t j = 1; j < codes.size(); ++j)
        if (j != k && inPlay[j]) others.insert(codes[j]);
      const auto path = ShortestMoves(codes[k], master, others);
      if (path && (bestBlock < 0 || path->size() < bestPath.size())) {
        bestBlock = static_cast<int>(k);
        bestPath = *path;
      }
    }
    if (!anyLeft) return plan;
    if (bestBlock < 0) return std::nullopt;
    for (const int zone : bestPath) plan.push_back(PlannedClick{bestBlock, zone});
    codes[static_cast<std::size_t>(bestBlock)] = master;
    inPlay[static_cast<std::size_t>(bestBlock)] = false;
  }
}

int ScaleEntry(int n) {
  const std::int64_t k = n;
  return static_cast<int>(10 * (k + 1) * (k + 2) * (k + 3) / 6);
}

Tally TallyOf(const int (&state)[12], const int (&clicks)[12]) {
  Tally t{true, 1, 0, 0};
  for (int b = 1; b < 12; ++b) {
    if (state[b] == kNormal) t.boardDone = false;
    if (state[b] == kMatched) ++t.matchCount;
    if (clicks[b] > 0) t.clickCost += ScaleEntry(clicks[b] - 1);
  }
  t.matchPoints = ScaleEntry(t.matchCount - 1);
  return t;
}

int Bonus(bool withBonus, int matchCount, int bonusIndex) {
  if (!withBonus || matchCount < 12) return 0;
  return ScaleEntry(std::clamp(bonusIndex, 0, kScaleSize - 1));
}

std::int32_t NetScore(int matchPoints, int clickCost, int bonus) {
  const std::int64_t net = static_cast<std::int64_t>(matchPoints) + bonus - clickCost;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(net));
}

std::int32_t Average(const int (&scores)[5]) {
  std::int64_t sum = 0;
  for (const int s : scores) sum += s;
  return static_cast<std::int32_t>((sum + 4) / 5);
}

}  // namespace rules_model
