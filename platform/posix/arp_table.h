#pragma once
// The text of the kernel's IPv4 neighbour table, /proc/net/arp: a heading,
// then one line per entry,
//   IP address       HW type     Flags       HW address            Mask     Device
//   192.0.2.7        0x1         0x2         00:11:22:33:44:55     *        eth0

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/neighbour_table.h"

namespace platform {

// The hardware address of the first complete entry (flag 0x2) for the IPv4
// address (network byte order) whose address has 6 bytes, not all zero.
std::optional<HardwareAddress> FindInArpTable(std::string_view text, std::uint32_t networkOrderAddress);

}  // namespace platform
