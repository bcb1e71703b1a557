#pragma once
// The event log, where the operator reads what the service reports: one entry
// per message with its time, source, type, id and text. The text is the
// message table's text for the id with its insertion strings.

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

// Opens the log for a source whose message texts are those of the table.
// Where the system keeps the texts in the program file that is registered as
// the source's message file (Windows), the program carries the same table.
// Null when the log cannot be opened (GetLastError tells why).
EventSourceHandle RegisterEventSource(const std::string& sourceName, MessageTable messages);
bool DeregisterEventSource(EventSourceHandle source);

// Logs one message; false when the log cannot be written.
bool ReportEvent(EventSourceHandle source, std::uint16_t type, std::uint16_t category, std::uint32_t eventId,
                 std::span<const char* const> strings);

// The text with %n replaced by the n-th string (a missing string leaves %n as
// it is), line breaks and other control characters turned into blanks, and
// trailing blanks removed.
std::string FormatEventText(const std::string& text, std::span<const char* const> strings);

// "Error", "Warning", "Information", or the number.
std::string EventTypeName(std::uint16_t type);

}  // namespace platform
