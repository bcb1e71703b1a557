#include "platform/readiness.h"

#include <winsock2.h>

#include <algorithm>
#include <memory>

#include "platform/win32/native_handles.h"

namespace platform {

namespace {

// An fd_set as large as the set of sockets asked for: Winsock's fd_set is a
// counted array, FD_SETSIZE (64) long unless made longer.
struct SocketSet {
  explicit SocketSet(std::size_t count)
      : storage(new char[offsetof(fd_set, fd_array) + sizeof(SOCKET) * std::max<std::size_t>(count, 1)]) {
    Get()->fd_count = 0;
  }
  fd_set* Get() { return reinterpret_cast<fd_set*>(storage.get()); }
  void Add(SOCKET socket) { Get()->fd_array[Get()->fd_count++] = socket; }
  std::unique_ptr<char[]> storage;
};

}  // namespace

// Only sockets can be waited on: a handle of another kind makes the wait fail.
int WaitReadable(std::span<const NativeHandle> handles, std::span<bool> readable, int timeoutMs) {
  SocketSet sockets(handles.size());
  for (NativeHandle handle : handles) sockets.Add(SocketOf(handle));
  timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  if (handles.empty()) {
    // select() refuses an empty set where poll() would just sleep.
    if (timeoutMs < 0) return -1;
    Sleep(static_cast<DWORD>(timeoutMs));
    return 0;
  }
  const int ready = select(0, sockets.Get(), nullptr, nullptr, timeoutMs < 0 ? nullptr : &timeout);
  if (ready == SOCKET_ERROR) return WSAGetLastError() == WSAEINTR ? 0 : -1;
  for (std::size_t i = 0; i < handles.size() && i < readable.size(); ++i)
    readable[i] = FD_ISSET(SocketOf(handles[i]), sockets.Get()) != 0;
  return ready;
}

}  // namespace platform
