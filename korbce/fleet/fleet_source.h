#pragma once
// Finds the engine's file, keeps its parsed fleet up to date, and serves the
// fleet's simulated printers.

#include <memory>
#include <optional>
#include <string>

#include "korbce/fleet/fleet.h"
#include "korbce/printer_source.h"
#include "platform/critical_section.h"
#include "profile/profile.h"

namespace korbce {

class FleetSource : public PrinterSource {
 public:
  // Nothing as the path: "korbce.ini" found by the platform's path search.
  explicit FleetSource(std::optional<std::string> path) : configuredPath_(std::move(path)) {}

  // The fleet as the file stands now, re-read when the file has changed;
  // null when the file cannot be found or read.
  std::shared_ptr<const Fleet> Current() EXCLUDES(mutex_);
  // The sections of the file as last read other than its printers, which
  // only the fleet keeps; null while there is none. A new document at every
  // read of the file.
  std::shared_ptr<const platform::ProfileDocument> Document() EXCLUDES(mutex_);
  std::string Path() EXCLUDES(mutex_);

  // Reads the file when it has changed, and tells its other sections.
  void Refresh(EngineFile& file) override;
  // The calls below serve the fleet as last read.
  std::optional<PrinterList> Enumerate(std::uint32_t mask) override;
  PrinterList EnumeratePort(std::string_view port) override;
  std::shared_ptr<const PrinterState> Find(std::uint16_t id) override;
  // Every printer, whenever the fleet was read again or dropped.
  StateChanges TakeStateChanges() override;
  bool AllowsRegistration() override;
  std::optional<NetInfoRecords> NetInfoReplies() override;

 private:
  std::shared_ptr<const Fleet> LastRead();
  std::optional<std::string> FindFile() const;
  // Drops the fleet and what was read with it.
  void Forget() REQUIRES(mutex_);
  // Traces a problem with the file once, until the file is read again.
  void ReportFileProblem(const std::string& problem) REQUIRES(mutex_);

  // The innermost lock of the engine: held while the file is read, and never
  // while anything outside this source is called.
  platform::CriticalSection mutex_;
  const std::optional<std::string> configuredPath_;
  std::string path_ GUARDED_BY(mutex_);
  // The version of the file the fleet was read from. The parsed file itself
  // is not kept: a large fleet's file takes more memory than the fleet.
  std::optional<platform::FileVersion> version_ GUARDED_BY(mutex_);
  std::shared_ptr<const platform::ProfileDocument> document_ GUARDED_BY(mutex_);
  std::shared_ptr<const Fleet> fleet_ GUARDED_BY(mutex_);
  std::string reportedProblem_ GUARDED_BY(mutex_);
  // Counts the fleets dropped; the count last taken by TakeStateChanges.
  std::uint64_t generation_ GUARDED_BY(mutex_) = 0;
  std::uint64_t takenGeneration_ GUARDED_BY(mutex_) = 0;
};

}  // namespace korbce
