#include "platform/foreground_threads.h"

#include "platform/critical_section.h"

namespace platform {

void ForegroundThreads::Add() {
  ScopedLock lock(mutex_);
  ++running_;
}

void ForegroundThreads::Remove() {
  ScopedLock lock(mutex_);
  if (--running_ == 0) allEnded_.NotifyAll();
}

void ForegroundThreads::WaitUntilNoneRuns() {
  ScopedLock lock(mutex_);
  while (running_ != 0) allEnded_.Wait(mutex_);
}

ForegroundThreads& TheForegroundThreads() {
  static auto* threads = new ForegroundThreads;
  return *threads;
}

}  // namespace platform
