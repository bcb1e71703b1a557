#pragma once
// ASCII names as Windows compares them: without regard to letter case.

#include <string_view>

namespace common {

// Case-insensitive comparison of ASCII names, as the profile functions use.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace common
