#include "platform/stop_signal.h"

#include <winsock2.h>
#include <windows.h>

#include "platform/critical_section.h"
#include "platform/win32/native_handles.h"
#include "platform/win32/stop_request.h"
#include "platform/win32/winsock_ready.h"

namespace platform {

namespace {

// Sockets are what select() watches, so the request is a datagram that a
// console control handler sends from one loopback socket to another.
SOCKET stopReceiver = INVALID_SOCKET;
SOCKET stopSender = INVALID_SOCKET;

void SignalStop() {
  const char byte = 1;
  send(stopSender, &byte, 1, 0);
}

BOOL WINAPI OnConsoleControl(DWORD control) {
  switch (control) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
      SignalStop();
      return TRUE;
    default:
      return FALSE;
  }
}

bool MakeSocketPair() {
  SOCKET receiver = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  SOCKET sender = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  u_long nonBlocking = 1;
  const bool made = receiver != INVALID_SOCKET && sender != INVALID_SOCKET &&
                    bind(receiver, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                    getsockname(receiver, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
                    connect(sender, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                    ioctlsocket(receiver, FIONBIO, &nonBlocking) == 0;
  if (!made) {
    if (receiver != INVALID_SOCKET) closesocket(receiver);
    if (sender != INVALID_SOCKET) closesocket(sender);
    return false;
  }
  stopReceiver = receiver;
  stopSender = sender;
  return true;
}

}  // namespace

NativeHandle StopSignalHandle() {
  static CriticalSection setUp;
  ScopedLock lock(setUp);
  if (stopReceiver != INVALID_SOCKET) return ToNativeHandle(stopReceiver);
  if (!EnsureWinsock() || !MakeSocketPair()) return kNoHandle;
  // A process started in a process group of its own ignores Ctrl-C until it
  // asks for it again.
  SetConsoleCtrlHandler(nullptr, FALSE);
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  // The stop requests of ChildProcess, which reach a process without a
  // console too.
  WatchStopRequests(SignalStop);
  return ToNativeHandle(stopReceiver);
}

}  // namespace platform
