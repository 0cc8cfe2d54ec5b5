// The moves a player can make on a block, from the tests' own model of the
// rules, and where on a block the player clicks for each arrow.
#pragma once

#include "tests/e2e/driver/image.h"
#include "tests/support/rules_model.h"

namespace e2e {

using rules_model::AllCodes;
using rules_model::ApplyZone;
using rules_model::Code;
using rules_model::IsArrangement;
using rules_model::PlanMatchAll;
using rules_model::PlannedClick;
using rules_model::ShortestMoves;
using ArrowZone = rules_model::ArrowZone;
constexpr int kArrowZoneCount = rules_model::kZoneCount;
inline constexpr const ArrowZone (&kArrowZones)[kArrowZoneCount] = rules_model::kZones;

// A block-relative point that only zone `zone` (1 to 10) takes, clear of the
// tolerance band and of the shared centre pixels.
Point ZoneClickPoint(int zone);

}  // namespace e2e
