// The clock's text: a span of seconds as "%M:%S".
#include "platform/time.h"

#include <gtest/gtest.h>

namespace {

std::string ClockText(long seconds) { return CTimeSpan(seconds).Format("%M:%S"); }

TEST(TimeSpanFormat, GivesTheMinutesOfTheHourAndTheSecondsOfTheMinute) {
  EXPECT_EQ(ClockText(105), "01:45");
  EXPECT_EQ(ClockText(60), "01:00");
  EXPECT_EQ(ClockText(59), "00:59");
  EXPECT_EQ(ClockText(10), "00:10");
  EXPECT_EQ(ClockText(1), "00:01");
  EXPECT_EQ(ClockText(0), "00:00");
  EXPECT_EQ(ClockText(3600 + 61), "01:01");
  EXPECT_EQ(ClockText(3600), "00:00");
  EXPECT_EQ(CTimeSpan(105).Format("left %M min %S s"), "left 01 min 45 s");
}

}  // namespace
