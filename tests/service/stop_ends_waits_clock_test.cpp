#include "service/stop_ends_waits_clock.h"

#include <gtest/gtest.h>

#include "platform/clock.h"

TEST(StopEndsWaitsClockTest, SleepsUntilTheStopAndThenPassesNoTime) {
  platform::Event stopEvent(true, false);
  StopEndsWaitsClock clock(stopEvent);
  const std::int64_t before = platform::MonotonicMilliseconds();
  clock.Sleep(20);
  EXPECT_GE(platform::MonotonicMilliseconds() - before, 19);
  EXPECT_LE(clock.NowMilliseconds() - platform::MonotonicMilliseconds(), 0);  // the real time, nothing skipped

  stopEvent.Set();
  const std::int64_t realStart = platform::MonotonicMilliseconds();
  const std::int64_t stopped = clock.NowMilliseconds();
  // The retry wait's loop: a two-minute wait in steps of five seconds.
  while (clock.NowMilliseconds() - stopped < 120000) clock.Sleep(5000);
  EXPECT_LT(platform::MonotonicMilliseconds() - realStart, 5000);
  clock.Sleep(60000);
  EXPECT_GE(clock.NowMilliseconds() - stopped, 180000);
}
