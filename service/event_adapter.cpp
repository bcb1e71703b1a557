#include "service/event_adapter.h"

#include <ctime>
#include <vector>

#include "bce/bce.h"
#include "eif/eif_config.h"
#include "eif/event_cache.h"
#include "service/alert_intake.h"
#include "service/sender_loop.h"
#include "settings/settings_readers.h"
#include "vigilix/vigilix.h"

EventAdapter::EventAdapter(PrinterTable& table, EventQueue& queue)
    : table_(table), queue_(queue), discovery_(table, settings_) {}

EventAdapter::~EventAdapter() = default;

bool EventAdapter::StartAdapter(const std::string& settingsPath, platform::Event& stopEvent) {
  settings_.settingsPath = settingsPath;
  settings_.EnumerationMask = ReadEnumerationMask(settingsPath);
  ReadAlertSelection(settingsPath, settings_.alertSelection);
  platform::WindowHandle window = VXCreate();
  if (!window) return false;
  appId_ = BceRegisterApp(window);
  if (appId_ < 1) return false;
  discovery_.SetApplicationId(appId_);
  discovery_.ConfigureSubnets();
  settings_.onlyDefinedPorts = ReadEnumerateOnlyDefinedPorts(settingsPath);
  if (!discovery_.DiscoverPrinters(settings_.EnumerationMask)) return false;
  // Discovery may take long; a service stopped meanwhile starts nothing more.
  if (stopEvent.IsSignalled()) return false;
  settings_.checkInterval = ReadCheckInterval(settingsPath);
  BindAlertCallback(&table_, &queue_);
  if (!VXInit(AlertCallback, appId_, settings_.checkInterval)) return false;
  if (EifReadConfig(settingsPath) != 0) return false;
  tecClock_ = std::make_unique<StopEndsWaitsClock>(stopEvent, &senderProgress_);
  tecHandle_.reset(TecOpen({}, 0, 0, TEC_MODE_FROM_CONFIG, TecSeams{nullptr, tecClock_.get()}));
  if (!tecHandle_) return false;
  status_.SetCachePath(ReadCacheSettings().path);
  status_.RecordTec(TecServerStateOf(*tecHandle_));
  progressHandle_ = tecHandle_.get();
  stopEvent_ = &stopEvent;
  StartRegistrationThread();
  if (ArmRediscovery(settingsPath, settings_) && !rediscoveryThread_.Start([this] { return RediscoveryThread(); })) {
    return false;
  }
  TecHandle* handle = tecHandle_.get();
  return senderThread_.Start([this, handle] {
    return RunSenderLoop(
        queue_, *stopEvent_,
        [this, handle](const std::string& event) {
          TecSendEvent(handle, event);
          ++senderProgress_;
          status_.RecordTec(TecServerStateOf(*handle));
        },
        &senderProgress_);
  });
}

std::uint64_t EventAdapter::SenderProgress() const {
  const TecHandle* handle = progressHandle_.load();
  return senderProgress_.load() + (handle != nullptr ? handle->eventsDelivered.load() : 0);
}

std::uint64_t EventAdapter::EngineProgress() { return BceCheckRounds(); }

// Registration threads of consecutive passes may overlap; each runs on alone.
void EventAdapter::StartRegistrationThread() {
  platform::Thread registration;
  registration.Start([this] { return RegistrationThread(); });
}

std::uint32_t EventAdapter::RegistrationThread() {
  std::vector<std::uint16_t> ids(table_.Count());
  ids.resize(table_.CopyIds(ids));
  for (std::uint16_t id : ids) {
    VXRegisterPrinter(id, &settings_.alertSelection);
    if (stopEvent_->Wait(0)) return kRegistrationThreadStoppedCode;
  }
  return 0;
}

std::uint32_t EventAdapter::RediscoveryThread() {
  for (;;) {
    if (stopEvent_->Wait(1000)) return kRediscoveryThreadExitCode;
    if (settings_.nextDiscoveryTime >= std::time(nullptr)) continue;
    RediscoveryPass();
    // An hours value that no longer lies in 2 to 24 ends the periodic
    // rediscovery instead of starting a pass every second.
    if (!ArmRediscovery(settings_.settingsPath, settings_)) return 0;
  }
}

void EventAdapter::RediscoveryPass() {
  const std::string& path = settings_.settingsPath;
  settings_.EnumerationMask = ReadEnumerationMask(path);
  ReadAlertSelection(path, settings_.alertSelection);
  discovery_.ConfigureSubnets();
  settings_.onlyDefinedPorts = ReadEnumerateOnlyDefinedPorts(path);
  discovery_.DiscoverPrinters(settings_.EnumerationMask);
  settings_.checkInterval = ReadCheckInterval(path);
  VXInit(AlertCallback, appId_, settings_.checkInterval);
  StartRegistrationThread();
}
