#include "platform/make_directory.h"

#include <cerrno>
#include <sys/stat.h>

namespace platform {

MakeDirectoryResult MakeDirectory(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) == 0) return MakeDirectoryResult::Created;
  if (errno == EEXIST) return MakeDirectoryResult::AlreadyExists;
  if (errno == ENOENT && !path.empty()) return MakeDirectoryResult::MissingParent;
  return MakeDirectoryResult::Failed;
}

}  // namespace platform
