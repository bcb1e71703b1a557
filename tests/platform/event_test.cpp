#include "platform/event.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <vector>

#include "platform/thread.h"

namespace platform {
namespace {

TEST(EventTest, ManualResetStaysSignalledUntilReset) {
  Event event(true, false);
  EXPECT_FALSE(event.Wait(0));
  event.Set();
  EXPECT_TRUE(event.Wait(0));
  EXPECT_TRUE(event.Wait(0));
  event.Reset();
  EXPECT_FALSE(event.Wait(0));
  Event initially(true, true);
  EXPECT_TRUE(initially.Wait(0));
}

TEST(EventTest, AutoResetIsConsumedByOneWaitAndSetTwiceIsOneSignal) {
  Event event(false, true);
  EXPECT_TRUE(event.Wait(0));
  EXPECT_FALSE(event.Wait(0));
  event.Set();
  event.Set();
  EXPECT_TRUE(event.Wait(0));
  EXPECT_FALSE(event.Wait(0));
}

TEST(EventTest, WaitTimesOutAfterRoughlyTheTimeGiven) {
  Event event(false, false);
  EXPECT_FALSE(event.Wait(30));
}

TEST(EventTest, WaitForAnyReturnsTheFirstSignalledInArrayOrder) {
  Event a(false, false), b(true, true), c(false, true);
  std::array<Event*, 3> events{&a, &b, &c};
  EXPECT_EQ(WaitForAny(events, 0), 1);
  EXPECT_EQ(WaitForAny(events, 0), 1) << "manual reset stays signalled";
  b.Reset();
  EXPECT_EQ(WaitForAny(events, 0), 2);
  EXPECT_EQ(WaitForAny(events, 0), kWaitTimeout) << "automatic reset was consumed";
  EXPECT_EQ(WaitForAny(std::span<Event* const>(), 0), kWaitFailed);
}

TEST(EventTest, AutoResetReleasesExactlyOneOfManyWaiters) {
  Event event(false, false);
  Event stop(true, false);
  std::atomic<int> released{0};
  std::vector<Thread> waiters(4);
  for (Thread& waiter : waiters) {
    ASSERT_TRUE(waiter.Start([&] {
      std::array<Event*, 2> both{&stop, &event};
      if (WaitForAny(both) == 1) ++released;
      return 0u;
    }));
  }
  event.Set();
  // Give every waiter the chance to see the one signal before stopping them.
  for (int i = 0; i < 100 && released == 0; ++i) stop.Wait(5);
  stop.Wait(50);
  stop.Set();
  for (Thread& waiter : waiters) waiter.Join();
  EXPECT_EQ(released, 1);
}

TEST(EventTest, SetFromAnotherThreadWakesAnInfiniteWait) {
  Event event(false, false);
  Thread setter;
  ASSERT_TRUE(setter.Start([&] {
    event.Set();
    return 0u;
  }));
  EXPECT_TRUE(event.Wait(kInfinite));
  setter.Join();
}

}  // namespace
}  // namespace platform
