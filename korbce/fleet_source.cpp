#include "korbce/fleet_source.h"

#include "platform/path_search.h"
#include "platform/profile.h"
#include "platform/trace.h"

namespace korbce {
namespace {

constexpr char kFleetFileName[] = "korbce.ini";
constexpr std::size_t kMaxPath = 4096;

}  // namespace

std::optional<std::string> FleetSource::FindFile() const {
  if (configuredPath_) return configuredPath_;
  return platform::SearchPath(kFleetFileName, kMaxPath);
}

std::shared_ptr<const Fleet> FleetSource::Current() {
  const auto path = FindFile();
  if (!path) {
    ReportFileProblem(std::string("no fleet file ") + kFleetFileName + " found by the path search");
    document_.reset();
    fleet_.reset();
    return nullptr;
  }
  auto document = platform::LoadProfile(*path);
  if (!document) {
    ReportFileProblem("cannot read the fleet file " + *path);
    document_.reset();
    fleet_.reset();
    return nullptr;
  }
  // The platform hands back the same parsed document while the file is
  // unchanged; a file changed while it was read comes back parsed anew, and is
  // taken at a later check, once it holds still.
  if (platform::LoadProfile(*path) != document) {
    ReportFileProblem("the fleet file " + *path + " changed while it was read; the fleet read before is kept");
    return fleet_;
  }
  if (document != document_ || *path != path_) {
    reportedProblem_.clear();
    path_ = *path;
    document_ = std::move(document);
    fleet_ = std::make_shared<const Fleet>(ParseFleet(*document_, path_));
    platform::OutputDebugString("korbce: read the fleet file " + path_ + ": " +
                                std::to_string(fleet_->printers.size()) + " printers\n");
  }
  return fleet_;
}

void FleetSource::ReportFileProblem(const std::string& problem) {
  if (problem == reportedProblem_) return;
  reportedProblem_ = problem;
  platform::OutputDebugString("korbce: " + problem + "\n");
}

}  // namespace korbce
