#pragma once
// CPU time used so far, as the kernel counts it: by this process, by each of
// its threads, and by another process.

#include <optional>
#include <vector>

namespace platform {

struct ThreadCpuTime {
  int threadId = 0;
  double seconds = 0;  // user plus system
};

// Every thread of this process that is alive now.
std::vector<ThreadCpuTime> ThreadCpuTimes();
// User plus system seconds of this process, all its threads together.
double ProcessCpuSeconds();
// The same for another process; nothing when it does not exist.
std::optional<double> ProcessCpuSeconds(int processId);

}  // namespace platform
