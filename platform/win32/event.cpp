#include "platform/event.h"

#include "platform/critical_section.h"
#include "platform/win32/native_handles.h"

#include <vector>

namespace platform {

namespace {

bool IsSignalledNow(HANDLE handle) { return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0; }

}  // namespace

Event::Event(bool manualReset, bool initiallySignalled) : manualReset_(manualReset) {
  handle_ = ToNativeHandle(CreateEventA(nullptr, manualReset, initiallySignalled, nullptr));
}

Event::~Event() {
  if (handle_ != kNoHandle) CloseHandle(HandleOf(handle_));
}

bool Event::Set() {
  ScopedLock lock(mutex_);
  return handle_ != kNoHandle && SetEvent(HandleOf(handle_));
}

bool Event::Reset() {
  ScopedLock lock(mutex_);
  return handle_ != kNoHandle && ResetEvent(HandleOf(handle_));
}

// An automatic-reset event cannot be looked at without taking its signal: the
// signal seen is given back at once. Set and Reset wait meanwhile.
bool Event::IsSignalled() const {
  ScopedLock lock(mutex_);
  if (handle_ == kNoHandle || !IsSignalledNow(HandleOf(handle_))) return false;
  if (!manualReset_) SetEvent(HandleOf(handle_));
  return true;
}

bool Event::TryClaim() { return handle_ != kNoHandle && IsSignalledNow(HandleOf(handle_)); }

bool Event::Wait(std::uint32_t timeoutMs) {
  return handle_ != kNoHandle && WaitForSingleObject(HandleOf(handle_), timeoutMs) == WAIT_OBJECT_0;
}

// WaitForMultipleObjects reports the lowest index signalled and takes the
// signal of that one event only, which is the promised order.
int WaitForAny(std::span<Event* const> events, std::uint32_t timeoutMs) {
  if (events.empty() || events.size() > MAXIMUM_WAIT_OBJECTS) return kWaitFailed;
  std::vector<HANDLE> handles;
  handles.reserve(events.size());
  for (Event* event : events) {
    if (!event || !event->IsValid()) return kWaitFailed;
    handles.push_back(HandleOf(event->Handle()));
  }
  const DWORD result = WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, timeoutMs);
  if (result == WAIT_TIMEOUT) return kWaitTimeout;
  if (result >= WAIT_OBJECT_0 && result < WAIT_OBJECT_0 + handles.size()) return static_cast<int>(result - WAIT_OBJECT_0);
  return kWaitFailed;
}

}  // namespace platform
