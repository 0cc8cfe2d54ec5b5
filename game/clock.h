// The game clock: 105 seconds of calendar time in whole seconds, and its
// "%M:%S" text.
#pragma once

#include <ctime>
#include <string>

namespace quadrilex {

constexpr long kGameSeconds = 105;

// True once 105 seconds or more have passed since start.
bool IsTimeUp(std::time_t now, std::time_t start);

// start + 105 - now (may be negative or above 105 if the clock moves oddly;
// callers check IsTimeUp first).
long SecondsLeft(std::time_t now, std::time_t start);

// The minutes-of-the-hour and seconds-of-the-minute fields of a span.
long SpanMinutes(long seconds);
long SpanSeconds(long seconds);

// A span of seconds as "%M:%S": minutes = s/60 - (s/3600)*60 and seconds =
// s mod 60, each "%02d" (105 -> "01:45", 59 -> "00:59", 0 -> "00:00").
std::string FormatClock(long seconds);

}  // namespace quadrilex
