#include "platform/tcp_socket.h"

#include <winsock2.h>

#include <climits>

#include "platform/win32/native_handles.h"
#include "platform/win32/winsock_ready.h"
#include "platform/socket_address.h"

namespace platform {

namespace {

// Sockets are not inherited by child processes, as SOCK_CLOEXEC has it on Linux.
void KeepFromChildren(const UniqueSocket& socket) {
  if (socket.IsValid()) SetHandleInformation(HandleOf(socket.Get()), HANDLE_FLAG_INHERIT, 0);
}

UniqueSocket NewStreamSocket() {
  if (!EnsureWinsock()) return UniqueSocket();
  UniqueSocket socket(ToNativeHandle(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)));
  KeepFromChildren(socket);
  return socket;
}

bool MakeNonBlocking(NativeHandle socket) {
  u_long nonBlocking = 1;
  return ioctlsocket(SocketOf(socket), FIONBIO, &nonBlocking) == 0;
}

bool IsReadableNow(NativeHandle socket) {
  fd_set sockets;
  FD_ZERO(&sockets);
  FD_SET(SocketOf(socket), &sockets);
  timeval now{0, 0};
  return select(0, &sockets, nullptr, nullptr, &now) != 0;  // readable, or an error to report
}

}  // namespace

void UniqueSocket::Reset(NativeHandle socket) {
  if (socket_ != kNoHandle) closesocket(SocketOf(socket_));
  socket_ = socket;
}

UniqueSocket ConnectTcp4(std::uint32_t address, std::uint16_t port) {
  UniqueSocket socket = NewStreamSocket();
  if (!socket.IsValid()) return socket;
  sockaddr_in peer = MakeSocketAddress(address, port);
  if (connect(SocketOf(socket.Get()), reinterpret_cast<sockaddr*>(&peer), sizeof peer) != 0) return UniqueSocket();
  return socket;
}

std::size_t SendAll(NativeHandle socket, const void* data, std::size_t length) {
  const char* next = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < length) {
    const std::size_t left = length - done;
    const int chunk = left > INT_MAX ? INT_MAX : static_cast<int>(left);
    const int sent = send(SocketOf(socket), next + done, chunk, 0);
    if (sent <= 0) break;
    done += static_cast<std::size_t>(sent);
  }
  return done;
}

bool PeerHasClosed(NativeHandle socket) {
  // The peer never sends anything: an end of stream or an error is all a
  // peek can find. Windows has no non-blocking flag per call, so a blocking
  // socket is asked first whether a peek would return at once.
  if (!IsReadableNow(socket)) return false;
  char byte;
  const int peeked = recv(SocketOf(socket), &byte, 1, MSG_PEEK);
  if (peeked > 0) return false;
  return peeked == 0 || WSAGetLastError() != WSAEWOULDBLOCK;
}

void ShutdownBoth(NativeHandle socket) { shutdown(SocketOf(socket), SD_BOTH); }

// Without SO_REUSEADDR: on Windows it would let a second socket take a port
// already bound, and a port whose old connections linger can be bound anyway.
UniqueSocket BindTcp4(std::uint32_t address, std::uint16_t port, bool listen, std::uint16_t& boundPort) {
  UniqueSocket socket = NewStreamSocket();
  if (!socket.IsValid() || !MakeNonBlocking(socket.Get())) return UniqueSocket();
  const SOCKET raw = SocketOf(socket.Get());
  BOOL exclusive = TRUE;
  setsockopt(raw, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive), sizeof exclusive);
  sockaddr_in local = MakeSocketAddress(address, port);
  if (bind(raw, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return UniqueSocket();
  if (listen && ::listen(raw, SOMAXCONN) != 0) return UniqueSocket();
  int length = sizeof local;
  if (getsockname(raw, reinterpret_cast<sockaddr*>(&local), &length) != 0) return UniqueSocket();
  boundPort = local.sin_port;
  return socket;
}

UniqueSocket AcceptTcp(NativeHandle listener, std::uint32_t& peerAddress, std::uint16_t& peerPort) {
  sockaddr_in peer{};
  int length = sizeof peer;
  UniqueSocket connection(ToNativeHandle(accept(SocketOf(listener), reinterpret_cast<sockaddr*>(&peer), &length)));
  if (connection.IsValid() && !MakeNonBlocking(connection.Get())) connection.Reset();
  KeepFromChildren(connection);
  peerAddress = peer.sin_addr.s_addr;
  peerPort = peer.sin_port;
  return connection;
}

long ReceiveSome(NativeHandle socket, void* buffer, std::size_t capacity) {
  const int size = capacity > INT_MAX ? INT_MAX : static_cast<int>(capacity);
  const int received = recv(SocketOf(socket), static_cast<char*>(buffer), size, 0);
  if (received >= 0) return received;
  return WSAGetLastError() == WSAEWOULDBLOCK ? -2 : -1;
}

}  // namespace platform
