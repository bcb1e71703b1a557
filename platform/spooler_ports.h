#pragma once
// The ports that the local print spooler defines, in the spooler's order: the
// spooler's port names on Windows, the device URIs of the local CUPS queues
// elsewhere.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Room for the port list: each port takes a 4-byte entry and its name with
// its terminator, as in the buffer that callers of the spooler always used.
constexpr std::size_t kSpoolerPortBufferSize = 5000;

// The port names, or nothing when the spooler cannot be asked or the list
// does not fit kSpoolerPortBufferSize bytes.
std::optional<std::vector<std::string>> EnumSpoolerPorts();

// Tests hand a fixed port list (nothing: the spooler cannot be asked) that
// EnumSpoolerPorts uses instead of asking the spooler, size check included.
void SetSpoolerPortsForTesting(std::optional<std::vector<std::string>> ports);
// Asks the spooler again.
void ClearSpoolerPortsForTesting();

}  // namespace platform
