#include "service/stop_ends_waits_clock.h"

#include <algorithm>

#include "platform/clock.h"

void StopEndsWaitsClock::Progress() {
  if (progress_ != nullptr) ++*progress_;
}

std::int64_t StopEndsWaitsClock::NowMilliseconds() {
  Progress();
  return platform::MonotonicMilliseconds() + skippedMs_;
}

void StopEndsWaitsClock::Sleep(std::int64_t milliseconds) {
  Progress();
  milliseconds = std::clamp<std::int64_t>(milliseconds, 0, platform::kInfinite - 1);
  if (stopEvent_.Wait(static_cast<std::uint32_t>(milliseconds))) skippedMs_ += milliseconds;
}
