#pragma once
// Start-up of the sockets layer before the first socket call.

namespace platform {

// True when sockets of at least the asked version can be used. BSD sockets
// need no start-up, so this always holds on Linux. On Windows this is
// WSAStartup with the version asked; the other socket calls of this layer
// start Winsock themselves when the program has not.
bool StartSockets(int majorVersion, int minorVersion);

}  // namespace platform
