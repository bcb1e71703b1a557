#include "platform/event_log.h"

#include <fcntl.h>
#include <systemd/sd-journal.h>
#include <syslog.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "common/directories.h"
#include "platform/file_io.h"
#include "platform/last_error.h"
#include "platform/root.h"
#include "platform/posix/event_log_file.h"
#include "platform/posix/unique_fd.h"

namespace platform {

class EventSource {
 public:
  EventSource(std::string name, MessageTable messages) : name_(std::move(name)), messages_(messages) {}
  const std::string& Name() const { return name_; }
  const char* TextOf(std::uint32_t id) const {
    for (const MessageTableEntry& entry : messages_) {
      if (entry.id == id) return entry.text;
    }
    return nullptr;
  }

 private:
  std::string name_;
  MessageTable messages_;
};

namespace {

std::string UtcTimestamp() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

int JournalPriorityOf(std::uint16_t type) {
  if (type == EVENTLOG_ERROR_TYPE) return LOG_ERR;
  if (type == EVENTLOG_WARNING_TYPE) return LOG_WARNING;
  return LOG_INFO;
}

bool JournalRuns() { return access("/run/systemd/journal/socket", F_OK) == 0; }

bool AppendLine(const std::string& line) {
  UniqueFd fd(open(EventLogFilePath().c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
  if (!fd.IsValid()) {
    SetLastError(errno);
    return false;
  }
  // One write per line, so that lines of concurrent reports never mix.
  if (write(fd.Get(), line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
    SetLastError(errno ? errno : EIO);
    return false;
  }
  return true;
}

}  // namespace

std::string EventLogFilePath() { return RootPath("var/log/korevnts/eventlog"); }

EventSourceHandle RegisterEventSource(const std::string& sourceName, MessageTable messages) {
  const std::string path = EventLogFilePath();
  if (const std::error_code error = common::CreateDirectories(path.substr(0, path.find_last_of('/')))) {
    SetLastError(error.value());
    return nullptr;
  }
  return new EventSource(sourceName, messages);
}

bool DeregisterEventSource(EventSourceHandle source) {
  delete source;
  return source != nullptr;
}

bool ReportEvent(EventSourceHandle source, std::uint16_t type, std::uint16_t /*category*/, std::uint32_t eventId,
                 std::span<const char* const> strings) {
  if (source == nullptr) {
    SetLastError(EINVAL);
    return false;
  }
  const char* table = source->TextOf(eventId);
  const std::string text = table ? FormatEventText(table, strings)
                                 : "The description for event id " + std::to_string(eventId) + " cannot be found.";
  if (JournalRuns()) {
    sd_journal_send("MESSAGE=%s", text.c_str(), "PRIORITY=%d", JournalPriorityOf(type), "SYSLOG_IDENTIFIER=%s",
                    source->Name().c_str(), "KOREVNTS_EVENT_ID=%u", eventId, nullptr);
  }
  return AppendLine(UtcTimestamp() + " " + source->Name() + " " + EventTypeName(type) + " " +
                    std::to_string(eventId) + " " + text + "\n");
}

}  // namespace platform
