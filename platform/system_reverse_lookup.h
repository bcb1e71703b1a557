#pragma once
// The system's own reverse look-up of an address, which ReverseLookup asks
// unless a test has put a resolver of its own in its place.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

std::optional<std::string> SystemReverseLookup(std::uint32_t networkOrderAddress);

}  // namespace platform
