#include "platform/host_lookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <mutex>
#include <vector>

namespace platform {
namespace {

std::mutex resolverMutex;
ReverseLookupFunction testResolver;

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

}  // namespace

std::uint32_t InetAddr(const std::string& text) { return inet_addr(text.c_str()); }

std::optional<std::string> ReverseLookup(std::uint32_t networkOrderAddress) {
  ReverseLookupFunction resolver;
  {
    std::lock_guard lock(resolverMutex);
    resolver = testResolver;
  }
  if (resolver) return resolver(networkOrderAddress);
  return SystemReverseLookup(networkOrderAddress);
}

void SetReverseLookupForTesting(ReverseLookupFunction resolver) {
  std::lock_guard lock(resolverMutex);
  testResolver = std::move(resolver);
}

}  // namespace platform
