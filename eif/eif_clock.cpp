#include "eif/eif_clock.h"

#include "platform/clock.h"

namespace {

class SystemClock final : public EifClock {
 public:
  std::int64_t NowMilliseconds() override { return platform::MonotonicMilliseconds(); }
  void Sleep(std::int64_t milliseconds) override { platform::SleepMilliseconds(milliseconds); }
};

}  // namespace

EifClock& DefaultEifClock() {
  static SystemClock clock;
  return clock;
}
