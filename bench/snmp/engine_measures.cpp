#include "bench/snmp/engine_measures.h"

#include <utility>

#include "bce/bce_messages.h"
#include "platform/cpu_time.h"

namespace snmp_bench {

Notifications::Notifications() {
  window_ = platform::CreateHiddenWindow("snmp bench", 0, [this](platform::WindowHandle, platform::MessageId id,
                                                                 platform::WParam printer, platform::LParam mask) {
    if (id == WM_VX_ALERTS) alerts_.push_back({static_cast<std::uint16_t>(printer), static_cast<std::uint32_t>(mask)});
    return platform::LResult{1};
  });
}

Notifications::~Notifications() { platform::DestroyWindow(window_); }

std::vector<Notifications::Alert> Notifications::Take() {
  platform::Message message;
  while (platform::PeekMessage(message)) platform::DispatchMessage(message);
  return std::exchange(alerts_, {});
}

EngineThreads::EngineThreads() {
  for (const auto& thread : platform::ThreadCpuTimes()) before_.insert(thread.threadId);
}

double EngineThreads::Seconds() const {
  double seconds = 0;
  for (const auto& thread : platform::ThreadCpuTimes()) {
    if (!before_.contains(thread.threadId)) seconds += thread.seconds;
  }
  return seconds;
}

}  // namespace snmp_bench
