#include "platform/neighbour_table.h"

#include "platform/critical_section.h"
#include "platform/system_neighbour_table.h"

namespace platform {
namespace {

CriticalSection lookupMutex;
NeighbourLookupFunction testLookup GUARDED_BY(lookupMutex);

}  // namespace

std::optional<HardwareAddress> NeighbourHardwareAddress(std::uint32_t networkOrderAddress) {
  NeighbourLookupFunction lookup;
  {
    ScopedLock lock(lookupMutex);
    lookup = testLookup;
  }
  if (lookup) return lookup(networkOrderAddress);
  return SystemNeighbourHardwareAddress(networkOrderAddress);
}

void SetNeighbourLookupForTesting(NeighbourLookupFunction lookup) {
  ScopedLock lock(lookupMutex);
  testLookup = std::move(lookup);
}

}  // namespace platform
