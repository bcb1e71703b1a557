#pragma once
// The ONC RPC portmapper: asking a host which port a program listens on, and
// registering a program with the local portmapper (rpcbind). On Linux the
// calls go through the distribution's RPC library (libtirpc); Windows has
// none, and a client of our own makes them (win32/portmapper_call.h).

#include <cstdint>

namespace platform {

constexpr int kProtocolTcp = 6;
constexpr int kProtocolUdp = 17;

// One GETPORT query (portmapper version 2 over UDP port 111 of the host, null
// authentication, the RPC library's standard timeouts: sent again after 5, 10
// and 20 seconds, given up after 60; at once when the port is unreachable).
// The port in network byte order, or 0 when the query fails or the program is
// not registered. A portmapper may answer with another version's port.
std::uint16_t PortmapperGetPort(std::uint32_t hostAddress, std::uint32_t program, std::uint32_t version,
                                int protocol);

// Registers program/version/protocol at port (network byte order) with the
// local portmapper, from a reserved port where the system allows it (rpcbind
// takes registrations only from there); false when it refuses or does not
// answer.
bool PortmapperSet(std::uint32_t program, std::uint32_t version, int protocol, std::uint16_t port);

// Removes every registration of program/version from the local portmapper.
bool PortmapperUnset(std::uint32_t program, std::uint32_t version);

}  // namespace platform
