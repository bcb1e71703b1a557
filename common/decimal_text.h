#pragma once
// Numbers written in text. The leading forms read as much of a number as the
// text starts with, as C's atoi and atof do; the whole-text forms accept the
// text only when all of it is the number.

#include <cstdint>
#include <optional>
#include <string_view>

namespace common {

// Leading blanks, an optional sign, then digits up to the first non-digit; no
// digits gives 0. Values beyond the 32-bit range stay at its ends, so a huge
// number never wraps round into a small one.
std::int32_t ReadLeadingInteger(std::string_view text);

// Leading blanks, an optional sign, then a decimal number with an optional
// fraction; 0 when there is none (hexadecimal, infinity and NaN do not count).
double ReadLeadingNumber(std::string_view text);

// Decimal digits only, at most 0xFFFFFFFF.
std::optional<std::uint32_t> ParseDecimal(std::string_view text);
// Hexadecimal digits only, at most 0xFFFFFFFF.
std::optional<std::uint32_t> ParseHexadecimal(std::string_view text);
// Decimal digits, or "0x" and hexadecimal digits; at most 0xFFFFFFFF.
std::optional<std::uint32_t> ParseNumber(std::string_view text);

}  // namespace common
