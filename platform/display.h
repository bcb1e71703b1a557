#pragma once
// Whether a window system can be reached, for programs that show windows.

#include <string>

namespace platform {

// True when the display named by DISPLAY accepts a connection; on Windows
// when the window station is visible and a window can be made on it.
bool HasDisplay();
// What stands in DISPLAY, empty when unset; on Windows the desktop's name.
std::string DisplayName();

}  // namespace platform
