#pragma once
// Turning a request to stop the program (SIGINT, SIGTERM, SIGHUP; on Windows
// Ctrl-C, Ctrl-Break, a console close or ChildProcess::RequestStop) into a
// handle that WaitReadable watches beside sockets, so that a program waiting
// on sockets also sees it. On Windows the handle is a loopback UDP socket
// that receives a datagram per request.

#include "platform/native_handle.h"

namespace platform {

// Installs the handlers once and returns a handle that turns readable when a
// stop request has arrived; kNoHandle when it cannot be set up.
NativeHandle StopSignalHandle();

}  // namespace platform
