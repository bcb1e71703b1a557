#pragma once
// Critical sections: plain and recursive locks with scoped guards, and a
// condition variable to wait on while a critical section is held. They carry
// the lock annotations of thread_annotations.h, so that clang checks that the
// data a lock guards is touched only with it held.

#include <condition_variable>
#include <mutex>

#include "platform/thread_annotations.h"

namespace platform {

// A standard mutex that the analysis knows as a lock.
template <class Mutex>
class CAPABILITY("mutex") BasicCriticalSection {
 public:
  void lock() ACQUIRE() { mutex_.lock(); }
  void unlock() RELEASE() { mutex_.unlock(); }

 private:
  Mutex mutex_;
};

using CriticalSection = BasicCriticalSection<std::mutex>;
using RecursiveCriticalSection = BasicCriticalSection<std::recursive_mutex>;

// Holds the lock from construction to the end of the scope.
template <class Lockable>
class [[nodiscard]] SCOPED_CAPABILITY ScopedLock {
 public:
  explicit ScopedLock(Lockable& lockable) ACQUIRE(lockable) : lockable_(lockable) { lockable_.lock(); }
  ~ScopedLock() RELEASE() { lockable_.unlock(); }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;

 private:
  Lockable& lockable_;
};

// Wakes the threads that wait for a change of the data a critical section
// guards. A waiter holds the section; it is released while the waiter sleeps
// and held again when the waiter wakes.
class ConditionVariable {
 public:
  void Wait(CriticalSection& section) REQUIRES(section) { condition_.wait(section); }
  void NotifyOne() { condition_.notify_one(); }
  void NotifyAll() { condition_.notify_all(); }

 private:
  std::condition_variable_any condition_;
};

}  // namespace platform
