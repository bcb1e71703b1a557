#include "platform/file_append.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/unique_fd.h"

namespace platform {
namespace {

FileResult Failure(int systemError) { return FileResult{ClassifyFileError(systemError), systemError}; }

}  // namespace

FileResult AppendToFile(const std::string& path, std::string_view text) {
  UniqueFd file(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
  if (!file.IsValid()) return Failure(errno);
  while (!text.empty()) {
    const ssize_t written = ::write(file.Get(), text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return Failure(errno);
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return FileResult{};
}

}  // namespace platform
