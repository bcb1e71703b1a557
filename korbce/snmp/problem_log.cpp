#include "korbce/snmp/problem_log.h"

#include "platform/trace.h"

namespace korbce::snmp {
namespace {

// Past this many problems remembered, those not seen for a minute are dropped.
constexpr std::size_t kRemembered = 1024;

}  // namespace

void ProblemLog::Report(const std::string& printer, const std::string& problem, Clock::time_point now) {
  std::string line;
  {
    platform::ScopedLock lock(mutex_);
    if (seen_.size() >= kRemembered) ForgetOld(now);
    auto [found, added] = seen_.try_emplace({printer, problem}, Seen{now, 0});
    Seen& seen = found->second;
    if (!added && now - seen.written < kQuietPeriod) {
      ++seen.unwritten;
      return;
    }
    line = "korbce: " + subject_ + " " + printer + ": " + problem;
    if (seen.unwritten != 0) line += " (" + std::to_string(seen.unwritten + 1) + " times since it was last written)";
    seen = Seen{now, 0};
  }
  platform::OutputDebugString(line + "\n");
}

void ProblemLog::ForgetOld(Clock::time_point now) {
  std::erase_if(seen_, [now](const auto& entry) { return now - entry.second.written >= kQuietPeriod; });
}

}  // namespace korbce::snmp
