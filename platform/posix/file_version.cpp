#include "platform/file_version.h"

#include <sys/stat.h>

namespace platform {

std::optional<FileVersion> FileVersionOf(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return FileVersion{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino), info.st_size,
                     info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

}  // namespace platform
