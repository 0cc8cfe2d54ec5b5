// The game clock: 105 seconds of calendar time in whole seconds, and the
// fields of its "%M:%S" text.
#pragma once

#include <ctime>

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

}  // namespace quadrilex
