#include "platform/display.h"

#include <windows.h>

namespace platform {

namespace {

std::string ObjectName(HANDLE object) {
  char name[256] = {};
  if (!object || !GetUserObjectInformationA(object, UOI_NAME, name, sizeof name, nullptr)) return {};
  return name;
}

bool StationIsVisible() {
  USEROBJECTFLAGS flags{};
  HWINSTA station = GetProcessWindowStation();
  return station && GetUserObjectInformationA(station, UOI_FLAGS, &flags, sizeof flags, nullptr) &&
         (flags.dwFlags & WSF_VISIBLE) != 0;
}

// Whether a top-level window can be made at all: under Wine without an X
// display the visible window station is there, but no window can be created.
bool CanMakeWindow() {
  HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  if (!probe) return false;
  DestroyWindow(probe);
  return true;
}

}  // namespace

// The interactive window station and desktop, as "WinSta0\Default".
std::string DisplayName() {
  const std::string station = ObjectName(GetProcessWindowStation());
  const std::string desktop = ObjectName(GetThreadDesktop(GetCurrentThreadId()));
  if (station.empty()) return desktop;
  return desktop.empty() ? station : station + "\\" + desktop;
}

bool HasDisplay() { return StationIsVisible() && CanMakeWindow(); }

}  // namespace platform
