#include "service/adapter_service.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "platform/registry.h"
#include "service/service_trace.h"

namespace {

constexpr std::uint32_t kRunPollMs = 1000;

std::string ServiceKeyPath(const char* subkey) {
  return std::string("SYSTEM\\CurrentControlSet\\Services\\") + CNTService::ServiceName() + subkey;
}

// A missing value leaves the field as it was.
void ReadParameter(const platform::RegistryKey& key, const char* name, std::int32_t& field) {
  std::uint32_t value = 0;
  if (key.QueryDword(name, value) == 0) field = static_cast<std::int32_t>(value);
}

}  // namespace

AdapterService::AdapterService() : CNTService("KorEvntS") {}

void AdapterService::SetStartEvents(platform::Event* startFailed, platform::Event* startFinished) {
  startFailedEvent_ = startFailed;
  startFinishedEvent_ = startFinished;
}

bool AdapterService::OnInit() {
  platform::RegistryKey parameters;
  if (platform::RegistryKey::Open(platform::HKEY_LOCAL_MACHINE, ServiceKeyPath("\\Parameters"), parameters) == 0) {
    ReadParameter(parameters, "Start", startValue);
    ReadParameter(parameters, "Inc", increment);
  }
  // Answer only once the adapter's start-up has ended, so that a start-up
  // that fails late never leaves a running service without an adapter; or
  // once a stop has been asked for, which the start-up gives up for.
  if (startFinishedEvent_ != nullptr) {
    const std::array<platform::Event*, 2> ends = {startFinishedEvent_, &StopRequestedEvent()};
    platform::WaitForAny(ends);
  }
  if (startFailedEvent_ != nullptr && startFailedEvent_->Wait(0)) return false;
  currentValue = startValue;
  return true;
}

// Sends the status line and, while every watched thread makes progress, the
// watchdog's sign of health, several times within each watchdog interval.
void AdapterService::Run() {
  const std::uint64_t watchdogMs = platform::ServiceWatchdogIntervalMs();
  const auto pollMs = static_cast<std::uint32_t>(
      watchdogMs == 0 ? kRunPollMs : std::clamp<std::uint64_t>(watchdogMs / 4, 1, kRunPollMs));
  std::int64_t nextStatusMs = 0;
  while (IsRunning()) {
    const std::int64_t nowMs = platform::MonotonicMilliseconds();
    if (nowMs >= nextStatusMs) {
      ReportStatusLine();
      nextStatusMs = nowMs + kStatusRefreshMs;
    }
    if (watchdogMs != 0 && progressWatch_.AllProgressed(nowMs, static_cast<std::int64_t>(watchdogMs))) {
      platform::NotifyServiceWatchdog();
    }
    Pause(pollMs);
  }
  currentValue += increment;
}

void AdapterService::Pause(std::uint32_t milliseconds) {
  if (startFailedEvent_ != nullptr) {
    startFailedEvent_->Wait(milliseconds);
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
}

void AdapterService::ReportStatusLine() {
  if (!statusLine_) return;
  std::string line = statusLine_();
  if (line.empty() || line == reportedLine_) return;
  SetStatusText(line);
  reportedLine_ = std::move(line);
}

bool AdapterService::OnUserControl(std::uint32_t control) {
  if (control != SERVICE_CONTROL_SAVE_STATUS) return false;
  SaveStatus();
  return true;
}

void AdapterService::SaveStatus() {
  Trace("Saving current status");
  const std::string path = ServiceKeyPath("\\Status");
  Trace("Creating key: %s", path.c_str());
  platform::RegistryKey key;
  if (const int error = platform::RegistryKey::Create(platform::HKEY_LOCAL_MACHINE, path, key); error != 0) {
    Trace("Failed to create Status key (%lu)", static_cast<unsigned long>(error));
    return;
  }
  Trace("Saving 'Current' as %ld", static_cast<long>(currentValue.load()));
  key.SetDword("Current", static_cast<std::uint32_t>(currentValue.load()));
}
