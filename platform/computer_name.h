#pragma once
// This computer's name, as the network knows it.

#include <optional>
#include <string>

namespace platform {

// The host name, or nothing when it cannot be obtained.
std::optional<std::string> ComputerName();

}  // namespace platform
