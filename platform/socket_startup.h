#pragma once
// Start-up of the sockets layer before the first socket call.

namespace platform {

// True when sockets of at least the asked version can be used. BSD sockets
// need no start-up, so this always holds on Linux.
bool StartSockets(int majorVersion, int minorVersion);

}  // namespace platform
