#include "platform/tcp_socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/posix/unique_fd.h"
#include "platform/socket_address.h"

namespace platform {

void UniqueSocket::Reset(NativeHandle socket) {
  if (socket_ != kNoHandle) ::close(FdOf(socket_));
  socket_ = socket;
}

UniqueSocket ConnectTcp4(std::uint32_t address, std::uint16_t port) {
  UniqueSocket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!socket.IsValid()) return socket;
  sockaddr_in peer = MakeSocketAddress(address, port);
  int result;
  do {
    result = ::connect(socket.Get(), reinterpret_cast<sockaddr*>(&peer), sizeof peer);
  } while (result != 0 && errno == EINTR);
  if (result != 0) return UniqueSocket();
  return socket;
}

std::size_t SendAll(NativeHandle socket, const void* data, std::size_t length) {
  const char* next = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < length) {
    ssize_t sent = ::send(socket, next + done, length - done, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) break;
    done += static_cast<std::size_t>(sent);
  }
  return done;
}

bool PeerHasClosed(NativeHandle socket) {
  // The peer never sends anything: an end of stream or an error is all a
  // peek can find.
  char byte;
  ssize_t peeked = ::recv(socket, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
  if (peeked > 0) return false;
  return peeked == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

void ShutdownBoth(NativeHandle socket) { ::shutdown(socket, SHUT_RDWR); }

UniqueSocket BindTcp4(std::uint32_t address, std::uint16_t port, bool listen, std::uint16_t& boundPort) {
  UniqueSocket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!socket.IsValid()) return socket;
  int reuse = 1;
  ::setsockopt(socket.Get(), SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
  sockaddr_in local = MakeSocketAddress(address, port);
  if (::bind(socket.Get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return UniqueSocket();
  if (listen && ::listen(socket.Get(), SOMAXCONN) != 0) return UniqueSocket();
  socklen_t length = sizeof local;
  if (::getsockname(socket.Get(), reinterpret_cast<sockaddr*>(&local), &length) != 0) return UniqueSocket();
  boundPort = local.sin_port;
  return socket;
}

UniqueSocket AcceptTcp(NativeHandle listener, std::uint32_t& peerAddress, std::uint16_t& peerPort) {
  sockaddr_in peer{};
  socklen_t length = sizeof peer;
  UniqueSocket connection(
      ::accept4(listener, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC | SOCK_NONBLOCK));
  peerAddress = peer.sin_addr.s_addr;
  peerPort = peer.sin_port;
  return connection;
}

long ReceiveSome(NativeHandle socket, void* buffer, std::size_t capacity) {
  for (;;) {
    ssize_t received = ::recv(socket, buffer, capacity, 0);
    if (received >= 0) return static_cast<long>(received);
    if (errno == EINTR) continue;
    return (errno == EAGAIN || errno == EWOULDBLOCK) ? -2 : -1;
  }
}

}  // namespace platform
