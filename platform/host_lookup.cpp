#include "platform/host_lookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace platform {

std::optional<std::uint32_t> ParseIPv4Address(const std::string& text) {
  in_addr address{};
  if (text.empty() || ::inet_aton(text.c_str(), &address) == 0) return std::nullopt;
  return address.s_addr;
}

std::optional<std::uint32_t> ResolveIPv4Address(const std::string& hostName) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (hostName.empty() || ::getaddrinfo(hostName.c_str(), nullptr, &hints, &found) != 0) return std::nullopt;
  std::optional<std::uint32_t> address;
  if (found != nullptr && found->ai_family == AF_INET)
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
  ::freeaddrinfo(found);
  return address;
}

std::string FormatIPv4Address(std::uint32_t address) {
  char text[INET_ADDRSTRLEN] = {};
  in_addr value{};
  value.s_addr = address;
  ::inet_ntop(AF_INET, &value, text, sizeof text);
  return text;
}

}  // namespace platform
