#include "platform/win32/move_replacing.h"

#include <windows.h>

#include "platform/win32/error_number.h"

namespace platform {

namespace {

constexpr int kAttempts = 10;
constexpr DWORD kPauseMilliseconds = 10;

bool IsDirectory(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Whether the target may only be held open for a moment by another program.
bool MayBeBusy(DWORD error, const std::string& to) {
  return (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED) && !IsDirectory(to);
}

}  // namespace

int MoveReplacing(const std::string& from, const std::string& to) {
  DWORD error = ERROR_SUCCESS;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
    error = GetLastError();
    if (!MayBeBusy(error, to)) break;
    Sleep(kPauseMilliseconds);
  }
  return PathErrorNumberOf(error, to);
}

}  // namespace platform
