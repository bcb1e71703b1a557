#pragma once
// Reading numbers from the leading part of a text, as the printer database's
// fields and version are read: leading blanks, an optional sign, then digits;
// a text without digits reads as 0.

#include <string_view>

namespace vigilix {

// The leading decimal integer, clamped to the range of int.
int ReadDecimal(std::string_view text);

// The leading decimal number with an optional fraction; 0 when there is none.
double ReadLeadingNumber(std::string_view text);

}  // namespace vigilix
