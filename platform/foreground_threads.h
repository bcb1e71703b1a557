#pragma once
// The count of running threads that keep the process alive after its main
// thread has ended (every thread started through Thread but the background
// ones).

#include "platform/critical_section.h"

namespace platform {

class ForegroundThreads {
 public:
  void Add() EXCLUDES(mutex_);
  void Remove() EXCLUDES(mutex_);
  void WaitUntilNoneRuns() EXCLUDES(mutex_);

 private:
  CriticalSection mutex_;
  ConditionVariable allEnded_;
  int running_ GUARDED_BY(mutex_) = 0;
};

// The process's one count, usable until the process ends.
ForegroundThreads& TheForegroundThreads();

}  // namespace platform
