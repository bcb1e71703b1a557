#pragma once
// A system look-up that tests may replace: while a test has set a function of
// its own, callers ask it instead of the system.

#include <utility>

#include "platform/critical_section.h"

namespace platform {

template <class Function>
class TestOverride {
 public:
  // The test's function, or an empty one when the system is to be asked.
  Function Get() EXCLUDES(mutex_) {
    ScopedLock lock(mutex_);
    return function_;
  }
  // An empty function restores the system's.
  void Set(Function function) EXCLUDES(mutex_) {
    ScopedLock lock(mutex_);
    function_ = std::move(function);
  }

 private:
  CriticalSection mutex_;
  Function function_ GUARDED_BY(mutex_);
};

}  // namespace platform
