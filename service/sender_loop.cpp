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
                            const std::function<void(const std::string&)>& send,
                            std::atomic<std::uint64_t>* progress) {
  const std::array<platform::Event*, 2> wakeUps = {&queue.QueueEvent(), &stopEvent};
  for (;;) {
    if (progress != nullptr) ++*progress;
    const std::uint32_t limit = WaitLimit(queue);
    const int signalled = platform::WaitForAny(wakeUps, progress != nullptr ? std::min(limit, kSenderBeatMs) : limit);
    if (signalled == 1 || signalled == platform::kWaitFailed) return kSenderThreadExitCode;
    queue.Drain(send);
  }
}
