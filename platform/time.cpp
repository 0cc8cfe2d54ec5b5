#include "platform/time.h"

#include <cstdio>

#include "game/clock.h"

std::string CTimeSpan::Format(const char* format) const {
  std::string out;
  for (const char* p = format; *p; ++p) {
    if (p[0] == '%' && (p[1] == 'M' || p[1] == 'S')) {
      const long value = p[1] == 'M' ? quadrilex::SpanMinutes(m_seconds) : quadrilex::SpanSeconds(m_seconds);
      char field[24];
      std::snprintf(field, sizeof field, "%02ld", value);
      out += field;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

std::string CTime::Format(const char* format) const {
  std::tm local{};
  const std::time_t t = m_time;
  if (localtime_r(&t, &local) == nullptr) return std::string();
  char buffer[128];
  const std::size_t n = std::strftime(buffer, sizeof buffer, format, &local);
  return n == 0 ? std::string() : std::string(buffer, n);
}
