#pragma once
// What this process holds of the system now: its peak of resident memory so
// far and the files, sockets and other handles it has open.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace platform {

struct ProcessFootprint {
  std::uint64_t peakResidentBytes = 0;
  std::size_t openHandles = 0;  // file descriptors on Linux
};

// Nothing when the system does not tell.
std::optional<ProcessFootprint> CurrentProcessFootprint();

}  // namespace platform
