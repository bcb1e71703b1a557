#pragma once
// Numbers in settings values, read with the usual text-to-integer rule.

#include <cstdint>
#include <string_view>

// Leading blanks, an optional sign, then digits up to the first non-digit; no
// digits gives 0. Values beyond the 32-bit range stay at its ends, so a huge
// number never wraps round into a small one.
std::int32_t ParseLeadingInteger(std::string_view text);
