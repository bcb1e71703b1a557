#include "platform/socket_startup.h"

#include <winsock2.h>

namespace platform {

// Each successful WSAStartup is one reference that Winsock keeps until a
// WSACleanup; the program's start-up is never undone, as sockets may be in use
// until the process ends.
bool StartSockets(int majorVersion, int minorVersion) {
  if (majorVersion < 0 || majorVersion > 255 || minorVersion < 0 || minorVersion > 255) return false;
  WSADATA data{};
  if (WSAStartup(MAKEWORD(majorVersion, minorVersion), &data) != 0) return false;
  const int granted = LOBYTE(data.wVersion) * 256 + HIBYTE(data.wVersion);
  if (granted >= majorVersion * 256 + minorVersion) return true;
  WSACleanup();
  return false;
}

}  // namespace platform
