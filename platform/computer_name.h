#pragma once
// This computer's name.

#include <string>

namespace platform {

// The host name, or an empty text when the system cannot tell it.
std::string ComputerName();

}  // namespace platform
