#include "platform/event.h"
#include "platform/posix/unique_fd.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <vector>

namespace platform {

Event::Event(bool manualReset, bool initiallySignalled) : manualReset_(manualReset) {
  handle_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (initiallySignalled) Set();
}

Event::~Event() {
  if (handle_ != kNoHandle) close(FdOf(handle_));
}

bool Event::Set() {
  ScopedLock lock(mutex_);
  if (handle_ == kNoHandle) return false;
  if (signalled_) return true;
  const std::uint64_t one = 1;
  if (write(FdOf(handle_), &one, sizeof one) != sizeof one) return false;
  signalled_ = true;
  return true;
}

bool Event::Reset() {
  ScopedLock lock(mutex_);
  if (handle_ == kNoHandle) return false;
  std::uint64_t count = 0;
  while (read(FdOf(handle_), &count, sizeof count) < 0 && errno == EINTR) {
  }
  signalled_ = false;
  return true;
}

bool Event::IsSignalled() const {
  ScopedLock lock(mutex_);
  return signalled_;
}

bool Event::TryClaim() {
  ScopedLock lock(mutex_);
  if (!signalled_) return false;
  if (manualReset_) return true;
  std::uint64_t count = 0;
  while (read(FdOf(handle_), &count, sizeof count) < 0 && errno == EINTR) {
  }
  signalled_ = false;
  return true;
}

bool Event::Wait(std::uint32_t timeoutMs) {
  Event* self = this;
  return WaitForAny(std::span<Event* const>(&self, 1), timeoutMs) == 0;
}

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(std::uint32_t timeoutMs, Clock::time_point deadline) {
  if (timeoutMs == kInfinite) return -1;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

int ClaimFirstSignalled(std::span<Event* const> events) {
  for (std::size_t i = 0; i < events.size(); ++i) {
    if (events[i]->TryClaim()) return static_cast<int>(i);
  }
  return kWaitTimeout;
}

}  // namespace

int WaitForAny(std::span<Event* const> events, std::uint32_t timeoutMs) {
  if (events.empty()) return kWaitFailed;
  std::vector<pollfd> fds;
  fds.reserve(events.size());
  for (Event* event : events) {
    if (!event || !event->IsValid()) return kWaitFailed;
    fds.push_back({static_cast<int>(event->Handle()), POLLIN, 0});
  }
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs == kInfinite ? 0 : timeoutMs);
  for (;;) {
    const int claimed = ClaimFirstSignalled(events);
    if (claimed != kWaitTimeout) return claimed;
    const int waitMs = RemainingMs(timeoutMs, deadline);
    const int ready = poll(fds.data(), fds.size(), waitMs);
    if (ready < 0 && errno != EINTR) return kWaitFailed;
    if (ready == 0) return ClaimFirstSignalled(events);
  }
}

}  // namespace platform
