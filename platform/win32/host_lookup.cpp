#include "platform/host_lookup.h"
#include "platform/system_reverse_lookup.h"

#include <winsock2.h>
#include <ws2tcpip.h>


#include "platform/win32/winsock_ready.h"

namespace platform {

std::optional<std::string> SystemReverseLookup(std::uint32_t networkOrderAddress) {
  if (!EnsureWinsock()) return std::nullopt;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = networkOrderAddress;
  char name[NI_MAXHOST] = {};
  if (getnameinfo(reinterpret_cast<const sockaddr*>(&address), sizeof address, name, sizeof name, nullptr, 0,
                  NI_NAMEREQD) != 0)
    return std::nullopt;
  return std::string(name);
}

std::optional<std::uint32_t> ResolveIPv4Address(const std::string& hostName) {
  if (hostName.empty() || !EnsureWinsock()) return std::nullopt;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(hostName.c_str(), nullptr, &hints, &found) != 0) return std::nullopt;
  std::optional<std::uint32_t> address;
  if (found != nullptr && found->ai_family == AF_INET)
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
  freeaddrinfo(found);
  return address;
}

}  // namespace platform
