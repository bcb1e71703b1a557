#pragma once
// The count of running threads that keep the process alive after its main
// thread has ended (every thread started through Thread but the background
// ones).

#include <condition_variable>
#include <mutex>

namespace platform {

class ForegroundThreads {
 public:
  void Add();
  void Remove();
  void WaitUntilNoneRuns();

 private:
  std::mutex mutex_;
  std::condition_variable allEnded_;
  int running_ = 0;
};

// The process's one count, usable until the process ends.
ForegroundThreads& TheForegroundThreads();

}  // namespace platform
