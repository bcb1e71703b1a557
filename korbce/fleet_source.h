#pragma once
// Finds the fleet file and keeps its parsed fleet up to date.

#include <memory>
#include <optional>
#include <string>

#include "korbce/fleet.h"

namespace platform {
struct ProfileDocument;
}

namespace korbce {

// Not thread-safe: the engine calls it under its lock.
class FleetSource {
 public:
  // Nothing as the path: "korbce.ini" found by the platform's path search.
  explicit FleetSource(std::optional<std::string> path) : configuredPath_(std::move(path)) {}

  // The fleet as the file stands now, re-read when the file has changed;
  // null when the file cannot be found or read.
  std::shared_ptr<const Fleet> Current();

 private:
  std::optional<std::string> FindFile() const;
  // Traces a problem with the file once, until the file is read again.
  void ReportFileProblem(const std::string& problem);

  std::optional<std::string> configuredPath_;
  std::string path_;
  std::shared_ptr<const platform::ProfileDocument> document_;
  std::shared_ptr<const Fleet> fleet_;
  std::string reportedProblem_;
};

}  // namespace korbce
