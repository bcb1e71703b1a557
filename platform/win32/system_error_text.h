#pragma once
// The system's text for a Win32 error code.

#include <cstdint>
#include <string>

namespace platform {

// FormatMessage's text without its line end, or "error <code>" when the
// system has none.
std::string SystemErrorText(std::uint32_t code);

}  // namespace platform
