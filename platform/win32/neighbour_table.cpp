#include "platform/system_neighbour_table.h"

#include <winsock2.h>
// In this order: the neighbour table's rows need the IP definitions first.
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <netioapi.h>

#include <algorithm>

namespace platform {
namespace {

// An entry whose hardware address is known: reachable, permanent, or known
// and being checked again.
bool IsResolved(const MIB_IPNET_ROW2& row) { return row.State >= NlnsProbe && row.State < NlnsMaximum; }

std::optional<HardwareAddress> HardwareAddressOf(const MIB_IPNET_ROW2& row) {
  if (!IsResolved(row) || row.PhysicalAddressLength != 6) return std::nullopt;
  HardwareAddress address{};
  std::copy(row.PhysicalAddress, row.PhysicalAddress + address.size(), address.begin());
  if (std::all_of(address.begin(), address.end(), [](std::uint8_t byte) { return byte == 0; })) return std::nullopt;
  return address;
}

}  // namespace

std::optional<HardwareAddress> SystemNeighbourHardwareAddress(std::uint32_t networkOrderAddress) {
  MIB_IPNET_TABLE2* table = nullptr;
  if (GetIpNetTable2(AF_INET, &table) != NO_ERROR || table == nullptr) return std::nullopt;
  std::optional<HardwareAddress> found;
  for (ULONG i = 0; i < table->NumEntries && !found; ++i) {
    const MIB_IPNET_ROW2& row = table->Table[i];
    if (row.Address.si_family == AF_INET && row.Address.Ipv4.sin_addr.s_addr == networkOrderAddress)
      found = HardwareAddressOf(row);
  }
  FreeMibTable(table);
  return found;
}

}  // namespace platform
