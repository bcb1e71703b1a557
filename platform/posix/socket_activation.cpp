#include "platform/socket_activation.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <systemd/sd-daemon.h>

namespace platform {

// The passed sockets are those of sd_listen_fds, from descriptor 3 on; the
// environment that names them is left as it is.
UniqueSocket ActivatedDatagramSocket(std::uint16_t port) {
  const int count = sd_listen_fds(0);
  for (int fd = SD_LISTEN_FDS_START; fd < SD_LISTEN_FDS_START + count; ++fd) {
    if (sd_is_socket_inet(fd, AF_INET, SOCK_DGRAM, -1, port) <= 0) continue;
    const int copy = fcntl(fd, F_DUPFD_CLOEXEC, SD_LISTEN_FDS_START + count);
    if (copy >= 0) return UniqueSocket(copy);
  }
  return UniqueSocket();
}

}  // namespace platform
