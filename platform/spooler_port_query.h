#pragma once
// Asking the local print spooler for its ports, each system its own way.

#include <optional>
#include <string>
#include <vector>

namespace platform {

// The port names in the spooler's order, or nothing when it cannot be asked.
std::optional<std::vector<std::string>> QuerySpoolerPorts();

}  // namespace platform
