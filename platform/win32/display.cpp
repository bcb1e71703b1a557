#include "platform/display.h"

#include <windows.h>

namespace platform {

namespace {

// A window station that shows nothing is a service's without interaction.
bool IsVisibleWindowStation() {
  HWINSTA station = GetProcessWindowStation();
  USEROBJECTFLAGS flags{};
  DWORD needed = 0;
  return station && GetUserObjectInformationA(station, UOI_FLAGS, &flags, sizeof flags, &needed) &&
         (flags.dwFlags & WSF_VISIBLE) != 0;
}

// A top-level window can be made only where a display driver runs (under
// Wine, one that reaches the X display).
bool CanCreateWindow() {
  HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!probe) return false;
  DestroyWindow(probe);
  return true;
}

}  // namespace

// The desktop that the calling thread's windows appear on.
std::string DisplayName() {
  HDESK desktop = GetThreadDesktop(GetCurrentThreadId());
  char name[256] = {};
  DWORD needed = 0;
  if (!desktop || !GetUserObjectInformationA(desktop, UOI_NAME, name, sizeof name, &needed)) return "";
  return name;
}

bool HasDisplay() { return IsVisibleWindowStation() && CanCreateWindow(); }

}  // namespace platform
