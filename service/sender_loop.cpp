#include "service/sender_loop.h"

#include <array>

std::uint32_t RunSenderLoop(EventQueue& queue, platform::Event& stopEvent,
                            const std::function<void(const std::string&)>& send) {
  const std::array<platform::Event*, 2> wakeUps = {&queue.QueueEvent(), &stopEvent};
  for (;;) {
    const int signalled = platform::WaitForAny(wakeUps);
    if (signalled == 1 || signalled == platform::kWaitFailed) return kSenderThreadExitCode;
    queue.Drain(send);
  }
}
