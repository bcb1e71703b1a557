#include "platform/event_log.h"

#include <windows.h>

#include <atomic>
#include <cerrno>
#include <vector>

#include "platform/last_error.h"
#include "platform/win32/error_number.h"
#include "platform/win32/report_event_seam.h"

// <windows.h> names these after their ANSI or wide versions; here they are ours.
#undef RegisterEventSource
#undef ReportEvent

namespace platform {

// The system's event source. The texts live in the message file registered
// for the source (the program itself), so the table is not needed here.
class EventSource {
 public:
  explicit EventSource(HANDLE handle) : handle_(handle) {}
  HANDLE Handle() const { return handle_; }

 private:
  HANDLE handle_;
};

namespace {

std::atomic<win32::ReportEventFunction> reportEventFunction{&ReportEventA};

}  // namespace

namespace win32 {

ReportEventFunction ReplaceReportEvent(ReportEventFunction function) {
  return reportEventFunction.exchange(function != nullptr ? function : &ReportEventA);
}

}  // namespace win32

EventSourceHandle RegisterEventSource(const std::string& sourceName, MessageTable /*messages*/) {
  HANDLE handle = RegisterEventSourceA(nullptr, sourceName.c_str());
  if (handle == nullptr) {
    SetLastError(ErrorNumberOf(::GetLastError()));
    return nullptr;
  }
  return new EventSource(handle);
}

bool DeregisterEventSource(EventSourceHandle source) {
  if (source == nullptr) {
    SetLastError(EINVAL);
    return false;
  }
  const bool closed = ::DeregisterEventSource(source->Handle()) != FALSE;
  if (!closed) SetLastError(ErrorNumberOf(::GetLastError()));
  delete source;
  return closed;
}

bool ReportEvent(EventSourceHandle source, std::uint16_t type, std::uint16_t category, std::uint32_t eventId,
                 std::span<const char* const> strings) {
  if (source == nullptr) {
    SetLastError(EINVAL);
    return false;
  }
  // A missing string is handed over empty: the system would read through a null one.
  std::vector<LPCSTR> texts;
  for (const char* text : strings) texts.push_back(text != nullptr ? text : "");
  if (texts.size() > 0xFFFF) {
    SetLastError(EINVAL);
    return false;
  }
  const BOOL reported = reportEventFunction.load()(source->Handle(), type, category, eventId, nullptr,
                                                   static_cast<WORD>(texts.size()), 0,
                                                   texts.empty() ? nullptr : texts.data(), nullptr);
  if (!reported) SetLastError(ErrorNumberOf(::GetLastError()));
  return reported != FALSE;
}

}  // namespace platform
