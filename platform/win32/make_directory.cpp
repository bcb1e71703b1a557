#include "platform/make_directory.h"

#include <windows.h>

#include <cerrno>

#include "platform/win32/error_number.h"

namespace platform {

MakeDirectoryResult MakeDirectory(const std::string& path) {
  if (CreateDirectoryA(path.c_str(), nullptr)) return MakeDirectoryResult::Created;
  const DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS) return MakeDirectoryResult::AlreadyExists;
  // Windows tells a missing parent and a file on the way alike.
  if (error == ERROR_PATH_NOT_FOUND && !path.empty() && PathErrorNumberOf(error, path) == ENOENT) {
    return MakeDirectoryResult::MissingParent;
  }
  return MakeDirectoryResult::Failed;
}

}  // namespace platform
