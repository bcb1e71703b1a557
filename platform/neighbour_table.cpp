#include "platform/neighbour_table.h"

#include "platform/system_neighbour_table.h"
#include "platform/test_override.h"

namespace platform {
namespace {

TestOverride<NeighbourLookupFunction> testLookup;

}  // namespace

std::optional<HardwareAddress> NeighbourHardwareAddress(std::uint32_t networkOrderAddress) {
  if (const NeighbourLookupFunction lookup = testLookup.Get()) return lookup(networkOrderAddress);
  return SystemNeighbourHardwareAddress(networkOrderAddress);
}

void SetNeighbourLookupForTesting(NeighbourLookupFunction lookup) { testLookup.Set(std::move(lookup)); }

}  // namespace platform
