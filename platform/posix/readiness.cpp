#include "platform/readiness.h"

#include <cerrno>
#include <poll.h>
#include <vector>

#include "platform/posix/unique_fd.h"

namespace platform {

int WaitReadable(std::span<const NativeHandle> handles, std::span<bool> readable, int timeoutMs) {
  std::vector<pollfd> entries(handles.size());
  for (std::size_t i = 0; i < handles.size(); ++i) entries[i] = pollfd{FdOf(handles[i]), POLLIN, 0};
  int ready = ::poll(entries.data(), entries.size(), timeoutMs);
  if (ready < 0) return errno == EINTR ? 0 : -1;
  for (std::size_t i = 0; i < handles.size() && i < readable.size(); ++i) readable[i] = entries[i].revents != 0;
  return ready;
}

}  // namespace platform
