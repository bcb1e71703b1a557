#include "platform/root.h"

#include <windows.h>

#include "platform/win32/fetch_text.h"

namespace platform {

// The real directories of Windows; KOREVNTS_ROOT, when set, moves them below
// it as it does on other systems, so that tests and demonstrations keep their
// files to themselves.
std::string SystemDirectory() {
  if (RootIsSet()) return RootPath("etc/korevnts");
  return FetchText([](char* buffer, DWORD size) { return GetSystemDirectoryA(buffer, size); });
}

std::string WindowsDirectory() {
  if (RootIsSet()) return RootPath("etc");
  return FetchText([](char* buffer, DWORD size) { return GetWindowsDirectoryA(buffer, size); });
}

}  // namespace platform
