#include "platform/host_lookup.h"

#include "platform/system_reverse_lookup.h"
#include "platform/test_override.h"

namespace platform {
namespace {

TestOverride<ReverseLookupFunction> testResolver;

}  // namespace

std::optional<std::string> ReverseLookup(std::uint32_t networkOrderAddress) {
  if (const ReverseLookupFunction resolver = testResolver.Get()) return resolver(networkOrderAddress);
  return SystemReverseLookup(networkOrderAddress);
}

void SetReverseLookupForTesting(ReverseLookupFunction resolver) { testResolver.Set(std::move(resolver)); }

}  // namespace platform
