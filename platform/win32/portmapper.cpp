#include "platform/portmapper.h"

#include "common/byte_order.h"
#include "platform/win32/portmapper_call.h"

namespace platform {

namespace {

constexpr std::uint32_t kLoopback = common::HostToNetwork32(0x7F000001);  // 127.0.0.1

std::uint16_t PortmapperPortInNetworkOrder() { return common::HostToNetwork16(kPortmapperPort); }

}  // namespace

std::uint16_t PortmapperGetPort(std::uint32_t hostAddress, std::uint32_t program, std::uint32_t version,
                                int protocol) {
  const PortmapperMapping wanted{program, version, static_cast<std::uint32_t>(protocol), 0};
  const std::optional<std::uint32_t> port = CallPortmapper(hostAddress, PortmapperPortInNetworkOrder(),
                                                           PortmapperProcedure::kGetPort, wanted, false);
  if (!port || *port > 0xFFFF) return 0;
  return common::HostToNetwork16(static_cast<std::uint16_t>(*port));
}

bool PortmapperSet(std::uint32_t program, std::uint32_t version, int protocol, std::uint16_t port) {
  const PortmapperMapping mapping{program, version, static_cast<std::uint32_t>(protocol),
                                  common::NetworkToHost16(port)};
  return CallPortmapper(kLoopback, PortmapperPortInNetworkOrder(), PortmapperProcedure::kSet, mapping, true)
             .value_or(0) != 0;
}

bool PortmapperUnset(std::uint32_t program, std::uint32_t version) {
  const PortmapperMapping mapping{program, version, 0, 0};
  return CallPortmapper(kLoopback, PortmapperPortInNetworkOrder(), PortmapperProcedure::kUnset, mapping, true)
             .value_or(0) != 0;
}

}  // namespace platform
