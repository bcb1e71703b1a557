#include "service/stop_ends_waits_clock.h"

#include <algorithm>

#include "platform/clock.h"

std::int64_t StopEndsWaitsClock::NowMilliseconds() { return platform::MonotonicMilliseconds() + skippedMs_; }

void StopEndsWaitsClock::Sleep(std::int64_t milliseconds) {
  milliseconds = std::clamp<std::int64_t>(milliseconds, 0, platform::kInfinite - 1);
  if (stopEvent_.Wait(static_cast<std::uint32_t>(milliseconds))) skippedMs_ += milliseconds;
}
