#pragma once
// What the SNMP benchmarks observe of the engine: the WM_VX_ALERTS it posts
// to a hidden window of the calling thread, and the CPU time of the threads
// it started.

#include <cstdint>
#include <set>
#include <vector>

#include "messages/window.h"

namespace snmp_bench {

class Notifications {
 public:
  Notifications();
  ~Notifications();
  Notifications(const Notifications&) = delete;
  Notifications& operator=(const Notifications&) = delete;
  platform::WindowHandle Handle() const { return window_; }

  struct Alert {
    std::uint16_t printer;
    std::uint32_t mask;
  };
  // The alerts posted since the last call.
  std::vector<Alert> Take();

 private:
  platform::WindowHandle window_ = nullptr;
  std::vector<Alert> alerts_;
};

// CPU seconds of the threads that were not there when this was made.
class EngineThreads {
 public:
  EngineThreads();
  double Seconds() const;

 private:
  std::set<int> before_;
};

}  // namespace snmp_bench
