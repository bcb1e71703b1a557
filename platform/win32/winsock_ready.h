#pragma once
// Winsock started once for the process, so that every socket call of the
// platform layer works whether or not the program called StartSockets.

namespace platform {

// True when Winsock is ready; the first call starts it (version 2.2).
bool EnsureWinsock();

}  // namespace platform
