#include "platform/posix/notify_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace platform {

bool NotifySocket::Open() {
  static std::atomic<unsigned> counter{0};
  const std::string name = "korevnts-notify-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
  UniqueFd fd(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  if (!fd.IsValid()) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path + 1, name.data(), name.size());  // abstract: leading NUL
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  if (bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address), length) != 0) return false;
  fd_ = std::move(fd);
  address_ = "@" + name;
  return true;
}

std::optional<std::string> NotifySocket::Receive(std::uint32_t timeoutMs) {
  pollfd readable{fd_.Get(), POLLIN, 0};
  if (poll(&readable, 1, static_cast<int>(timeoutMs)) <= 0) return std::nullopt;
  char buffer[4096];
  const ssize_t got = recv(fd_.Get(), buffer, sizeof buffer, MSG_DONTWAIT);
  if (got < 0) return std::nullopt;
  return std::string(buffer, static_cast<std::size_t>(got));
}

}  // namespace platform
