#pragma once
// Critical sections: plain and recursive locks with scoped guards.

#include <mutex>

namespace platform {

using CriticalSection = std::mutex;
using RecursiveCriticalSection = std::recursive_mutex;

// Holds the lock from construction to the end of the scope.
template <class Lockable>
using ScopedLock = std::lock_guard<Lockable>;

}  // namespace platform
