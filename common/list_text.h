#pragma once
// Lists written in one value, such as "a, b, c".

#include <string_view>
#include <vector>

namespace common {

// The pieces of text between separators, trimmed of blanks; empty pieces are
// kept so that the caller decides about them.
std::vector<std::string_view> SplitList(std::string_view text, char separator);

}  // namespace common
