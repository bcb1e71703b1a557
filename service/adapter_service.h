#pragma once
// AdapterService: the adapter's service. It starts when the adapter's own
// start-up on the main thread has ended well, keeps a few status values under
// the service's registry key, and saves them on user control code 128.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/event.h"
#include "service/nt_service.h"
#include "service/progress_watch.h"

constexpr std::uint32_t SERVICE_CONTROL_SAVE_STATUS = 128;
// How often the running service looks at its status line.
constexpr std::uint32_t kStatusRefreshMs = 2000;

class AdapterService : public CNTService {
 public:
  AdapterService();

  bool OnInit() override;
  void Run() override;
  bool OnUserControl(std::uint32_t control) override;

  void SaveStatus();

  // Handed over by the dispatcher thread before the service control manager
  // is called: signalled when the start-up failed, and (manual reset) when it
  // has ended either way.
  void SetStartEvents(platform::Event* startFailed, platform::Event* startFinished);

  // While the service runs, the status line is asked for every
  // kStatusRefreshMs and sent when it has changed; an empty one is not sent.
  void SetStatusLineSource(std::function<std::string()> source) { statusLine_ = std::move(source); }
  // A thread that must make progress within each watchdog interval for the
  // service manager to hear that the service is healthy. Set before the
  // service runs.
  void WatchProgress(ProgressWatch::Progress progress) { progressWatch_.Watch(std::move(progress)); }

  std::int32_t startValue = 0;
  std::int32_t increment = 1;
  // Read by SaveStatus on the control handler's thread.
  std::atomic<std::int32_t> currentValue{0};

 private:
  void Pause(std::uint32_t milliseconds);
  void ReportStatusLine();

  platform::Event* startFailedEvent_ = nullptr;
  platform::Event* startFinishedEvent_ = nullptr;
  // Used by the service thread alone once it runs.
  std::function<std::string()> statusLine_;
  std::string reportedLine_;
  ProgressWatch progressWatch_;
};
