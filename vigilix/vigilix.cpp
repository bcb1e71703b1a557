// The library's exports.

#include "vigilix/vigilix.h"

#include <memory>
#include <optional>
#include <string>

#include "bce/bce.h"
#include "platform/path_search.h"
#include "vigilix/engine_queries.h"
#include "vigilix/library.h"
#include "vigilix/printer_database.h"

namespace vigilix {
namespace {

constexpr std::uint16_t kAllPrinters = 0xFFFF;
constexpr std::uint32_t kMonitorCommunication = 1;

// How long unloading waits for the worker to finish the report it is on.
constexpr std::uint32_t kUnloadWaitMs = 2000;

struct Library {
  // The window goes first: its destruction tells the worker to end.
  ~Library() {
    window.reset();
    engine->WaitForWorker(kUnloadWaitMs);
  }

  std::shared_ptr<AlertEngine> engine = AlertEngine::Create();
  std::unique_ptr<CaptureWindow> window = std::make_unique<CaptureWindow>(engine);
};

Library library;

}  // namespace

AlertEngine& LibraryEngine() { return *library.engine; }
CaptureWindow& LibraryWindow() { return *library.window; }

}  // namespace vigilix

using vigilix::LibraryEngine;
using vigilix::LibraryWindow;

platform::WindowHandle VXCreate() { return LibraryWindow().Create(); }

int VXInit(VX_ALERT_CALLBACK callback, std::int16_t application, std::uint32_t checkInterval) {
  if (callback == nullptr || !LibraryEngine().EventsValid()) return 0;
  const std::optional<std::string> dbPath =
      platform::SearchPath(vigilix::kDatabaseFileName, vigilix::kDatabasePathBufferSize);
  if (!dbPath || !vigilix::IsDatabaseVersionSupported(*dbPath)) return 0;
  vigilix::AlertEngine& engine = LibraryEngine();
  const auto previous = engine.Settings();
  engine.Configure(vigilix::EngineSettings{callback, *dbPath, application});
  if (!engine.StartWorker()) {
    engine.Configure(previous);
    return 0;
  }
  if (checkInterval != 0)
    BceMonitorPrinter(application, vigilix::kAllPrinters, vigilix::kMonitorCommunication, checkInterval);
  return 1;
}

int VXRegisterPrinter(std::uint16_t printer, ALERTS* alerts) {
  return VXRegisterPrinter(printer, vigilix::kNoDeviceClass, nullptr, alerts);
}

int VXRegisterPrinter(std::uint16_t printer, std::uint8_t deviceClass, std::uint8_t* data, ALERTS* alerts) {
  // Without a successful VXInit there is no application to capture for.
  const auto settings = LibraryEngine().Settings();
  if (!settings) return 0;
  const std::int16_t application = settings->application;
  if (BceCaptureAlerts(application, printer, alerts, LibraryWindow().Handle(), 0) != 0) return 0;
  if (deviceClass == vigilix::kNoDeviceClass) deviceClass = vigilix::QueryDeviceClass(application, printer);
  // What a caller's data should supply is not defined: it only spares the model query.
  std::string model = data == nullptr ? vigilix::QueryModel(application, printer) : std::string();
  vigilix::PrinterStateList& printers = LibraryEngine().printerList;
  printers.Register(printer, deviceClass, std::move(model));
  printers.RefreshInputs(application, printer);
  printers.RefreshOutputs(application, printer);
  return 1;
}
