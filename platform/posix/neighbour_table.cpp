#include "platform/system_neighbour_table.h"

#include "platform/file_io.h"
#include "platform/posix/arp_table.h"

namespace platform {

std::optional<HardwareAddress> SystemNeighbourHardwareAddress(std::uint32_t networkOrderAddress) {
  const auto text = ReadWholeFile("/proc/net/arp");
  if (!text) return std::nullopt;
  return FindInArpTable(*text, networkOrderAddress);
}

}  // namespace platform
