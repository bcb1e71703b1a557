#pragma once
// Flags written as "Yes" or "No".

#include <optional>
#include <string_view>

namespace common {

// "Yes" or "No", in any letter case; nothing for any other text.
std::optional<bool> ParseYesNo(std::string_view text);

}  // namespace common
