#pragma once
// The TEC sender's clock in the service: its waits (the retry wait for a
// server that went away, the pacing of a cache flush) end as soon as the
// service stops, so that a stop never waits for a server that is down. The
// event being sent then goes to the cache as when every server refuses it.

#include <atomic>
#include <cstdint>

#include "eif/eif_clock.h"
#include "platform/event.h"

// Used by one thread at a time, as the TEC sender is.
class StopEndsWaitsClock final : public EifClock {
 public:
  // stopEvent stays signalled once set.
  // progress, when given, grows with each look at the clock and each sleep:
  // a sender that waits for a server or paces a flush is not stuck.
  explicit StopEndsWaitsClock(platform::Event& stopEvent, std::atomic<std::uint64_t>* progress = nullptr)
      : stopEvent_(stopEvent), progress_(progress) {}

  std::int64_t NowMilliseconds() override;
  // Once the service stops, a sleep returns at once and the clock moves on by
  // its whole length.
  void Sleep(std::int64_t milliseconds) override;

 private:
  void Progress();

  platform::Event& stopEvent_;
  std::atomic<std::uint64_t>* progress_;
  std::int64_t skippedMs_ = 0;
};
