#pragma once
// Whole-file reads and atomic whole-file writes.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class FileError {
  None,
  AccessDenied,      // permission refused, read-only file system
  SharingViolation,  // the file is busy
  DiskFull,          // no space or quota left
  NotFound,          // a directory of the path is missing
  Other,
};

struct FileResult {
  FileError error = FileError::None;
  int systemError = 0;  // errno of the failing call
  bool ok() const { return error == FileError::None; }
};

// The file's bytes, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces the file with content: a temporary file beside it, flushed to disk,
// then renamed over it. A failed write leaves the old file whole.
FileResult WriteFileAtomically(const std::string& path, std::string_view content);

FileError ClassifyFileError(int systemError);

}  // namespace platform
