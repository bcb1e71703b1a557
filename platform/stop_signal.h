#pragma once
// Turning a request to stop the program (SIGINT, SIGTERM, SIGHUP; Ctrl-C or a
// console close on Windows) into a handle that WaitReadable watches beside
// sockets, so that a program waiting on sockets also sees it.

#include "platform/native_handle.h"

namespace platform {

// Installs the handlers once and returns a handle that turns readable when a
// stop request has arrived; kNoHandle when it cannot be set up.
NativeHandle StopSignalHandle();

}  // namespace platform
