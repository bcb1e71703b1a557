#pragma once
// Each printer's budget of events, so that one printer that changes all the
// time cannot take more than its share of the queue and of the cache behind
// it. A printer spends one event of its budget per event; the budget refills
// at a steady pace up to a burst. A printer over its budget has its further
// events held back, and a held change that is undone before it is sent is
// dropped together with its undoing: the console is left with each alert as
// it stands, never with an alert whose end was lost. Held events go out, in
// the order of their last change, as the budget refills.

#include <cstddef>
#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// An event and what it tells: the state of one alert, or of the printer's
// offline or communication state, raised or ended. Such states alternate:
// every event of a slot undoes the previous one.
struct ComposedEvent {
  std::uint16_t printerId = 0;
  std::string slot;  // the alert key, or the name of the printer state
  std::string text;  // the TEC event
};

struct EventLimitFigures {
  std::int64_t burst = 60;          // events a printer may send at once
  std::int64_t refillMs = 2000;     // one more event after this long
  std::int64_t traceEveryMs = 60000;
};

class PrinterEventLimit {
 public:
  explicit PrinterEventLimit(EventLimitFigures figures = {}) : figures_(figures) {}

  // Adds to pass the texts that may go now: the printer's held events that
  // its budget allows, then this one, when nothing of the printer stays held
  // and the budget allows it; else the event is held.
  void Offer(ComposedEvent event, std::int64_t nowMs, std::vector<std::string>& pass);

  // Adds to pass the held events that the refilled budgets allow.
  void Release(std::int64_t nowMs, std::vector<std::string>& pass);

  // Milliseconds until a held event may go; none when nothing is held.
  std::optional<std::int64_t> UntilRelease(std::int64_t nowMs) const;

  std::size_t HeldCount() const;

 private:
  struct Printer {
    std::int64_t creditMs = 0;  // budget, in refill time
    std::int64_t refilledAtMs = 0;
    std::list<ComposedEvent> held;
    std::size_t heldSinceTrace = 0;
    std::optional<std::int64_t> tracedAtMs;
  };

  Printer& PrinterOf(std::uint16_t printerId, std::int64_t nowMs);
  void Refill(Printer& printer, std::int64_t nowMs) const;
  bool Spend(Printer& printer) const;
  void ReleaseOf(Printer& printer, std::vector<std::string>& pass);
  void Hold(std::uint16_t printerId, Printer& printer, ComposedEvent event, std::int64_t nowMs);
  void ForgetIdlePrinters(std::int64_t nowMs);

  EventLimitFigures figures_;
  std::unordered_map<std::uint16_t, Printer> printers_;
  std::vector<std::uint16_t> holding_;  // printers with held events
  std::int64_t sweptAtMs_ = 0;
};
