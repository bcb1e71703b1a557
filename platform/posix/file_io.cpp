#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/posix/unique_fd.h"

namespace platform {

namespace {

FileResult Failure(int systemError) { return {ClassifyFileError(systemError), systemError}; }

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The rename is durable once the directory entry is flushed too.
void SyncDirectory(const std::string& directory) {
  UniqueFd fd(open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.IsValid()) fsync(fd.Get());
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
  UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.IsValid()) return std::nullopt;
  std::string content;
  char buffer[65536];
  for (;;) {
    const ssize_t got = read(fd.Get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) return content;
    content.append(buffer, static_cast<std::size_t>(got));
  }
}

FileResult WriteFileAtomically(const std::string& path, std::string_view content) {
  std::string temporary = path + ".XXXXXX";
  UniqueFd fd(mkstemp(temporary.data()));
  if (!fd.IsValid()) return Failure(errno);
  struct stat existing {};
  const mode_t mode = stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
  fchmod(fd.Get(), mode);
  if (!WriteAll(fd.Get(), content) || fsync(fd.Get()) != 0) {
    const int error = errno;
    unlink(temporary.c_str());
    return Failure(error);
  }
  if (close(fd.Release()) != 0 || rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    unlink(temporary.c_str());
    return Failure(error);
  }
  SyncDirectory(DirectoryOf(path));
  return {};
}

}  // namespace platform
