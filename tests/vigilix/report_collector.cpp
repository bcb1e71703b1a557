#include "tests/vigilix/report_collector.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace report_collector {
namespace {

struct State {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<Report> reports;
  bool held = false;
  int running = 0;
  int started = 0;
  int maxRunning = 0;
  bool sizesMatched = true;
};

State& TheState() {
  static State state;
  return state;
}

bool SizeMatches(const char* text, std::uint32_t size) { return text != nullptr && std::strlen(text) + 1 == size; }

}  // namespace

std::uint16_t Callback(_VIGILIX_RETURN* record) {
  State& s = TheState();
  {
    std::unique_lock lock(s.mutex);
    ++s.started;
    s.maxRunning = std::max(s.maxRunning, ++s.running);
    s.changed.wait(lock, [&] { return !s.held; });
  }
  Report report{record->wPrinter, record->pszModel, {}};
  bool sizes = SizeMatches(record->pszModel, record->dwModelSize) && record->wAlertCount >= 1;
  for (std::uint16_t i = 0; i < record->wAlertCount; ++i) {
    const ALERT_ENTRY& entry = record->pAlerts[i];
    sizes = sizes && SizeMatches(entry.pszText, entry.dwTextSize);
    report.alerts.push_back({entry.nCode, entry.pszText});
  }
  std::lock_guard lock(s.mutex);
  --s.running;
  s.sizesMatched = s.sizesMatched && sizes;
  s.reports.push_back(std::move(report));
  s.changed.notify_all();
  return 0;
}

void Clear() {
  State& s = TheState();
  std::lock_guard lock(s.mutex);
  s.reports.clear();
  s.maxRunning = 0;
  s.started = 0;
  s.sizesMatched = true;
}

std::vector<Report> Reports() {
  State& s = TheState();
  std::lock_guard lock(s.mutex);
  return s.reports;
}

bool WaitForReports(std::size_t count, const std::function<void()>& pump, std::chrono::milliseconds timeout) {
  State& s = TheState();
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::unique_lock lock(s.mutex);
  while (s.reports.size() < count) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    if (pump) {
      lock.unlock();
      pump();
      lock.lock();
      s.changed.wait_for(lock, std::chrono::milliseconds(1));
    } else {
      s.changed.wait_until(lock, deadline);
    }
  }
  return true;
}

void Hold() {
  State& s = TheState();
  std::lock_guard lock(s.mutex);
  s.held = true;
}

void Release() {
  State& s = TheState();
  std::lock_guard lock(s.mutex);
  s.held = false;
  s.changed.notify_all();
}

int CallsStarted() {
  State& s = TheState();
  std::lock_guard lock(s.mutex);
  return s.started;
}

int MaxConcurrentCalls() {
  State& s = TheState();
  std::lock_guard lock(s.mutex);
  return s.maxRunning;
}

bool SizesAlwaysMatched() {
  State& s = TheState();
  std::lock_guard lock(s.mutex);
  return s.sizesMatched;
}

}  // namespace report_collector
