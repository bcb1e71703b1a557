#pragma once
// Win32 error codes as the errno values that the platform's headers report.

#include <string>

namespace platform {

// The errno value that stands for a Win32 error code; EIO when none fits.
int ErrorNumberOf(unsigned long win32Error);

// The same for a call that failed on path, told as POSIX tells it: a path
// through a file is ENOTDIR rather than "path not found", and a directory
// where a file was expected is EISDIR rather than "access denied".
int PathErrorNumberOf(unsigned long win32Error, const std::string& path);

}  // namespace platform
