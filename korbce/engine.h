#pragma once
// The engine behind the nine Bce functions. Its core keeps the applications,
// the captures and monitoring requests, posts the notifications and writes the
// call log; printer sources serve the printers: the simulated fleet of the
// engine's file, and network printers over SNMP configured in the same file.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <map>
#include <unordered_map>
#include <vector>

#include "bce/bce.h"
#include "korbce/call_log.h"
#include "korbce/capture.h"
#include "korbce/printer_source.h"
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
  // Where network printers' ids are kept when the [SNMP] section names no
  // IdFile; empty: under KOREVNTS_ROOT.
  std::string defaultIdFile;
};

// KORBCE_FLEET and KORBCE_LOG, each when set and not empty.
EngineOptions EngineOptionsFromEnvironment();

class Engine {
 public:
  explicit Engine(EngineOptions options);
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  std::int16_t RegisterApp(platform::WindowHandle window) EXCLUDES(lock_);
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
                              std::uint32_t seconds) EXCLUDES(lock_);
  std::int32_t CaptureAlerts(std::int16_t application, std::uint16_t printer, ALERTS* alerts,
                             platform::WindowHandle window, std::uint32_t reserved) EXCLUDES(lock_);
  std::int32_t SendBidi(std::int16_t application, std::uint16_t printer, std::uint32_t reserved,
                        std::uint32_t command, std::uint8_t* reply, std::uint32_t* replyLength,
                        const std::uint8_t* request, std::uint32_t requestLength);

  // Re-reads the fleet file when it has changed and posts every notification
  // that is due. The engine's thread runs it at each check interval.
  void CheckFleet() EXCLUDES(lock_);
  // Ends the engine's thread and the network printers' thread; calls that
  // need the network then find no printers.
  void StopThreads();
  // The rounds that the engine's thread has made.
  std::uint64_t CheckRounds() const { return checkRounds_.load(); }

 private:
  // Ends the engine's thread; the calls go on working.
  void StopChecking();
  // Captures and monitoring requests are kept by application and printer.
  static std::uint32_t KeyOf(std::int16_t application, std::uint16_t printer) {
    return (static_cast<std::uint32_t>(static_cast<std::uint16_t>(application)) << 16) | printer;
  }

  // Brings every source up to date with the engine's file as it stands now;
  // false when there is no file to serve from.
  bool Refresh();
  // The printer of the id from the first source that has it.
  std::shared_ptr<const PrinterState> FindPrinter(std::uint16_t id);
  bool AllowsRegistration();
  std::optional<NetInfoRecords> NetInfoReplies();
  std::int32_t Answer(std::uint16_t printer, std::uint32_t command, std::uint8_t* reply, std::uint32_t* replyLength);
  // The printers whose captures a check looks at again: those whose state
  // the sources tell differently, or all.
  struct ChangedPrinters {
    bool all = false;
    std::vector<std::uint16_t> ids;  // sorted
    bool Has(std::uint16_t id) const { return all || std::binary_search(ids.begin(), ids.end(), id); }
  };
  ChangedPrinters TakeChanges(bool ready) REQUIRES(lock_);
  // Whether a check may find something to tell the capture's window.
  static bool NeedsCheck(const Capture& capture, const ChangedPrinters& changed,
                         std::chrono::steady_clock::time_point now);
  void CheckCapture(Capture& capture, std::shared_ptr<const PrinterState> printer,
                    std::chrono::steady_clock::time_point now) REQUIRES(lock_);
  std::optional<std::uint32_t> MonitoringSeconds(std::int16_t application, std::uint16_t printer) const
      REQUIRES(lock_);
  void Watch(const Capture& capture) REQUIRES(lock_);
  std::uint32_t CheckLoop(std::uint32_t intervalMs);

  CallLog log_;
  const std::chrono::milliseconds checkInterval_;
  // The fleet first: the reader of the engine's file, whose ids win.
  std::vector<std::unique_ptr<PrinterSource>> sources_;
  // The outermost of the engine's locks, which nest in this one order:
  // Engine (this lock), then SnmpSource's, then FleetSource's. With this lock
  // held the engine asks the network source for printers and hands it watches
  // (CheckFleet, MonitorPrinter, CaptureAlerts); with its own lock held the
  // network source asks the fleet source whether an id is taken; the fleet
  // source calls out to no one. No source calls back into the engine's core,
  // and only the platform's innermost locks (message queues, trace) are taken
  // inside the fleet source's.
  platform::CriticalSection lock_;
  std::int16_t nextApplication_ GUARDED_BY(lock_) = 1;
  std::map<std::uint32_t, Capture> captures_ GUARDED_BY(lock_);  // in the order of application and printer
  // The check interval in seconds of each monitoring request; printer 0xFFFF
  // stands for every printer of the application.
  std::unordered_map<std::uint32_t, std::uint32_t> monitoring_ GUARDED_BY(lock_);
  // Whether the next check looks at every capture: monitoring has changed.
  bool checkAll_ GUARDED_BY(lock_) = true;
  bool lastReady_ GUARDED_BY(lock_) = false;  // whether the last check had a file to serve from

  platform::Event stopEvent_{true, false};
  std::atomic<std::uint64_t> checkRounds_{0};
  platform::Thread checker_;
};

// The process's engine, made at its first use from the environment. It is
// never destroyed, as other libraries' threads may still call it while the
// process ends; its thread is ended at exit.
Engine& TheEngine();

}  // namespace korbce
