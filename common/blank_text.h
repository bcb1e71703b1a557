#pragma once
// Blanks around values: space, tab, CR, LF, vertical tab and form feed.

#include <string_view>

namespace common {

bool IsBlank(char c);

// The text without the blanks at both ends.
std::string_view TrimBlanks(std::string_view text);

}  // namespace common
