#include "platform/service_manager.h"

namespace platform {

std::string ServiceStateName(std::uint32_t state) {
  switch (state) {
    case SERVICE_STOPPED: return "Stopped";
    case SERVICE_START_PENDING: return "Start pending";
    case SERVICE_STOP_PENDING: return "Stop pending";
    case SERVICE_RUNNING: return "Running";
    case SERVICE_CONTINUE_PENDING: return "Continue pending";
    case SERVICE_PAUSE_PENDING: return "Pause pending";
    case SERVICE_PAUSED: return "Paused";
    default: return "State " + std::to_string(state);
  }
}

}  // namespace platform
