// Calendar time in whole seconds and spans of seconds, as the game clock uses them.
#pragma once

#include <ctime>
#include <string>

class CTimeSpan {
 public:
  CTimeSpan() = default;
  CTimeSpan(long seconds) : m_seconds(seconds) {}  // NOLINT: spans convert from seconds
  long GetTotalSeconds() const { return m_seconds; }
  // Formats with the conversions "%M" (minutes of the hour) and "%S" (seconds
  // of the minute), each two digits; other characters are copied.
  std::string Format(const char* format) const;

 private:
  long m_seconds = 0;
};

class CTime {
 public:
  CTime() = default;
  explicit CTime(std::time_t t) : m_time(t) {}
  std::time_t GetTime() const { return m_time; }
  // strftime in local time; empty when the result does not fit 128 characters.
  std::string Format(const char* format) const;


 private:
  std::time_t m_time = 0;
};
