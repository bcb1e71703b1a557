#include "platform/file_rename.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/file_change_gate.h"
#include "platform/posix/unique_fd.h"

namespace platform {

namespace {

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

int SyncDirectory(const std::string& directory) {
  if (!FileOperationAllowed(FileOperation::Sync)) return EIO;
  UniqueFd fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.IsValid()) return errno;
  return ::fsync(fd.Get()) == 0 ? 0 : errno;
}

}  // namespace

int RenameFile(const std::string& from, const std::string& to) {
  if (!FileOperationAllowed(FileOperation::Rename)) return EIO;
  if (std::rename(from.c_str(), to.c_str()) != 0) return errno;
  return SyncDirectory(DirectoryOf(to));
}

}  // namespace platform
