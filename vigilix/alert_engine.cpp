#include "vigilix/alert_engine.h"

#include <array>

#include "bce/bce_records.h"
#include "vigilix/alert_decoder.h"
#include "vigilix/alert_report.h"
#include "vigilix/engine_queries.h"
#include "vigilix/message_catalog.h"

namespace vigilix {
namespace {

constexpr int kOfflineBit = 8;
constexpr std::uint32_t kCategoryBits = 0x1FF;

}  // namespace

std::shared_ptr<AlertEngine> AlertEngine::Create() { return std::shared_ptr<AlertEngine>(new AlertEngine()); }

AlertEngine::~AlertEngine() = default;

void AlertEngine::Configure(EngineSettings settings) {
  Configure(std::make_shared<const EngineSettings>(std::move(settings)));
}

void AlertEngine::Configure(std::shared_ptr<const EngineSettings> settings) {
  platform::ScopedLock guard(settingsLock_);
  settings_ = std::move(settings);
}

std::shared_ptr<const EngineSettings> AlertEngine::Settings() const {
  platform::ScopedLock guard(settingsLock_);
  return settings_;
}

bool AlertEngine::IsWorkerRunning() const {
  platform::ScopedLock guard(workerLock_);
  return worker_.IsStarted() && !worker_.ExitCode();
}

bool AlertEngine::StartWorker() {
  platform::ScopedLock guard(workerLock_);
  if (worker_.IsStarted()) {
    if (!worker_.ExitCode()) return true;
    worker_.Join();
    worker_ = platform::Thread();
  }
  // The worker holds the engine until it ends, so the engine outlives it.
  return worker_.Start([self = shared_from_this()]() mutable {
    const auto engine = std::move(self);
    return engine->WorkerLoop();
  });
}

void AlertEngine::StopWorker() {
  platform::ScopedLock guard(workerLock_);
  if (!worker_.IsStarted()) return;
  quitEvent.Set();
  worker_.Join();
  worker_ = platform::Thread();
}

std::optional<std::uint32_t> AlertEngine::WaitForWorker(std::uint32_t timeoutMs) {
  platform::ScopedLock guard(workerLock_);
  if (!worker_.IsStarted() || !worker_.Wait(timeoutMs)) return std::nullopt;
  return worker_.ExitCode();
}

std::uint32_t AlertEngine::WorkerLoop() {
  // The quit event comes first: once the window is gone, pending work is dropped.
  const std::array<platform::Event*, 2> events = {&quitEvent, &workEvent};
  while (platform::WaitForAny(events) == 1) ProcessAllPending();
  return kWorkerExitCode;
}

void AlertEngine::ProcessAllPending() {
  PendingEntry pending;
  while (!quitEvent.IsSignalled() && pendingList.TakeFirst(pending)) Process(pending);
}

void AlertEngine::Process(const PendingEntry& pending) {
  const std::shared_ptr<const EngineSettings> settings = Settings();
  if (!settings || settings->callback == nullptr) return;
  const std::uint16_t printer = pending.printerId;
  PrinterIdentity identity = printerList.PrinterFacts(printer);
  AlertReport report(printer, std::move(identity.model));
  const AnsweringPrinter answering{printer, identity.deviceClass, settings->application};
  const std::uint32_t mask = pending.alertMask & kCategoryBits;
  for (int bit = 0; (mask >> bit) != 0; ++bit) {
    if ((mask & (1u << bit)) == 0) continue;
    if (bit == kOfflineBit) {
      report.Add(VX_CODE_OFFLINE, LoadText(kTextOffline));
      continue;
    }
    const auto answer = QueryCategoryStatus(settings->application, printer, kCategoryStatusCommand[bit]);
    if (answer) DecodeCategoryStatus(*answer, settings->dbPath, answering, printerList, report);
  }
  if (pending.commState == kCommLost) report.Add(VX_CODE_COMM_LOST, LoadText(kTextNotCommunicating));
  if (pending.commState == kCommRestored) report.Add(VX_CODE_COMM_RESTORED, LoadText(kTextCommunicationRestored));
  if (report.IsEmpty()) report.Add(VX_CODE_READY, LoadText(kTextReady));
  report.Deliver(settings->callback);
}

}  // namespace vigilix
