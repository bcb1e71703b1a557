#pragma once
// Environment variable references inside texts.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Replaces %NAME%, ${NAME} and $NAME by the variable's value; a reference to
// a variable that is not set stays as written. Nothing when the result would
// not fit maxLength characters.
std::optional<std::string> ExpandEnvironmentStrings(std::string_view text, std::size_t maxLength);

}  // namespace platform
