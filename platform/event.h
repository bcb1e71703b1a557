#pragma once
// Events, automatic or manual reset, and waits on one or several of them.

#include <cstdint>
#include <span>

#include "platform/critical_section.h"
#include "platform/native_handle.h"

namespace platform {

constexpr std::uint32_t kInfinite = 0xFFFFFFFF;
constexpr int kWaitTimeout = -1;
constexpr int kWaitFailed = -2;

// A signalled manual-reset event stays signalled until Reset; a signalled
// automatic-reset event releases exactly one waiter and turns unsignalled.
class Event {
 public:
  Event(bool manualReset, bool initiallySignalled);
  ~Event();
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  bool Set();
  bool Reset();
  // True when the event was signalled within the time-out (zero polls).
  bool Wait(std::uint32_t timeoutMs = kInfinite);
  bool IsSignalled() const;
  bool IsManualReset() const { return manualReset_; }
  bool IsValid() const { return handle_ != kNoHandle; }

  // For WaitForAny: the handle that the OS sees signalled, and the claim of
  // the signal once seen (always succeeds on manual reset).
  NativeHandle Handle() const { return handle_; }
  bool TryClaim();

 private:
  const bool manualReset_;
  NativeHandle handle_ = kNoHandle;
  mutable CriticalSection mutex_;
  bool signalled_ GUARDED_BY(mutex_) = false;  // unused on Windows, where the system keeps it
};

// Waits until one of the events is signalled. Returns the index of the first
// signalled event in array order (claiming it when automatic), kWaitTimeout,
// or kWaitFailed for an empty or invalid set.
int WaitForAny(std::span<Event* const> events, std::uint32_t timeoutMs = kInfinite);

}  // namespace platform
