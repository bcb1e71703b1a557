#pragma once
// The clock and the sleep of the TEC sender's waits (retry wait, flush pacing).
// Tests put in a clock whose sleep only moves its time on.

#include <cstdint>

class EifClock {
 public:
  virtual ~EifClock() = default;
  // Milliseconds since a fixed point; never goes back.
  virtual std::int64_t NowMilliseconds() = 0;
  virtual void Sleep(std::int64_t milliseconds) = 0;
};

// The steady system clock and a real sleep.
EifClock& DefaultEifClock();
