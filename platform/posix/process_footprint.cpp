#include "platform/process_footprint.h"

#include <dirent.h>

#include <fstream>
#include <string>

namespace platform {
namespace {

// VmHWM of /proc/self/status, in bytes.
std::optional<std::uint64_t> PeakResidentBytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stoull(line.substr(6)) * 1024;  // in kB
  }
  return std::nullopt;
}

// Entries of /proc/self/fd, less the one that reads it.
std::optional<std::size_t> OpenDescriptors() {
  DIR* directory = opendir("/proc/self/fd");
  if (directory == nullptr) return std::nullopt;
  std::size_t count = 0;
  while (const dirent* entry = readdir(directory)) {
    if (entry->d_name[0] != '.') ++count;
  }
  closedir(directory);
  return count - 1;
}

}  // namespace

std::optional<ProcessFootprint> CurrentProcessFootprint() {
  const auto peak = PeakResidentBytes();
  const auto descriptors = OpenDescriptors();
  if (!peak || !descriptors) return std::nullopt;
  return ProcessFootprint{*peak, *descriptors};
}

}  // namespace platform
