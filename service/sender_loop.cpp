#include "service/sender_loop.h"

#include <algorithm>
#include <array>

namespace {

// Until a held event may go, or without end when none is held.
std::uint32_t WaitLimit(const EventQueue& queue) {
  const std::optional<std::int64_t> release = queue.UntilRelease();
  if (!release) return platform::kInfinite;
  return static_cast<std::uint32_t>(std::clamp<std::int64_t>(*release, 0, platform::kInfinite - 1));
}

}  // namespace

std::uint32_t RunSenderLoop(EventQueue& queue, platform::Event& stopEvent,
                            const std::function<void(const std::string&)>& send) {
  const std::array<platform::Event*, 2> wakeUps = {&queue.QueueEvent(), &stopEvent};
  for (;;) {
    const int signalled = platform::WaitForAny(wakeUps, WaitLimit(queue));
    if (signalled == 1 || signalled == platform::kWaitFailed) return kSenderThreadExitCode;
    queue.Drain(send);
  }
}
