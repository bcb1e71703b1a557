#pragma once
// ASCII names as Windows compares them: without regard to letter case, and
// with blanks around them ignored.

#include <string_view>

namespace platform {

// Case-insensitive comparison of ASCII names, as the profile functions use.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// Removes blanks (space, tab, CR, LF, vertical tab, form feed) at both ends.
std::string_view TrimBlanks(std::string_view text);

}  // namespace platform
