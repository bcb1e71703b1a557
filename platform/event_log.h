#pragma once
// The event log: one line per message in root/var/log/korevnts/eventlog,
//   2026-12-08T14:05:00Z KorEvntS Information 103 The KorEvntS service was started.
// (UTC time, source, type, id, the message text with its insertion strings),
// and a copy to the journal where one runs. The message texts come from the
// table that the source registers with, as a program's message table does.

#include <cstdint>
#include <span>
#include <string>

namespace platform {

constexpr std::uint16_t EVENTLOG_ERROR_TYPE = 1;
constexpr std::uint16_t EVENTLOG_WARNING_TYPE = 2;
constexpr std::uint16_t EVENTLOG_INFORMATION_TYPE = 4;

struct MessageTableEntry {
  std::uint32_t id;
  const char* text;  // %1 to %9 stand for the insertion strings
};
using MessageTable = std::span<const MessageTableEntry>;

class EventSource;
using EventSourceHandle = EventSource*;

std::string EventLogFilePath();

// Null when the log's directory cannot be made (GetLastError tells why).
EventSourceHandle RegisterEventSource(const std::string& sourceName, MessageTable messages);
bool DeregisterEventSource(EventSourceHandle source);

// Appends one line for the message; false when the log cannot be written.
bool ReportEvent(EventSourceHandle source, std::uint16_t type, std::uint16_t category, std::uint32_t eventId,
                 std::span<const char* const> strings);

// The text with %n replaced by the n-th string (a missing string leaves %n as
// it is), line breaks and other control characters turned into blanks, and
// trailing blanks removed.
std::string FormatEventText(const std::string& text, std::span<const char* const> strings);

// "Error", "Warning", "Information", or the number.
std::string EventTypeName(std::uint16_t type);

}  // namespace platform
