// The 105-second game clock and its text.
#include "game/clock.h"

#include <gtest/gtest.h>

namespace quadrilex {
namespace {

constexpr std::time_t kStart = 1700000000;

TEST(GameClock, TimeIsUpAfterOneHundredFiveSeconds) {
  EXPECT_FALSE(IsTimeUp(kStart, kStart));
  EXPECT_FALSE(IsTimeUp(kStart + 104, kStart));
  EXPECT_TRUE(IsTimeUp(kStart + 105, kStart));
  EXPECT_TRUE(IsTimeUp(kStart + 106, kStart));
  EXPECT_TRUE(IsTimeUp(kStart + 5000, kStart));
}

TEST(GameClock, SecondsLeft) {
  EXPECT_EQ(SecondsLeft(kStart, kStart), 105);
  EXPECT_EQ(SecondsLeft(kStart + 104, kStart), 1);
  EXPECT_EQ(SecondsLeft(kStart + 105, kStart), 0);
  EXPECT_EQ(SecondsLeft(kStart + 45, kStart), 60);
}

TEST(GameClock, SpanFields) {
  EXPECT_EQ(SpanMinutes(105), 1);
  EXPECT_EQ(SpanSeconds(105), 45);
  // Minutes are those of the hour: an hour and one minute shows one minute.
  EXPECT_EQ(SpanMinutes(3661), 1);
  EXPECT_EQ(SpanSeconds(3661), 1);
  EXPECT_EQ(SpanMinutes(3599), 59);
}

}  // namespace
}  // namespace quadrilex
