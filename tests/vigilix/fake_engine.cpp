#include "tests/vigilix/fake_engine.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "bce/bce.h"

namespace fake_engine {
namespace {

struct Reply {
  Bytes bytes;
  std::optional<std::uint32_t> claimedLength;
};

struct State {
  std::mutex mutex;
  std::map<std::pair<std::uint16_t, std::uint32_t>, Reply> replies;
  std::int32_t captureResult = 0;
  std::vector<BidiCall> bidiCalls;
  std::vector<MonitorCall> monitorCalls;
  std::vector<CaptureCall> captureCalls;
};

State& TheState() {
  static State state;
  return state;
}

}  // namespace

void Reset() {
  State& s = TheState();
  std::lock_guard lock(s.mutex);
  s.replies.clear();
  s.captureResult = 0;
  s.bidiCalls.clear();
  s.monitorCalls.clear();
  s.captureCalls.clear();
}

void SetReply(std::uint16_t printer, std::uint32_t command, Bytes reply, std::optional<std::uint32_t> claimedLength) {
  State& s = TheState();
  std::lock_guard lock(s.mutex);
  s.replies[{printer, command}] = {std::move(reply), claimedLength};
}

void ClearReply(std::uint16_t printer, std::uint32_t command) {
  State& s = TheState();
  std::lock_guard lock(s.mutex);
  s.replies.erase({printer, command});
}

void SetCaptureResult(std::int32_t result) {
  State& s = TheState();
  std::lock_guard lock(s.mutex);
  s.captureResult = result;
}

std::vector<BidiCall> BidiCalls() {
  State& s = TheState();
  std::lock_guard lock(s.mutex);
  return s.bidiCalls;
}

std::vector<std::uint32_t> BidiCommands(std::uint16_t printer) {
  std::vector<std::uint32_t> commands;
  for (const BidiCall& call : BidiCalls())
    if (call.printer == printer) commands.push_back(call.command);
  return commands;
}

std::vector<MonitorCall> MonitorCalls() {
  State& s = TheState();
  std::lock_guard lock(s.mutex);
  return s.monitorCalls;
}

std::vector<CaptureCall> CaptureCalls() {
  State& s = TheState();
  std::lock_guard lock(s.mutex);
  return s.captureCalls;
}

Bytes StatusAnswer(std::uint8_t group, const std::vector<StatusEntry>& entries) {
  Bytes answer = {group, static_cast<std::uint8_t>(entries.size())};
  for (const StatusEntry& entry : entries) {
    answer.insert(answer.end(), {entry.b, entry.c, entry.d, static_cast<std::uint8_t>(entry.extra.size())});
    answer.insert(answer.end(), entry.extra.begin(), entry.extra.end());
  }
  return answer;
}

Bytes InputAnswer(const std::vector<std::pair<std::uint8_t, std::string>>& sources) {
  Bytes answer = {0, static_cast<std::uint8_t>(sources.size())};
  for (const auto& [key, name] : sources) {
    Bytes entry(31, 0xEE);
    entry[0] = key;
    entry[30] = static_cast<std::uint8_t>(name.size() + 1);
    entry.insert(entry.end(), name.begin(), name.end());
    entry.push_back(0);
    entry.insert(entry.end(), {2, 0xAB, 0xCD});  // M = 2 unused bytes
    answer.insert(answer.end(), entry.begin(), entry.end());
  }
  return answer;
}

Bytes OutputAnswer(const std::vector<std::pair<std::uint8_t, std::string>>& bins) {
  Bytes answer = {0, static_cast<std::uint8_t>(bins.size())};
  for (const auto& [key, name] : bins) {
    Bytes entry(9, 0xEE);
    entry[0] = key;
    entry[8] = static_cast<std::uint8_t>(name.empty() ? 0 : name.size() + 1);
    entry.insert(entry.end(), name.begin(), name.end());
    if (!name.empty()) entry.push_back(0);
    answer.insert(answer.end(), entry.begin(), entry.end());
  }
  return answer;
}

Bytes ClassAnswer(std::uint8_t deviceClass) { return {0, 0xB2, 0, 0, deviceClass}; }

Bytes ModelAnswer(const std::string& model) {
  Bytes answer(35, 0);
  answer.insert(answer.end(), model.begin(), model.end());
  answer.push_back(0);
  return answer;
}

}  // namespace fake_engine

using fake_engine::TheState;

extern "C" {

std::int16_t BceRegisterApp(platform::WindowHandle) { return 1; }

std::int32_t BceEnumPrinters(std::int16_t, std::uint32_t, BCE_ENUM_CALLBACK) { return 0; }

std::int32_t BceEnumSpecificPort(std::int16_t, std::uint32_t, const char*, BCE_ENUM_CALLBACK) { return 0; }

std::int32_t BceGetPrinterAddrEx(std::uint16_t, std::uint32_t, std::uint8_t*, std::uint32_t) { return 1; }

std::int32_t BceExchangeNetInfo(std::uint32_t, std::uint32_t, std::uint32_t, const void*, std::uint32_t, std::uint32_t,
                                std::uint32_t, BCE_NETINFO_CALLBACK) {
  return 1;
}

std::int32_t BceSetNetInfo(std::uint32_t, std::uint32_t, std::uint32_t, const void*, std::uint32_t) { return 1; }

std::int32_t BceMonitorPrinter(std::int16_t application, std::uint16_t printer, std::uint32_t mode,
                               std::uint32_t seconds) {
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  s.monitorCalls.push_back({application, printer, mode, seconds});
  return 0;
}

std::int32_t BceCaptureAlerts(std::int16_t application, std::uint16_t printer, ALERTS* alerts,
                              platform::WindowHandle window, std::uint32_t) {
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  s.captureCalls.push_back({application, printer, alerts, window});
  return s.captureResult;
}

std::int32_t BceSendBidi(std::int16_t application, std::uint16_t printer, std::uint32_t, std::uint32_t command,
                         std::uint8_t* reply, std::uint32_t* replyLength, const std::uint8_t* request,
                         std::uint32_t requestLength) {
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  fake_engine::Bytes requestBytes;
  if (request != nullptr) requestBytes.assign(request, request + requestLength);
  s.bidiCalls.push_back({application, printer, command, std::move(requestBytes)});
  const auto found = s.replies.find({printer, command});
  if (found == s.replies.end()) return 1;
  const fake_engine::Bytes& bytes = found->second.bytes;
  const std::size_t copied = std::min<std::size_t>(bytes.size(), *replyLength);
  std::copy_n(bytes.begin(), copied, reply);
  *replyLength = found->second.claimedLength.value_or(static_cast<std::uint32_t>(copied));
  return 0;
}

}  // extern "C"
