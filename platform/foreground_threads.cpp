#include "platform/foreground_threads.h"

namespace platform {

void ForegroundThreads::Add() {
  std::lock_guard lock(mutex_);
  ++running_;
}

void ForegroundThreads::Remove() {
  std::lock_guard lock(mutex_);
  if (--running_ == 0) allEnded_.notify_all();
}

void ForegroundThreads::WaitUntilNoneRuns() {
  std::unique_lock lock(mutex_);
  allEnded_.wait(lock, [this] { return running_ == 0; });
}

ForegroundThreads& TheForegroundThreads() {
  static auto* threads = new ForegroundThreads;
  return *threads;
}

}  // namespace platform
