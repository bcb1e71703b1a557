#pragma once
// Whether a window system can be reached, for programs that show windows.

#include <string>

namespace platform {

// True when the display named by DISPLAY accepts a connection.
bool HasDisplay();
// What stands in DISPLAY, empty when unset.
std::string DisplayName();

}  // namespace platform
