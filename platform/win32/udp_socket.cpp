#include "platform/udp_socket.h"

#include <winsock2.h>

#include <algorithm>

#include "platform/win32/native_handles.h"
#include "platform/win32/winsock_ready.h"
#include "platform/socket_address.h"

namespace platform {

namespace {

// Exclusive, as no other socket may share a port on Linux either; not
// inherited by child processes.
UniqueSocket BoundSocket(std::uint32_t address, std::uint16_t port) {
  if (!EnsureWinsock()) return UniqueSocket();
  UniqueSocket socket(ToNativeHandle(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP)));
  if (!socket.IsValid()) return socket;
  const SOCKET raw = SocketOf(socket.Get());
  SetHandleInformation(HandleOf(socket.Get()), HANDLE_FLAG_INHERIT, 0);
  BOOL exclusive = TRUE;
  setsockopt(raw, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive), sizeof exclusive);
  sockaddr_in local = MakeSocketAddress(address, port);
  if (bind(raw, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return UniqueSocket();
  return socket;
}

int PendingError(SOCKET socket) {
  int error = 0;
  int length = sizeof error;
  if (getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0) return -1;
  return error;
}

// The wait for a datagram: 1 when one is there, 0 on time-out, -1 on error.
// Where the socket's error is kept without waking select() (under Wine, an
// unreachable port), it is looked at every 100 ms.
int WaitForDatagram(NativeHandle socket, int timeoutMs, bool watchErrors) {
  constexpr int kSliceMs = 100;
  const SOCKET raw = SocketOf(socket);
  for (int waited = 0;; waited += kSliceMs) {
    if (watchErrors && PendingError(raw) != 0) return -1;
    const int sliceMs = timeoutMs < 0 ? kSliceMs : std::min(kSliceMs, timeoutMs - waited);
    fd_set sockets;
    FD_ZERO(&sockets);
    FD_SET(raw, &sockets);
    timeval timeout{0, std::max(sliceMs, 0) * 1000};
    const int ready = select(0, &sockets, nullptr, nullptr, &timeout);
    if (ready != 0) return ready == SOCKET_ERROR ? -1 : ready;
    if (timeoutMs >= 0 && waited + kSliceMs >= timeoutMs) return 0;
  }
}

// A datagram longer than the buffer is cut, as on Linux.
long Received(int received, std::size_t capacity) {
  if (received >= 0) return received;
  const int error = WSAGetLastError();
  if (error == WSAEMSGSIZE) return static_cast<long>(capacity);
  return error == WSAEWOULDBLOCK ? kDatagramTimedOut : -1;
}

}  // namespace

UniqueSocket ConnectUdp4(std::uint32_t address, std::uint16_t port, std::uint16_t localPort) {
  UniqueSocket socket = BoundSocket(0, localPort);
  sockaddr_in peer = MakeSocketAddress(address, port);
  if (socket.IsValid() && connect(SocketOf(socket.Get()), reinterpret_cast<sockaddr*>(&peer), sizeof peer) != 0)
    return UniqueSocket();
  return socket;
}

UniqueSocket BindUdp4(std::uint32_t address, std::uint16_t port, std::uint16_t& boundPort) {
  UniqueSocket socket = BoundSocket(address, port);
  sockaddr_in local{};
  int length = sizeof local;
  if (!socket.IsValid() || getsockname(SocketOf(socket.Get()), reinterpret_cast<sockaddr*>(&local), &length) != 0)
    return UniqueSocket();
  boundPort = local.sin_port;
  return socket;
}

bool SendDatagram(NativeHandle socket, const void* data, std::size_t length) {
  const int sent = send(SocketOf(socket), static_cast<const char*>(data), static_cast<int>(length), 0);
  return sent >= 0 && static_cast<std::size_t>(sent) == length;
}

bool SendDatagramTo(NativeHandle socket, const void* data, std::size_t length, std::uint32_t address,
                    std::uint16_t port) {
  sockaddr_in peer = MakeSocketAddress(address, port);
  const int sent = sendto(SocketOf(socket), static_cast<const char*>(data), static_cast<int>(length), 0,
                          reinterpret_cast<sockaddr*>(&peer), sizeof peer);
  return sent >= 0 && static_cast<std::size_t>(sent) == length;
}

// An unreachable port shows as WSAECONNRESET on a connected socket.
long ReceiveDatagram(NativeHandle socket, void* buffer, std::size_t capacity, int timeoutMs) {
  const int ready = WaitForDatagram(socket, timeoutMs, true);
  if (ready <= 0) return ready == 0 ? kDatagramTimedOut : -1;
  return Received(recv(SocketOf(socket), static_cast<char*>(buffer), static_cast<int>(capacity), 0), capacity);
}

long ReceiveDatagramFrom(NativeHandle socket, void* buffer, std::size_t capacity, int timeoutMs,
                         std::uint32_t& peerAddress, std::uint16_t& peerPort) {
  // Errors of earlier sends to other peers are no concern of this one.
  const int ready = WaitForDatagram(socket, timeoutMs, false);
  if (ready <= 0) return ready == 0 ? kDatagramTimedOut : -1;
  sockaddr_in peer{};
  int length = sizeof peer;
  const long received = Received(recvfrom(SocketOf(socket), static_cast<char*>(buffer), static_cast<int>(capacity), 0,
                                          reinterpret_cast<sockaddr*>(&peer), &length),
                                 capacity);
  peerAddress = peer.sin_addr.s_addr;
  peerPort = peer.sin_port;
  return received;
}

}  // namespace platform
