#pragma once
// Turning the stop signals (SIGINT, SIGTERM, SIGHUP) into a readable descriptor,
// so that a program waiting on sockets also sees a request to stop.

namespace platform {

// Installs the handlers once and returns a descriptor that turns readable when
// a stop signal has arrived; -1 when it cannot be set up.
int StopSignalDescriptor();

}  // namespace platform
