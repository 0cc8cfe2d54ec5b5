#include "game/clock.h"

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

}  // namespace quadrilex
