#include "platform/udp_socket.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

#include "platform/posix/unique_fd.h"
#include "platform/socket_address.h"

namespace platform {

namespace {

UniqueSocket BoundSocket(std::uint32_t address, std::uint16_t port) {
  UniqueSocket socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  sockaddr_in local = MakeSocketAddress(address, port);
  if (socket.IsValid() && ::bind(FdOf(socket.Get()), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0)
    return UniqueSocket();
  return socket;
}

// The wait for a datagram: 1 when one is there, 0 on time-out, -1 on error.
int WaitForDatagram(NativeHandle socket, int timeoutMs) {
  pollfd entry{FdOf(socket), POLLIN, 0};
  int ready;
  do {
    ready = ::poll(&entry, 1, timeoutMs);
  } while (ready < 0 && errno == EINTR);
  return ready;
}

long Received(ssize_t received) {
  if (received >= 0) return static_cast<long>(received);
  return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? kDatagramTimedOut : -1;
}

}  // namespace

UniqueSocket ConnectUdp4(std::uint32_t address, std::uint16_t port, std::uint16_t localPort) {
  UniqueSocket socket = BoundSocket(0, localPort);
  sockaddr_in peer = MakeSocketAddress(address, port);
  if (socket.IsValid() && ::connect(FdOf(socket.Get()), reinterpret_cast<sockaddr*>(&peer), sizeof peer) != 0)
    return UniqueSocket();
  return socket;
}

UniqueSocket BindUdp4(std::uint32_t address, std::uint16_t port, std::uint16_t& boundPort) {
  UniqueSocket socket = BoundSocket(address, port);
  sockaddr_in local{};
  socklen_t length = sizeof local;
  if (!socket.IsValid() || ::getsockname(FdOf(socket.Get()), reinterpret_cast<sockaddr*>(&local), &length) != 0)
    return UniqueSocket();
  boundPort = local.sin_port;
  return socket;
}

bool SendDatagram(NativeHandle socket, const void* data, std::size_t length) {
  const ssize_t sent = ::send(FdOf(socket), data, length, MSG_NOSIGNAL);
  return sent >= 0 && static_cast<std::size_t>(sent) == length;
}

bool SendDatagramTo(NativeHandle socket, const void* data, std::size_t length, std::uint32_t address,
                    std::uint16_t port) {
  sockaddr_in peer = MakeSocketAddress(address, port);
  const ssize_t sent =
      ::sendto(FdOf(socket), data, length, MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&peer), sizeof peer);
  return sent >= 0 && static_cast<std::size_t>(sent) == length;
}

// An unreachable port shows as ECONNREFUSED on a connected socket.
long ReceiveDatagram(NativeHandle socket, void* buffer, std::size_t capacity, int timeoutMs) {
  const int ready = WaitForDatagram(socket, timeoutMs);
  if (ready <= 0) return ready == 0 ? kDatagramTimedOut : -1;
  return Received(::recv(FdOf(socket), buffer, capacity, MSG_DONTWAIT));
}

long ReceiveDatagramFrom(NativeHandle socket, void* buffer, std::size_t capacity, int timeoutMs,
                         std::uint32_t& peerAddress, std::uint16_t& peerPort) {
  const int ready = WaitForDatagram(socket, timeoutMs);
  if (ready <= 0) return ready == 0 ? kDatagramTimedOut : -1;
  sockaddr_in peer{};
  socklen_t length = sizeof peer;
  const long received =
      Received(::recvfrom(FdOf(socket), buffer, capacity, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&peer), &length));
  peerAddress = peer.sin_addr.s_addr;
  peerPort = peer.sin_port;
  return received;
}

}  // namespace platform
