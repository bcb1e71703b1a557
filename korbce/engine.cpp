#include "korbce/engine.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "korbce/bidi_answer.h"
#include "korbce/enum_record.h"
#include "korbce/fleet/fleet_source.h"
#include "korbce/snmp/snmp_source.h"
#include "korbce/subnet_block.h"
#include "platform/environment.h"
#include "platform/process_exit.h"
#include "platform/trace.h"

namespace korbce {
namespace {

constexpr int kHighestApplication = 0x7FFF;
constexpr std::uint16_t kEveryPrinter = 0xFFFF;
constexpr std::uint32_t kMonitorStop = 0;
constexpr std::uint32_t kMonitorStart = 1;
constexpr std::uint32_t kAddressKindIp = 2;

std::optional<std::string> NonEmptyVariable(const char* name) {
  auto value = platform::GetEnvironmentVariable(name);
  if (value && value->empty()) return std::nullopt;
  return value;
}

// The callbacks run with no engine lock held, so that they may call the
// engine. Each record is built just before its callback: the records of a
// whole fleet at once would take 412 bytes a printer.
void HandOut(const PrinterList& printers, BCE_ENUM_CALLBACK callback) {
  for (const auto& printer : printers) {
    const EnumRecord record = BuildEnumRecord(*printer);
    callback(record.data());
  }
}

// The fleet goes first: it reads the engine's file, and the network printers
// take no id that it uses.
std::vector<std::unique_ptr<PrinterSource>> MakeSources(EngineOptions& options) {
  auto fleet = std::make_unique<FleetSource>(std::move(options.fleetPath));
  auto taken = [fleet = fleet.get()](std::uint16_t id) { return fleet->Find(id) != nullptr; };
  std::vector<std::unique_ptr<PrinterSource>> sources;
  sources.push_back(std::move(fleet));
  sources.push_back(std::make_unique<SnmpSource>(std::move(options.defaultIdFile), std::move(taken)));
  return sources;
}

}  // namespace

EngineOptions EngineOptionsFromEnvironment() {
  EngineOptions options;
  options.fleetPath = NonEmptyVariable("KORBCE_FLEET");
  options.logPath = NonEmptyVariable("KORBCE_LOG").value_or("");
  return options;
}

Engine::Engine(EngineOptions options)
    : log_(std::move(options.logPath)),
      checkInterval_(options.checkIntervalMs),
      sources_(MakeSources(options)) {
  if (options.checkIntervalMs == 0) return;
  const std::uint32_t interval = options.checkIntervalMs;
  if (!checker_.Start([this, interval] { return CheckLoop(interval); }, /*background=*/true)) {
    platform::OutputDebugString("korbce: cannot start the fleet checking thread; no notifications will be sent\n");
  }
}

Engine::~Engine() {
  StopThreads();
  // A source may ask those before it, so the last goes first.
  while (!sources_.empty()) sources_.pop_back();
}

void Engine::StopThreads() {
  StopChecking();
  for (const auto& source : sources_) source->Stop();
}

void Engine::StopChecking() {
  if (!checker_.IsStarted()) return;
  stopEvent_.Set();
  checker_.Join();
}

std::uint32_t Engine::CheckLoop(std::uint32_t intervalMs) {
  while (!stopEvent_.Wait(intervalMs)) {
    CheckFleet();
    ++checkRounds_;
  }
  return 0;
}

bool Engine::Refresh() {
  EngineFile file;
  for (const auto& source : sources_) source->Refresh(file);
  return file.document != nullptr;
}

std::shared_ptr<const PrinterState> Engine::FindPrinter(std::uint16_t id) {
  for (const auto& source : sources_) {
    if (auto printer = source->Find(id)) return printer;
  }
  return nullptr;
}

// Every source's records in order; nothing when a source fails the query.
std::optional<NetInfoRecords> Engine::NetInfoReplies() {
  NetInfoRecords replies;
  for (const auto& source : sources_) {
    auto records = source->NetInfoReplies();
    if (!records) return std::nullopt;
    replies.insert(replies.end(), std::make_move_iterator(records->begin()), std::make_move_iterator(records->end()));
  }
  return replies;
}

bool Engine::AllowsRegistration() {
  return std::ranges::all_of(sources_, [](const auto& source) { return source->AllowsRegistration(); });
}

std::int16_t Engine::RegisterApp(platform::WindowHandle window) {
  std::int16_t application = 0;
  const bool allowed = Refresh() && AllowsRegistration();
  {
    platform::ScopedLock lock(lock_);
    if (window != nullptr && allowed && nextApplication_ <= kHighestApplication) {
      application = static_cast<std::int16_t>(nextApplication_++);
    }
  }
  log_.Write(CallLine("BceRegisterApp").Window("window", window), application);
  return application;
}

std::int32_t Engine::EnumPrinters(std::int16_t application, std::uint32_t mask, BCE_ENUM_CALLBACK callback) {
  std::int32_t result = kBceSuccess;
  const bool ready = Refresh();
  if (callback == nullptr) {
    result = kBceBadArgument;
  } else if (!ready) {
    result = kBceNoFleet;
  } else {
    // A source's printers are handed out before the next source is asked:
    // asking the network takes a while. A failing source ends the enumeration.
    for (const auto& source : sources_) {
      const auto found = source->Enumerate(mask);
      if (!found) {
        result = kBceNoFleet;
        break;
      }
      HandOut(*found, callback);
    }
  }
  log_.Write(CallLine("BceEnumPrinters").Number("app", application).Flags("mask", mask), result);
  return result;
}

std::int32_t Engine::EnumSpecificPort(std::int16_t application, std::uint32_t classes, const char* portName,
                                      BCE_ENUM_CALLBACK callback) {
  std::int32_t result = kBceSuccess;
  const bool ready = Refresh();
  if (callback == nullptr || portName == nullptr) {
    result = kBceBadArgument;
  } else if (!ready) {
    result = kBceNoFleet;
  } else {
    for (const auto& source : sources_) HandOut(source->EnumeratePort(portName), callback);
  }
  log_.Write(CallLine("BceEnumSpecificPort").Number("app", application).Flags("classes", classes).Text("port", portName),
             result);
  return result;
}

std::int32_t Engine::GetPrinterAddrEx(std::uint16_t printer, std::uint32_t reserved, std::uint8_t* block,
                                      std::uint32_t kind) {
  std::int32_t result = kBceSuccess;
  std::string address;
  const bool ready = Refresh();
  const auto found = ready ? FindPrinter(printer) : nullptr;
  if (block == nullptr || kind != kAddressKindIp) {
    result = kBceBadArgument;
  } else if (!ready) {
    result = kBceNoFleet;
  } else if (found == nullptr) {
    result = kBceUnknownPrinter;
  } else {
    address = found->ipAddress;
    std::memcpy(block + PrinterAddressBlockLayout::kIpAddressText, address.c_str(), address.size() + 1);
  }
  log_.Write(CallLine("BceGetPrinterAddrEx")
                 .Number("printer", printer)
                 .Number("reserved", reserved)
                 .Text("block", address.c_str())
                 .Number("kind", kind),
             result);
  return result;
}

std::int32_t Engine::ExchangeNetInfo(std::uint32_t target, std::uint32_t protocol, std::uint32_t request,
                                     const void* buffer, std::uint32_t length, std::uint32_t reserved1,
                                     std::uint32_t reserved2, BCE_NETINFO_CALLBACK callback) {
  std::int32_t result = kBceSuccess;
  if (request == NETINFO_REQUEST_QUERY) {
    const bool ready = Refresh();
    const auto replies = ready ? NetInfoReplies() : std::nullopt;
    if (callback == nullptr) {
      result = kBceBadArgument;
    } else if (!replies) {
      result = kBceNoFleet;
    } else {
      for (const auto& reply : *replies) callback(reply.data(), static_cast<std::uint32_t>(reply.size()));
    }
  } else if (request == NETINFO_REQUEST_SUBNETS) {
    if (buffer == nullptr && length != 0) {
      result = kBceBadArgument;
    } else {
      const auto subnets = ParseSubnetBlock(static_cast<const std::uint8_t*>(buffer), length);
      for (const auto& source : sources_) source->SetSubnets(subnets);
    }
  } else {
    result = kBceUnsupported;
  }
  log_.Write(CallLine("BceExchangeNetInfo")
                 .Flags("target", target)
                 .Number("protocol", protocol)
                 .Number("request", request)
                 .Bytes("buffer", static_cast<const std::uint8_t*>(buffer), length)
                 .Number("length", length)
                 .Number("reserved1", reserved1)
                 .Number("reserved2", reserved2),
             result);
  return result;
}

std::int32_t Engine::SetNetInfo(std::uint32_t target, std::uint32_t protocol, std::uint32_t kind, const void* block,
                                std::uint32_t length) {
  const std::int32_t result = block == nullptr && length != 0 ? kBceBadArgument : kBceSuccess;
  log_.Write(CallLine("BceSetNetInfo")
                 .Flags("target", target)
                 .Number("protocol", protocol)
                 .Number("kind", kind)
                 .Bytes("block", static_cast<const std::uint8_t*>(block), length)
                 .Number("length", length),
             result);
  return result;
}

std::int32_t Engine::MonitorPrinter(std::int16_t application, std::uint16_t printer, std::uint32_t mode,
                                    std::uint32_t seconds) {
  std::int32_t result = kBceSuccess;
  {
    platform::ScopedLock lock(lock_);
    const std::uint32_t key = KeyOf(application, printer);
    checkAll_ = true;
    if (mode == kMonitorStart) {
      monitoring_[key] = seconds;
      for (const auto& [captureKey, capture] : captures_) {
        if (capture.application == application && (printer == kEveryPrinter || capture.printer == printer)) {
          Watch(capture);
        }
      }
    } else if (mode == kMonitorStop) {
      monitoring_.erase(key);
    } else {
      result = kBceUnsupported;
    }
  }
  log_.Write(CallLine("BceMonitorPrinter")
                 .Number("app", application)
                 .Number("printer", printer)
                 .Number("mode", mode)
                 .Number("seconds", seconds),
             result);
  return result;
}

std::int32_t Engine::CaptureAlerts(std::int16_t application, std::uint16_t printer, ALERTS* alerts,
                                   platform::WindowHandle window, std::uint32_t reserved) {
  std::int32_t result = kBceSuccess;
  const bool ready = Refresh();
  if (alerts == nullptr || window == nullptr) {
    result = kBceBadArgument;
  } else if (!ready) {
    result = kBceNoFleet;
  } else if (FindPrinter(printer) == nullptr) {
    result = kBceUnknownPrinter;
  } else {
    platform::ScopedLock lock(lock_);
    Capture& capture = captures_[KeyOf(application, printer)];
    capture.application = application;
    capture.printer = printer;
    capture.alerts = alerts;
    capture.window = window;
    capture.reportDue = true;
    capture.firstReportAt = std::chrono::steady_clock::now() + checkInterval_;
    Watch(capture);
  }
  CallLine line("BceCaptureAlerts");
  line.Number("app", application).Number("printer", printer);
  if (alerts != nullptr) {
    line.Flags("categories", ReadCategories(alerts));
  } else {
    line.Text("categories", nullptr);
  }
  log_.Write(line.Window("window", window).Number("reserved", reserved), result);
  return result;
}

std::int32_t Engine::SendBidi(std::int16_t application, std::uint16_t printer, std::uint32_t reserved,
                              std::uint32_t command, std::uint8_t* reply, std::uint32_t* replyLength,
                              const std::uint8_t* request, std::uint32_t requestLength) {
  const std::int32_t result = Answer(printer, command, reply, replyLength);
  if (log_.IsEnabled()) {
    CallLine line("BceSendBidi");
    line.Number("app", application).Number("printer", printer).Number("reserved", reserved).Number("command", command);
    line.Bytes("reply", reply, result == kBceSuccess ? *replyLength : 0);
    if (replyLength != nullptr) {
      line.Number("replyLength", *replyLength);
    } else {
      line.Text("replyLength", nullptr);
    }
    line.Bytes("request", request, requestLength).Number("requestLength", requestLength);
    log_.Write(line, result);
  }
  return result;
}

std::int32_t Engine::Answer(std::uint16_t printer, std::uint32_t command, std::uint8_t* reply,
                            std::uint32_t* replyLength) {
  if (reply == nullptr || replyLength == nullptr) return kBceBadArgument;
  if (!Refresh()) return kBceNoFleet;
  const auto found = FindPrinter(printer);
  if (found == nullptr) return kBceUnknownPrinter;
  if (!found->online) return kBceNoAnswer;
  const auto answer = AnswerCommand(*found, command);
  if (!answer) return kBceUnsupported;
  if (answer->size() > *replyLength) return kBceBufferTooSmall;
  std::copy(answer->begin(), answer->end(), reply);
  *replyLength = static_cast<std::uint32_t>(answer->size());
  return kBceSuccess;
}

// Looks only at the captures that may have something to tell: a first report
// due, a printer told differently, or categories the caller has changed. A
// window is asked whether it is still there once for its run of captures.
void Engine::CheckFleet() {
  const bool ready = Refresh();
  platform::ScopedLock lock(lock_);
  const ChangedPrinters changed = TakeChanges(ready);
  const auto now = std::chrono::steady_clock::now();
  platform::WindowHandle lastWindow = nullptr;
  bool lastWindowLive = false;
  for (auto entry = captures_.begin(); entry != captures_.end();) {
    Capture& capture = entry->second;
    if (capture.window != lastWindow) {
      lastWindow = capture.window;
      lastWindowLive = platform::IsWindow(lastWindow);
    }
    if (!lastWindowLive) {
      entry = captures_.erase(entry);
      continue;
    }
    if (NeedsCheck(capture, changed, now)) {
      CheckCapture(capture, ready ? FindPrinter(capture.printer) : nullptr, now);
    }
    ++entry;
  }
}

Engine::ChangedPrinters Engine::TakeChanges(bool ready) {
  ChangedPrinters changed;
  changed.all = std::exchange(checkAll_, false) || ready != lastReady_;
  lastReady_ = ready;
  for (const auto& source : sources_) {
    StateChanges changes = source->TakeStateChanges();
    changed.all = changed.all || changes.all;
    if (!changed.all) changed.ids.insert(changed.ids.end(), changes.ids.begin(), changes.ids.end());
  }
  if (changed.all) {
    changed.ids.clear();
  } else {
    std::ranges::sort(changed.ids);
  }
  return changed;
}

bool Engine::NeedsCheck(const Capture& capture, const ChangedPrinters& changed,
                        std::chrono::steady_clock::time_point now) {
  if (capture.reportDue) return now >= capture.firstReportAt;
  if (changed.Has(capture.printer)) return true;
  // Categories matter only while the printer answers, which is when the last
  // check kept its state.
  return capture.checked != nullptr && ReadCategories(capture.alerts) != capture.checkedCategories;
}

void Engine::CheckCapture(Capture& capture, std::shared_ptr<const PrinterState> printer,
                          std::chrono::steady_clock::time_point now) {
  if (capture.reportDue && now < capture.firstReportAt) return;
  const bool communicating = printer != nullptr && printer->online;
  if (communicating != capture.communicating && MonitoringSeconds(capture.application, capture.printer)) {
    platform::PostMessage(capture.window, communicating ? WM_VX_COMM_RESTORED : WM_VX_COMM_LOST, capture.printer, 0);
    capture.communicating = communicating;
    // What the printer reported before it fell silent has been cleared by
    // the loss; once it answers again its state is told afresh.
    if (communicating) capture.reportDue = true;
  }
  // A printer that does not answer cannot be asked for its alerts: its state
  // is told once it answers again.
  if (!communicating) {
    capture.checked.reset();
    return;
  }
  // A state is never changed once told: the same state asked for the same
  // categories gives what the last check found.
  const std::uint32_t categories = ReadCategories(capture.alerts);
  if (!capture.reportDue && printer == capture.checked && categories == capture.checkedCategories) return;
  AlertState state = ReadAlertState(*printer, categories);
  capture.checked = std::move(printer);
  capture.checkedCategories = categories;
  if (!capture.reportDue && state == capture.reported) return;
  platform::PostMessage(capture.window, WM_VX_ALERTS, capture.printer, static_cast<platform::LParam>(state.mask));
  capture.reported = std::move(state);
  capture.reportDue = false;
}

std::optional<std::uint32_t> Engine::MonitoringSeconds(std::int16_t application, std::uint16_t printer) const {
  auto found = monitoring_.find(KeyOf(application, printer));
  if (found == monitoring_.end()) found = monitoring_.find(KeyOf(application, kEveryPrinter));
  if (found == monitoring_.end()) return std::nullopt;
  return found->second;
}

void Engine::Watch(const Capture& capture) {
  const auto seconds = MonitoringSeconds(capture.application, capture.printer);
  const auto interval = seconds ? std::optional(std::chrono::seconds(*seconds)) : std::nullopt;
  for (const auto& source : sources_) source->Watch(capture.printer, interval);
}

Engine& TheEngine() {
  static Engine* const engine = [] {
    auto* created = new Engine(EngineOptionsFromEnvironment());
    // Both threads end at the process's exit, before the library's static
    // objects are destroyed and while the threads can still end by themselves.
    platform::RunAtProcessExit([] { TheEngine().StopThreads(); });
    return created;
  }();
  return *engine;
}

}  // namespace korbce
