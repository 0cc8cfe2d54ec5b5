#include "tests/e2e/driver/solver.h"

namespace e2e {

Point ZoneClickPoint(int zone) {
  const ArrowZone& z = kArrowZones[zone - 1];
  return Point{(z.left + z.right) / 2, (z.top + z.bottom) / 2};
}

}  // namespace e2e
