#pragma once
// This computer's name, as the network knows it.

#include <optional>
#include <string>

namespace platform {

// The host name (on Windows the server's name, NetServerGetInfo level 100),
// or nothing when it cannot be obtained.
std::optional<std::string> ComputerName();

}  // namespace platform
