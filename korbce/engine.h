#pragma once
// The engine behind the nine Bce functions: it serves the printers of the
// fleet file and posts their notifications to the capturing windows.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bce/bce.h"
#include "korbce/call_log.h"
#include "korbce/capture.h"
#include "korbce/fleet_source.h"
#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/thread.h"

namespace korbce {

// Results of the calls; every failure is non-zero.
constexpr std::int32_t kBceSuccess = 0;
constexpr std::int32_t kBceNoFleet = 1;           // no fleet file, or the fleet says the call fails
constexpr std::int32_t kBceUnknownPrinter = 2;
constexpr std::int32_t kBceNoAnswer = 3;          // the printer is not online
constexpr std::int32_t kBceUnsupported = 4;       // a command or request the engine does not answer
constexpr std::int32_t kBceBufferTooSmall = 5;
constexpr std::int32_t kBceBadArgument = 6;

constexpr std::uint32_t kDefaultCheckIntervalMs = 250;

struct EngineOptions {
  std::optional<std::string> fleetPath;  // nothing: "korbce.ini" by path search
  std::string logPath;                   // empty: no call log
  // How often the engine's thread checks the fleet file; 0 starts no thread,
  // and the fleet is then checked only by CheckFleet.
  std::uint32_t checkIntervalMs = kDefaultCheckIntervalMs;
};

// KORBCE_FLEET and KORBCE_LOG, each when set and not empty.
EngineOptions EngineOptionsFromEnvironment();

class Engine {
 public:
  explicit Engine(EngineOptions options);
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  std::int16_t RegisterApp(platform::WindowHandle window);
  std::int32_t EnumPrinters(std::int16_t application, std::uint32_t mask, BCE_ENUM_CALLBACK callback);
  std::int32_t EnumSpecificPort(std::int16_t application, std::uint32_t classes, const char* portName,
                                BCE_ENUM_CALLBACK callback);
  std::int32_t GetPrinterAddrEx(std::uint16_t printer, std::uint32_t reserved, std::uint8_t* block,
                                std::uint32_t kind);
  std::int32_t ExchangeNetInfo(std::uint32_t target, std::uint32_t protocol, std::uint32_t request,
                               const void* buffer, std::uint32_t length, std::uint32_t reserved1,
                               std::uint32_t reserved2, BCE_NETINFO_CALLBACK callback);
  std::int32_t SetNetInfo(std::uint32_t target, std::uint32_t protocol, std::uint32_t kind, const void* block,
                          std::uint32_t length);
  std::int32_t MonitorPrinter(std::int16_t application, std::uint16_t printer, std::uint32_t mode,
                              std::uint32_t seconds);
  std::int32_t CaptureAlerts(std::int16_t application, std::uint16_t printer, ALERTS* alerts,
                             platform::WindowHandle window, std::uint32_t reserved);
  std::int32_t SendBidi(std::int16_t application, std::uint16_t printer, std::uint32_t reserved,
                        std::uint32_t command, std::uint8_t* reply, std::uint32_t* replyLength,
                        const std::uint8_t* request, std::uint32_t requestLength);

  // Re-reads the fleet file when it has changed and posts every notification
  // that is due. The engine's thread runs it at each check interval.
  void CheckFleet();
  // Ends the engine's thread; the calls go on working.
  void StopChecking();

 private:
  struct Monitoring {
    std::int16_t application;
    std::uint16_t printer;  // 0xFFFF: every printer of the application
  };

  std::shared_ptr<const Fleet> CurrentFleet();
  std::int32_t EnumerateMatching(std::uint32_t mask, const char* portName, BCE_ENUM_CALLBACK callback);
  std::int32_t Answer(std::uint16_t printer, std::uint32_t command, std::uint8_t* reply, std::uint32_t* replyLength);
  void CheckCapture(Capture& capture, const Fleet* fleet, std::chrono::steady_clock::time_point now);
  bool IsMonitored(const Capture& capture) const;
  std::uint32_t CheckLoop(std::uint32_t intervalMs);

  CallLog log_;
  const std::chrono::milliseconds checkInterval_;
  platform::CriticalSection lock_;  // guards everything below
  FleetSource fleetSource_;
  std::int16_t nextApplication_ = 1;
  std::vector<Capture> captures_;
  std::vector<Monitoring> monitoring_;

  platform::Event stopEvent_{true, false};
  platform::Thread checker_;
};

// The process's engine, made at its first use from the environment. It is
// never destroyed, as other libraries' threads may still call it while the
// process ends; its thread is ended at exit.
Engine& TheEngine();

}  // namespace korbce
