#pragma once
// The trace lines of SNMP problems, each naming its printer. The same problem
// of the same printer is written at most once a minute; the next line it
// gets says how often it came meanwhile.

#include <chrono>
#include <cstddef>
#include <map>
#include <string>
#include <utility>

#include "platform/critical_section.h"

namespace korbce::snmp {

class ProblemLog {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::seconds kQuietPeriod{60};

  // subject: what each line names before the printer.
  explicit ProblemLog(std::string subject = "SNMP printer") : subject_(std::move(subject)) {}

  // printer: the address and port the printer is asked at.
  void Report(const std::string& printer, const std::string& problem, Clock::time_point now = Clock::now())
      EXCLUDES(mutex_);

 private:
  struct Seen {
    Clock::time_point written;
    std::size_t unwritten = 0;  // times it came since written
  };
  void ForgetOld(Clock::time_point now) REQUIRES(mutex_);

  const std::string subject_;
  platform::CriticalSection mutex_;
  std::map<std::pair<std::string, std::string>, Seen> seen_ GUARDED_BY(mutex_);
};

}  // namespace korbce::snmp
