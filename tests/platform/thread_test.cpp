#include "platform/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "platform/event.h"
#include "messages/window.h"

namespace platform {
namespace {

TEST(ThreadTest, KeepsTheBodysReturnValueAsExitCode) {
  Thread thread;
  ASSERT_TRUE(thread.Start([] { return 747u; }));
  EXPECT_FALSE(thread.Start([] { return 1u; })) << "a Thread holds one thread";
  ASSERT_TRUE(thread.Wait(5000));
  EXPECT_EQ(thread.ExitCode(), 747u);
  thread.Join();
  EXPECT_NE(thread.Id(), CurrentThreadId());
}

TEST(ThreadTest, ExitCurrentThreadEndsWithItsCodeAndRunsDestructors) {
  std::atomic<bool> destroyed{false};
  std::atomic<bool> reachedAfterExit{false};
  struct Marker {
    std::atomic<bool>* flag;
    ~Marker() { *flag = true; }
  };
  Thread thread;
  ASSERT_TRUE(thread.Start([&]() -> std::uint32_t {
    Marker marker{&destroyed};
    ExitCurrentThread(777);
    reachedAfterExit = true;
    return 1;
  }));
  thread.Join();
  EXPECT_EQ(thread.ExitCode(), 777u);
  EXPECT_TRUE(destroyed);
  EXPECT_FALSE(reachedAfterExit);
}

TEST(ThreadTest, WaitTimesOutWhileRunningAndReportsNoExitCode) {
  Event release(true, false);
  Thread thread;
  ASSERT_TRUE(thread.Start([&] {
    release.Wait();
    return 5u;
  }));
  EXPECT_FALSE(thread.Wait(20));
  EXPECT_FALSE(thread.ExitCode().has_value());
  Event* finished = thread.FinishedEvent();
  EXPECT_EQ(WaitForAny(std::span<Event* const>(&finished, 1), 0), kWaitTimeout);
  release.Set();
  EXPECT_EQ(WaitForAny(std::span<Event* const>(&finished, 1), 5000), 0);
  EXPECT_EQ(thread.ExitCode(), 5u);
  thread.Join();
}

TEST(ThreadTest, ThreadIdsAreDistinctAndStable) {
  const ThreadId mine = CurrentThreadId();
  EXPECT_NE(mine, 0u);
  EXPECT_EQ(mine, CurrentThreadId());
  std::atomic<ThreadId> seen{0};
  Thread thread;
  ASSERT_TRUE(thread.Start([&] {
    seen = CurrentThreadId();
    return 0u;
  }));
  thread.Join();
  EXPECT_EQ(seen.load(), thread.Id());
  EXPECT_NE(seen.load(), mine);
}

TEST(ThreadTest, AThreadsWindowsAreDestroyedWhenItEnds) {
  std::atomic<int> destroyed{0};
  std::atomic<WindowHandle> window{nullptr};
  Thread owner;
  ASSERT_TRUE(owner.Start([&]() -> std::uint32_t {
    window = CreateHiddenWindow("owned", 0, [&](WindowHandle, MessageId id, WParam, LParam) {
      if (id == WM_DESTROY) ++destroyed;
      return LResult{0};
    });
    ExitCurrentThread(3);
  }));
  owner.Join();
  EXPECT_EQ(destroyed, 1);
  EXPECT_FALSE(IsWindow(window));
}

TEST(ThreadTest, TheMainThreadsExitWaitsForForegroundThreadsOnly) {
  // A child process plays the program: its main thread ends while a worker
  // still runs; a background thread that never ends must not keep it alive.
  EXPECT_EXIT(
      {
        Event never(true, false);
        Thread background;
        background.Start([&] { return never.Wait() ? 0u : 1u; }, /*background=*/true);
        Thread worker;
        worker.Start([] {
          Event pause(false, false);
          pause.Wait(100);
          std::fputs("worker done\n", stderr);
          return 0u;
        });
        ExitCurrentThread(797);
      },
      ::testing::ExitedWithCode(0), "worker done");
}

}  // namespace
}  // namespace platform
