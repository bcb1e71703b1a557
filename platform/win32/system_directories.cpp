#include "platform/root.h"

#include <windows.h>

#include <cstdlib>

#include "platform/win32/fetch_text.h"

namespace platform {

namespace {

bool RootIsSet() {
  const char* root = std::getenv("KOREVNTS_ROOT");
  return root != nullptr && *root != '\0';
}

}  // namespace

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
