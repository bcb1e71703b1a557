#include "platform/cpu_time.h"

#include <dirent.h>
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

namespace platform {
namespace {

// utime and stime of a /proc stat file, read after the command name, which
// may itself hold spaces and parentheses.
std::optional<double> CpuSecondsOfStatFile(const std::string& path) {
  std::ifstream file(path);
  std::string line;
  if (!std::getline(file, line)) return std::nullopt;
  const auto nameEnd = line.rfind(')');
  if (nameEnd == std::string::npos) return std::nullopt;
  std::istringstream fields(line.substr(nameEnd + 1));
  std::string field;
  // state is field 3; utime and stime are fields 14 and 15
  for (int number = 3; number < 14; ++number) fields >> field;
  unsigned long long user = 0;
  unsigned long long system = 0;
  if (!(fields >> user >> system)) return std::nullopt;
  return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace

std::vector<ThreadCpuTime> ThreadCpuTimes() {
  std::vector<ThreadCpuTime> threads;
  DIR* directory = opendir("/proc/self/task");
  if (directory == nullptr) return threads;
  while (const dirent* entry = readdir(directory)) {
    const std::string name = entry->d_name;
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    if (auto seconds = CpuSecondsOfStatFile("/proc/self/task/" + name + "/stat")) {
      threads.push_back({std::stoi(name), *seconds});
    }
  }
  closedir(directory);
  return threads;
}

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

std::optional<double> ProcessCpuSeconds(int processId) {
  if (processId <= 0) return std::nullopt;
  return CpuSecondsOfStatFile("/proc/" + std::to_string(processId) + "/stat");
}

}  // namespace platform
