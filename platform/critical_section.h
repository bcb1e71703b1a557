#pragma once
// Critical sections: plain and recursive locks with scoped guards.

#include <mutex>

namespace platform {

using CriticalSection = std::mutex;
using RecursiveCriticalSection = std::recursive_mutex;

// Holds the lock from construction to the end of the scope. A class rather
// than an alias of std::lock_guard, so that every compiler deduces Lockable
// from the argument.
template <class Lockable>
class [[nodiscard]] ScopedLock : public std::lock_guard<Lockable> {
 public:
  explicit ScopedLock(Lockable& lockable) : std::lock_guard<Lockable>(lockable) {}
};

}  // namespace platform
