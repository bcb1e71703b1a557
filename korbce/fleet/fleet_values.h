#pragma once
// Readers for the byte values of the fleet file. Each gives nothing for a value
// it cannot read; blanks around the value are the caller's to remove. Numbers,
// flags, dotted addresses and lists are read with the helpers of common/.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace korbce {

// Exactly 12 hexadecimal digits, first byte first.
std::optional<std::array<std::uint8_t, 6>> ParseMacAddress(std::string_view text);
// An even number of hexadecimal digits, two per byte.
std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view text);

}  // namespace korbce
