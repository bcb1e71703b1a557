#pragma once
// Environment variables of the running process.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The variable's value, or nothing when it is not set.
std::optional<std::string> GetEnvironmentVariable(std::string_view name);

// Sets the variable for this process and the programs it starts; nothing as
// the value removes it. False for an empty name or one holding "=". Not to be
// called while other threads may read the environment.
bool SetEnvironmentVariable(std::string_view name, std::optional<std::string_view> value);

}  // namespace platform
