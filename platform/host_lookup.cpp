#include "platform/host_lookup.h"

#include <mutex>

#include "platform/system_reverse_lookup.h"

namespace platform {
namespace {

std::mutex resolverMutex;
ReverseLookupFunction testResolver;

}  // namespace

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
