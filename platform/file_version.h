#pragma once
// What tells one version of a file from the next, so that a reader may keep
// what it parsed from a file until the file changes.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The file's device, inode, size and modification time. On Windows the
// volume's serial number and the file's index stand for device and inode.
struct FileVersion {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modifiedSeconds = 0;
  std::int64_t modifiedNanoseconds = 0;

  bool operator==(const FileVersion&) const = default;
};

// The version of the regular file at path; nothing when there is none.
std::optional<FileVersion> FileVersionOf(const std::string& path);

}  // namespace platform
