#include "platform/spooler_ports.h"

#include "platform/critical_section.h"
#include "platform/spooler_port_query.h"

namespace platform {
namespace {

constexpr std::size_t kPortEntrySize = 4;

CriticalSection testPortsMutex;
bool useTestPorts GUARDED_BY(testPortsMutex) = false;
std::optional<std::vector<std::string>> testPorts GUARDED_BY(testPortsMutex);

bool FitsPortBuffer(const std::vector<std::string>& ports) {
  std::size_t needed = 0;
  for (const std::string& port : ports) needed += kPortEntrySize + port.size() + 1;
  return needed <= kSpoolerPortBufferSize;
}

}  // namespace

std::optional<std::vector<std::string>> EnumSpoolerPorts() {
  std::optional<std::vector<std::string>> ports;
  bool fixedList = false;
  {
    ScopedLock lock(testPortsMutex);
    fixedList = useTestPorts;
    if (fixedList) ports = testPorts;
  }
  if (!fixedList) ports = QuerySpoolerPorts();
  if (ports && !FitsPortBuffer(*ports)) return std::nullopt;
  return ports;
}

void SetSpoolerPortsForTesting(std::optional<std::vector<std::string>> ports) {
  ScopedLock lock(testPortsMutex);
  useTestPorts = true;
  testPorts = std::move(ports);
}

void ClearSpoolerPortsForTesting() {
  ScopedLock lock(testPortsMutex);
  useTestPorts = false;
  testPorts.reset();
}

}  // namespace platform
