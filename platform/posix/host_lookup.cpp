#include "platform/host_lookup.h"
#include "platform/system_reverse_lookup.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <vector>

namespace platform {

std::optional<std::string> SystemReverseLookup(std::uint32_t networkOrderAddress) {
  in_addr address{};
  address.s_addr = networkOrderAddress;
  hostent entry{};
  hostent* result = nullptr;
  int lookupError = 0;
  std::vector<char> scratch(1024);
  while (gethostbyaddr_r(&address, sizeof address, AF_INET, &entry, scratch.data(), scratch.size(), &result,
                         &lookupError) == ERANGE) {
    scratch.resize(scratch.size() * 2);
  }
  if (result == nullptr || result->h_name == nullptr) return std::nullopt;
  return std::string(result->h_name);
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

}  // namespace platform
