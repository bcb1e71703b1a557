#include "korbce/fleet/fleet_source.h"

#include <chrono>
#include <thread>

#include "platform/critical_section.h"
#include "platform/path_search.h"
#include "profile/profile.h"
#include "platform/trace.h"

namespace korbce {
namespace {

constexpr char kFleetFileName[] = "korbce.ini";
constexpr std::size_t kMaxPath = 4096;

// The sections of the file that are not printers, in file order.
std::shared_ptr<const platform::ProfileDocument> OtherSections(const platform::ProfileDocument& document) {
  auto others = std::make_shared<platform::ProfileDocument>();
  for (const platform::ProfileSection& section : document.sections) {
    if (!IsPrinterSection(section.name)) others->sections.push_back(section);
  }
  return others;
}

}  // namespace

std::optional<std::string> FleetSource::FindFile() const {
  if (configuredPath_) return configuredPath_;
  return platform::SearchPath(kFleetFileName, kMaxPath);
}

std::shared_ptr<const Fleet> FleetSource::Current() {
  platform::ScopedLock lock(mutex_);
  const auto path = FindFile();
  if (!path) {
    ReportFileProblem(std::string("no fleet file ") + kFleetFileName + " found by the path search");
    Forget();
    return nullptr;
  }
  const std::optional<platform::FileVersion> version = platform::FileVersionOf(*path);
  if (version && version == version_ && *path == path_) return fleet_;
  bool changed = false;
  const auto document = version ? platform::ReadProfileVersion(*path, *version, changed) : nullptr;
  if (changed) {
    // Taken at a later check, once the file holds still.
    ReportFileProblem("the fleet file " + *path + " changed while it was read; the fleet read before is kept");
    return fleet_;
  }
  if (!document) {
    ReportFileProblem("cannot read the fleet file " + *path);
    Forget();
    return nullptr;
  }
  reportedProblem_.clear();
  path_ = *path;
  // The fleet read before goes first, so that this source never keeps two.
  Forget();
  fleet_ = std::make_shared<const Fleet>(ParseFleet(*document, path_));
  document_ = OtherSections(*document);
  version_ = version;
  platform::OutputDebugString("korbce: read the fleet file " + path_ + ": " + std::to_string(fleet_->printers.size()) +
                              " printers\n");
  return fleet_;
}

void FleetSource::Forget() {
  ++generation_;
  version_.reset();
  document_.reset();
  fleet_.reset();
}

void FleetSource::Refresh(EngineFile& file) {
  Current();
  platform::ScopedLock lock(mutex_);
  file.document = document_;
  file.path = path_;
}

std::shared_ptr<const Fleet> FleetSource::LastRead() {
  platform::ScopedLock lock(mutex_);
  return fleet_;
}

std::shared_ptr<const platform::ProfileDocument> FleetSource::Document() {
  platform::ScopedLock lock(mutex_);
  return document_;
}

std::string FleetSource::Path() {
  platform::ScopedLock lock(mutex_);
  return path_;
}

template <class Matches>
PrinterList PrintersOf(const std::shared_ptr<const Fleet>& fleet, Matches matches) {
  PrinterList printers;
  for (const FleetPrinter& printer : fleet->printers) {
    if (matches(printer)) printers.emplace_back(fleet, &printer);
  }
  return printers;
}

std::optional<PrinterList> FleetSource::Enumerate(std::uint32_t mask) {
  const auto fleet = LastRead();
  if (!fleet || fleet->engine.enumFails) return std::nullopt;
  std::this_thread::sleep_for(std::chrono::milliseconds(fleet->engine.enumDelayMs));
  return PrintersOf(fleet, [mask](const FleetPrinter& printer) { return (mask & printer.classes) != 0; });
}

PrinterList FleetSource::EnumeratePort(std::string_view port) {
  const auto fleet = LastRead();
  if (!fleet) return {};
  return PrintersOf(fleet, [port](const FleetPrinter& printer) {
    return !printer.spoolerPort.empty() && common::EqualsIgnoreCase(printer.spoolerPort, port);
  });
}

std::shared_ptr<const PrinterState> FleetSource::Find(std::uint16_t id) {
  const auto fleet = LastRead();
  const FleetPrinter* printer = fleet ? fleet->Find(id) : nullptr;
  if (printer == nullptr) return nullptr;
  return std::shared_ptr<const PrinterState>(fleet, printer);
}

StateChanges FleetSource::TakeStateChanges() {
  platform::ScopedLock lock(mutex_);
  const bool changed = generation_ != takenGeneration_;
  takenGeneration_ = generation_;
  return {.all = changed, .ids = {}};
}

bool FleetSource::AllowsRegistration() {
  const auto fleet = LastRead();
  return fleet && !fleet->engine.registerFails;
}

std::optional<NetInfoRecords> FleetSource::NetInfoReplies() {
  const auto fleet = LastRead();
  if (!fleet || fleet->engine.netInfoFails) return std::nullopt;
  return fleet->engine.netInfoReplies;
}

void FleetSource::ReportFileProblem(const std::string& problem) {
  if (problem == reportedProblem_) return;
  reportedProblem_ = problem;
  platform::OutputDebugString("korbce: " + problem + "\n");
}

}  // namespace korbce
