#pragma once
// Readers for the values of the fleet file. Each gives nothing for a value it
// cannot read; blanks around the value are the caller's to remove.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace korbce {

// Decimal digits, or "0x" and hexadecimal digits; at most 0xFFFFFFFF.
std::optional<std::uint32_t> ParseNumber(std::string_view text);
// Decimal digits only; at most 0xFFFFFFFF.
std::optional<std::uint32_t> ParseDecimal(std::string_view text);
// "Yes" or "No", in any letter case.
std::optional<bool> ParseYesNo(std::string_view text);
// Exactly 12 hexadecimal digits, first byte first.
std::optional<std::array<std::uint8_t, 6>> ParseMacAddress(std::string_view text);
// An even number of hexadecimal digits, two per byte.
std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view text);
// Four decimal numbers 0 to 255 separated by dots.
bool IsDottedAddress(std::string_view text);

// The pieces of text between separators, trimmed of blanks; empty pieces are
// kept so that the caller decides about them.
std::vector<std::string_view> SplitList(std::string_view text, char separator);

}  // namespace korbce
