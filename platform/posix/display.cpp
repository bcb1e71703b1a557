#include "platform/display.h"

#include <X11/Xlib.h>

#include <cstdlib>

namespace platform {

std::string DisplayName() {
  const char* name = std::getenv("DISPLAY");
  return name ? name : "";
}

bool HasDisplay() {
  if (DisplayName().empty()) return false;
  ::Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  XCloseDisplay(display);
  return true;
}

}  // namespace platform
