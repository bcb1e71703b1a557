#include "platform/win32/error_number.h"

#include <windows.h>

#include <cerrno>

namespace platform {

namespace {

struct ErrorPair {
  DWORD win32;
  int number;
};

constexpr ErrorPair kErrorNumbers[] = {
    {ERROR_FILE_NOT_FOUND, ENOENT},       {ERROR_PATH_NOT_FOUND, ENOENT},
    {ERROR_INVALID_DRIVE, ENOENT},        {ERROR_BAD_NETPATH, ENOENT},
    {ERROR_BAD_NET_NAME, ENOENT},         {ERROR_INVALID_NAME, ENOENT},
    {ERROR_BAD_PATHNAME, ENOENT},         {ERROR_ACCESS_DENIED, EACCES},
    {ERROR_NETWORK_ACCESS_DENIED, EACCES}, {ERROR_CURRENT_DIRECTORY, EACCES},
    {ERROR_CANNOT_MAKE, EACCES},          {ERROR_WRITE_PROTECT, EROFS},
    {ERROR_SHARING_VIOLATION, EBUSY},     {ERROR_LOCK_VIOLATION, EBUSY},
    {ERROR_DRIVE_LOCKED, EBUSY},          {ERROR_BUSY, EBUSY},
    {ERROR_DISK_FULL, ENOSPC},            {ERROR_HANDLE_DISK_FULL, ENOSPC},
    {ERROR_FILE_TOO_LARGE, EFBIG},        {ERROR_FILE_EXISTS, EEXIST},
    {ERROR_ALREADY_EXISTS, EEXIST},       {ERROR_DIRECTORY, ENOTDIR},
    {ERROR_DIR_NOT_EMPTY, ENOTEMPTY},     {ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG},
    {ERROR_BUFFER_OVERFLOW, ENAMETOOLONG}, {ERROR_INVALID_HANDLE, EBADF},
    {ERROR_INVALID_PARAMETER, EINVAL},    {ERROR_NEGATIVE_SEEK, EINVAL},
    {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},    {ERROR_OUTOFMEMORY, ENOMEM},
    {ERROR_TOO_MANY_OPEN_FILES, EMFILE},  {ERROR_NOT_SAME_DEVICE, EXDEV},
    {ERROR_BROKEN_PIPE, EPIPE},           {ERROR_NO_DATA, EPIPE},
    {ERROR_NOT_SUPPORTED, ENOTSUP},       {ERROR_CALL_NOT_IMPLEMENTED, ENOSYS},
    {ERROR_INVALID_DATA, EINVAL},         {ERROR_INVALID_DATATYPE, EINVAL},
    {ERROR_SERVICE_EXISTS, EEXIST},       {ERROR_DUPLICATE_SERVICE_NAME, EEXIST},
    {ERROR_SERVICE_DOES_NOT_EXIST, ENOENT}, {ERROR_SERVICE_MARKED_FOR_DELETE, EBUSY},
    {ERROR_FAILED_SERVICE_CONTROLLER_CONNECT, ENOTCONN}, {ERROR_SERVICE_ALREADY_RUNNING, EALREADY},
    {ERROR_LOG_FILE_FULL, ENOSPC},
};

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// The attributes of the longest part of path above it that exists, or
// INVALID_FILE_ATTRIBUTES when none does.
DWORD NearestExistingAncestor(const std::string& path) {
  std::size_t end = path.size();
  while (end > 0) {
    while (end > 0 && !IsSeparator(path[end - 1])) --end;  // drop the last name
    while (end > 1 && IsSeparator(path[end - 1])) --end;   // and the separators before it
    if (end == 0) break;
    const DWORD attributes = GetFileAttributesA(path.substr(0, end).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return attributes;
  }
  return INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

int ErrorNumberOf(unsigned long win32Error) {
  for (const ErrorPair& pair : kErrorNumbers) {
    if (pair.win32 == win32Error) return pair.number;
  }
  return EIO;
}

int PathErrorNumberOf(unsigned long win32Error, const std::string& path) {
  if (win32Error == ERROR_PATH_NOT_FOUND) {
    const DWORD ancestor = NearestExistingAncestor(path);
    if (ancestor != INVALID_FILE_ATTRIBUTES && (ancestor & FILE_ATTRIBUTE_DIRECTORY) == 0) return ENOTDIR;
  }
  if (win32Error == ERROR_ACCESS_DENIED && IsDirectory(path)) return EISDIR;
  return ErrorNumberOf(win32Error);
}

}  // namespace platform
