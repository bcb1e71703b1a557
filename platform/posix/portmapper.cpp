// The portmapper calls through the distribution's RPC library (libtirpc),
// with its standard timeouts.

#include "platform/portmapper.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <rpc/pmap_clnt.h>
#include <rpc/rpc.h>

namespace platform {

std::uint16_t PortmapperGetPort(std::uint32_t hostAddress, std::uint32_t program, std::uint32_t version,
                                int protocol) {
  sockaddr_in host{};
  host.sin_family = AF_INET;
  host.sin_addr.s_addr = hostAddress;
  const u_short port = ::pmap_getport(&host, program, version, static_cast<u_int>(protocol));
  return htons(port);
}

bool PortmapperSet(std::uint32_t program, std::uint32_t version, int protocol, std::uint16_t port) {
  return ::pmap_set(program, version, protocol, ntohs(port)) != 0;
}

bool PortmapperUnset(std::uint32_t program, std::uint32_t version) { return ::pmap_unset(program, version) != 0; }

}  // namespace platform
