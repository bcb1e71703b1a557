#pragma once
// The IPv4 socket address that the socket sources of posix/ and win32/ hand to
// their system's calls. Only those sources include it: it names the system's
// own socket types.

#include <cstdint>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <netinet/in.h>
#endif

namespace platform {

// address and port are in network byte order.
inline sockaddr_in MakeSocketAddress(std::uint32_t address, std::uint16_t port) {
  sockaddr_in socketAddress{};
  socketAddress.sin_family = AF_INET;
  socketAddress.sin_addr.s_addr = address;
  socketAddress.sin_port = port;
  return socketAddress;
}

}  // namespace platform
