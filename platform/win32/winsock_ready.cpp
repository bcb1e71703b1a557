#include "platform/win32/winsock_ready.h"

#include <winsock2.h>

namespace platform {

// Started for the life of the process: Winsock is never cleaned up, as
// sockets may be in use until the process ends.
bool EnsureWinsock() {
  static const bool ready = [] {
    WSADATA data{};
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return ready;
}

}  // namespace platform
