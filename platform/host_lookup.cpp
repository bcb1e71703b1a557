#include "platform/host_lookup.h"

#include "platform/critical_section.h"
#include "platform/system_reverse_lookup.h"

namespace platform {
namespace {

CriticalSection resolverMutex;
ReverseLookupFunction testResolver GUARDED_BY(resolverMutex);

}  // namespace

std::optional<std::string> ReverseLookup(std::uint32_t networkOrderAddress) {
  ReverseLookupFunction resolver;
  {
    ScopedLock lock(resolverMutex);
    resolver = testResolver;
  }
  if (resolver) return resolver(networkOrderAddress);
  return SystemReverseLookup(networkOrderAddress);
}

void SetReverseLookupForTesting(ReverseLookupFunction resolver) {
  ScopedLock lock(resolverMutex);
  testResolver = std::move(resolver);
}

}  // namespace platform
