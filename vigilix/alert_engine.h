#pragma once
// The library's engine object: the caller's settings, the pending and printer
// lists, the two events and the worker thread that turns pending
// notifications into reports.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/thread.h"
#include "vigilix/printer_state_list.h"
#include "vigilix/vigilix.h"

namespace vigilix {

constexpr std::uint32_t kWorkerExitCode = 777;

// What VXInit hands over; replaced as a whole, never seen half-replaced.
struct EngineSettings {
  VX_ALERT_CALLBACK callback = nullptr;
  std::string dbPath;
  std::int16_t application = 0;
};

class AlertEngine : public std::enable_shared_from_this<AlertEngine> {
 public:
  // Shared with the worker thread, which keeps it alive while it runs.
  static std::shared_ptr<AlertEngine> Create();
  ~AlertEngine();
  AlertEngine(const AlertEngine&) = delete;
  AlertEngine& operator=(const AlertEngine&) = delete;

  bool EventsValid() const { return workEvent.IsValid() && quitEvent.IsValid(); }

  // Replaces the settings as a whole; nothing clears them.
  void Configure(EngineSettings settings);
  // Puts back settings that Settings gave; null stands for none.
  void Configure(std::shared_ptr<const EngineSettings> settings) EXCLUDES(settingsLock_);
  // The settings of the last Configure; null before the first. Shared, so
  // that every report and registration reads them without a copy.
  std::shared_ptr<const EngineSettings> Settings() const EXCLUDES(settingsLock_);

  // Starts the worker unless it is running; false when it cannot be started.
  bool StartWorker() EXCLUDES(workerLock_);
  bool IsWorkerRunning() const EXCLUDES(workerLock_);
  // Tells the worker to end and waits until it has.
  void StopWorker() EXCLUDES(workerLock_);
  // Waits for the worker to end (up to timeoutMs); its exit code once ended.
  std::optional<std::uint32_t> WaitForWorker(std::uint32_t timeoutMs) EXCLUDES(workerLock_);

  // Builds and delivers the report for one pending entry.
  void Process(const PendingEntry& pending);

  PrinterStateList pendingList;
  PrinterStateList printerList;
  platform::Event workEvent{false, false};
  platform::Event quitEvent{false, false};

 private:
  AlertEngine() = default;
  std::uint32_t WorkerLoop();
  void ProcessAllPending();

  mutable platform::CriticalSection settingsLock_;
  std::shared_ptr<const EngineSettings> settings_ GUARDED_BY(settingsLock_);
  // Held while the worker is started, stopped or waited for.
  mutable platform::CriticalSection workerLock_;
  platform::Thread worker_ GUARDED_BY(workerLock_);
};

}  // namespace vigilix
