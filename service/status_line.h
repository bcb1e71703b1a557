#pragma once
// The one line that tells an administrator how the running service is doing,
// for example "Running: 1,204 printers (3 not answering); 5,310 events sent,
// 0 cached; TEC server 10.1.2.3:5529 connected".

#include <cstdint>
#include <string>

struct AdapterCounts {
  std::uint64_t printers = 0;
  std::uint64_t printersNotAnswering = 0;
  std::uint64_t eventsSent = 0;
  std::uint64_t eventsCached = 0;
  std::string tecServer;  // "name:port"
  bool tecConnected = false;
};

std::string StatusLineOf(const AdapterCounts& counts);

// The number with its digits in groups of three: 1204 as "1,204".
std::string WithDigitGroups(std::uint64_t value);
