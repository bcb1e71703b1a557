#pragma once
// This machine's neighbour (ARP) table: the hardware addresses of the hosts
// on its own links that it has lately talked to. A host behind a router is
// never in it. Addresses are in network byte order.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace platform {

using HardwareAddress = std::array<std::uint8_t, 6>;

// The 6-byte hardware address that the table holds, resolved, for the IPv4
// address; nothing when it holds none. Thread-safe.
std::optional<HardwareAddress> NeighbourHardwareAddress(std::uint32_t networkOrderAddress);

// Tests replace the table: while set, NeighbourHardwareAddress asks this
// function instead of the system. An empty function restores the system's.
using NeighbourLookupFunction = std::function<std::optional<HardwareAddress>(std::uint32_t networkOrderAddress)>;
void SetNeighbourLookupForTesting(NeighbourLookupFunction lookup);

}  // namespace platform
