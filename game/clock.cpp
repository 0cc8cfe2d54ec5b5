#include "game/clock.h"

#include <cstdio>

namespace quadrilex {

bool IsTimeUp(std::time_t now, std::time_t start) {
  const std::time_t deadline = now - kGameSeconds;
  return deadline == start || deadline > start;
}

long SecondsLeft(std::time_t now, std::time_t start) {
  return static_cast<long>(start + kGameSeconds - now);
}

long SpanMinutes(long seconds) { return seconds / 60 - (seconds / 3600) * 60; }

long SpanSeconds(long seconds) { return seconds % 60; }

std::string FormatClock(long seconds) {
  const long minutes = SpanMinutes(seconds);
  const long secs = SpanSeconds(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%02ld:%02ld", minutes, secs);
  return text;
}

}  // namespace quadrilex
