#pragma once
// Waiting until one of several sockets or the stop signal handle has something
// to read.

#include <span>

#include "platform/native_handle.h"

namespace platform {

// Waits up to timeoutMs (-1 without limit) until a handle is readable or
// closed by its peer; readable[i] tells for handles[i]. The number of
// ready handles, 0 on time-out, -1 on error. An interrupted wait returns 0.
// On Windows, where select() waits, sockets and the stop signal handle only.
int WaitReadable(std::span<const NativeHandle> handles, std::span<bool> readable, int timeoutMs);

}  // namespace platform
