#pragma once
// A steady clock and sleeping, for waits that must not follow changes of the wall clock.

#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary fixed point; never goes back.
std::int64_t MonotonicMilliseconds();

void SleepMilliseconds(std::int64_t milliseconds);

}  // namespace platform
