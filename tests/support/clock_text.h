// The clock's text as a player reads it, for the tests' own judging: the
// minutes of the hour and the seconds of the minute of a span, two digits each
// (105 -> "01:45", 3661 -> "01:01").
#pragma once

#include <cstdio>
#include <string>

namespace test_support {

inline std::string FormatClock(long seconds) {
  char text[48];
  std::snprintf(text, sizeof text, "%02ld:%02ld", (seconds % 3600) / 60, seconds % 60);
  return text;
}

}  // namespace test_support
