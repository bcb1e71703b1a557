#include "platform/spooler_port_query.h"

#include <windows.h>
#include <winspool.h>

namespace platform {

// EnumPortsA at level 1 on this computer. The list may grow between the call
// that sizes the buffer and the one that fills it: then it is sized again.
std::optional<std::vector<std::string>> QuerySpoolerPorts() {
  std::vector<BYTE> buffer;
  DWORD needed = 0;
  DWORD count = 0;
  for (;;) {
    if (EnumPortsA(nullptr, 1, buffer.data(), static_cast<DWORD>(buffer.size()), &needed, &count)) break;
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= buffer.size()) return std::nullopt;
    buffer.resize(needed);
  }
  std::vector<std::string> ports;
  const auto* entries = reinterpret_cast<const PORT_INFO_1A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    if (entries[i].pName != nullptr) ports.emplace_back(entries[i].pName);
  }
  return ports;
}

}  // namespace platform
