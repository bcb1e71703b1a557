#include "platform/win32/stop_request.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/critical_section.h"

namespace platform {

namespace {

std::string EventName(std::uint32_t processId) {
  return "Local\\korplatform.stop-request." + std::to_string(processId);
}

struct Watch {
  CriticalSection mutex;
  std::vector<void (*)()> callbacks GUARDED_BY(mutex);
  HANDLE event = nullptr;
};

Watch& TheWatch() {
  static auto* watch = new Watch;  // watched until the process ends
  return *watch;
}

DWORD WINAPI WaitForRequests(void*) {
  Watch& watch = TheWatch();
  while (WaitForSingleObject(watch.event, INFINITE) == WAIT_OBJECT_0) {
    std::vector<void (*)()> callbacks;
    {
      ScopedLock lock(watch.mutex);
      callbacks = watch.callbacks;
    }
    for (auto callback : callbacks) callback();
  }
  return 0;
}

}  // namespace

void WatchStopRequests(void (*onRequest)()) {
  Watch& watch = TheWatch();
  ScopedLock lock(watch.mutex);
  watch.callbacks.push_back(onRequest);
  if (watch.event) return;
  watch.event = CreateEventA(nullptr, FALSE, FALSE, EventName(GetCurrentProcessId()).c_str());
  if (!watch.event) return;
  HANDLE waiter = CreateThread(nullptr, 0, WaitForRequests, nullptr, 0, nullptr);
  if (waiter) CloseHandle(waiter);
}

bool SendStopRequest(std::uint32_t processId) {
  HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, EventName(processId).c_str());
  if (!event) return false;
  const bool sent = SetEvent(event);
  CloseHandle(event);
  return sent;
}

}  // namespace platform
