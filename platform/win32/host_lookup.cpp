#include "platform/host_lookup.h"
#include "platform/system_reverse_lookup.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <mutex>

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

// inet_addr takes the same forms as inet_aton but cannot tell
// 255.255.255.255 from a failure; that one address is recognised by hand.
std::optional<std::uint32_t> ParseIPv4Address(const std::string& text) {
  if (text.empty()) return std::nullopt;
  const std::uint32_t address = InetAddr(text);
  if (address != INADDR_NONE) return address;
  in_addr broadcast{};
  if (InetPtonA(AF_INET, text.c_str(), &broadcast) == 1) return broadcast.s_addr;
  return std::nullopt;
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

std::string FormatIPv4Address(std::uint32_t address) {
  char text[INET_ADDRSTRLEN] = {};
  in_addr value{};
  value.s_addr = address;
  InetNtopA(AF_INET, &value, text, sizeof text);
  return text;
}

std::uint32_t InetAddr(const std::string& text) { return inet_addr(text.c_str()); }

}  // namespace platform
