#include "platform/process_footprint.h"

#include <windows.h>
#include <psapi.h>

namespace platform {

std::optional<ProcessFootprint> CurrentProcessFootprint() {
  PROCESS_MEMORY_COUNTERS memory{};
  DWORD handles = 0;
  HANDLE self = GetCurrentProcess();
  if (!K32GetProcessMemoryInfo(self, &memory, sizeof memory) || !GetProcessHandleCount(self, &handles)) {
    return std::nullopt;
  }
  return ProcessFootprint{memory.PeakWorkingSetSize, handles};
}

}  // namespace platform
