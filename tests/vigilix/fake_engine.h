#pragma once
// A printer communication engine of the tests' own: the test binary defines
// the engine's functions, answering from replies that the tests set.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "vigilix/vigilix.h"

namespace fake_engine {

using Bytes = std::vector<std::uint8_t>;

struct BidiCall {
  std::int16_t application;
  std::uint16_t printer;
  std::uint32_t command;
  Bytes request;
};

struct MonitorCall {
  std::int16_t application;
  std::uint16_t printer;
  std::uint32_t mode;
  std::uint32_t seconds;
};

struct CaptureCall {
  std::int16_t application;
  std::uint16_t printer;
  ALERTS* alerts;
  platform::WindowHandle window;
};

// Forgets every reply and every recorded call.
void Reset();

// The answer to a command for a printer. Without one the command fails.
// claimedLength, when given, is the byte count the engine says it returned.
void SetReply(std::uint16_t printer, std::uint32_t command, Bytes reply,
              std::optional<std::uint32_t> claimedLength = std::nullopt);
void ClearReply(std::uint16_t printer, std::uint32_t command);
void SetCaptureResult(std::int32_t result);

std::vector<BidiCall> BidiCalls();
std::vector<std::uint32_t> BidiCommands(std::uint16_t printer);
std::vector<MonitorCall> MonitorCalls();
std::vector<CaptureCall> CaptureCalls();

// Answer builders.
struct StatusEntry {
  std::uint8_t b, c, d;
  Bytes extra;
};
Bytes StatusAnswer(std::uint8_t group, const std::vector<StatusEntry>& entries);
Bytes InputAnswer(const std::vector<std::pair<std::uint8_t, std::string>>& sources);
Bytes OutputAnswer(const std::vector<std::pair<std::uint8_t, std::string>>& bins);
Bytes ClassAnswer(std::uint8_t deviceClass);
Bytes ModelAnswer(const std::string& model);

}  // namespace fake_engine
