#pragma once
// Waiting until one of several descriptors has something to read.

#include <span>

namespace platform {

// Waits up to timeoutMs (-1 without limit) until a descriptor is readable or
// closed by its peer; readable[i] tells for descriptors[i]. The number of
// ready descriptors, 0 on time-out, -1 on error. An interrupted wait returns 0.
int WaitReadable(std::span<const int> descriptors, std::span<bool> readable, int timeoutMs);

}  // namespace platform
