#pragma once
// The system's own neighbour table, which NeighbourHardwareAddress asks
// unless a test has put a table of its own in its place.

#include <cstdint>
#include <optional>

#include "platform/neighbour_table.h"

namespace platform {

std::optional<HardwareAddress> SystemNeighbourHardwareAddress(std::uint32_t networkOrderAddress);

}  // namespace platform
