#include "platform/cpu_time.h"

#include <gtest/gtest.h>

#include <time.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/child_process.h"
#include "platform/thread.h"
#include "tests/platform/child_helper_path.h"

namespace platform {
namespace {

// Keeps the calling thread busy until it has used the CPU seconds given, as
// its own clock counts them, however loaded the machine is.
void Spin(double seconds) {
  timespec used{};
  do {
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
  } while (static_cast<double>(used.tv_sec) + used.tv_nsec / 1e9 < seconds);
}

double SecondsOfThread(int threadId) {
  for (const ThreadCpuTime& thread : ThreadCpuTimes()) {
    if (thread.threadId == threadId) return thread.seconds;
  }
  return -1;
}

TEST(CpuTimeTest, ThreadsAndProcessesAreCountedApart) {
  const double processBefore = ProcessCpuSeconds();
  const std::size_t threadsBefore = ThreadCpuTimes().size();
  ASSERT_GE(threadsBefore, 1u);

  // A spinning thread shows up as a thread of its own, with its own time.
  std::atomic<int> busyId{0};
  std::atomic<bool> spun{false};
  std::atomic<bool> release{false};
  std::thread busy([&] {
    busyId = static_cast<int>(CurrentThreadId());
    Spin(0.3);
    spun = true;
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  while (!spun) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  // (at least one: a sanitizer's runtime may start threads of its own)
  EXPECT_GE(ThreadCpuTimes().size(), threadsBefore + 1);
  EXPECT_GE(SecondsOfThread(busyId), 0.25);  // kernel ticks may lag a little
  EXPECT_GE(ProcessCpuSeconds() - processBefore, 0.25);
  release = true;
  busy.join();

  // Another process: counted while it lives, nothing once it is gone.
  ChildProcess child;
  ASSERT_TRUE(child.Start(ChildHelperPath(), {"sleep", "5000"}));
  const auto childSeconds = ProcessCpuSeconds(child.ProcessId());
  ASSERT_TRUE(childSeconds.has_value());
  EXPECT_LT(*childSeconds, 1.0);
  const int gone = child.ProcessId();
  child.Stop();
  EXPECT_FALSE(ProcessCpuSeconds(gone).has_value());
  EXPECT_FALSE(ProcessCpuSeconds(0).has_value());
}

}  // namespace
}  // namespace platform
