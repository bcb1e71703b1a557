#pragma once
// The events waiting for the sender: a list that producers add to at its back
// and the sender takes from at its front, so that events leave in the order
// they were composed (an alert before its "Resolved"); a lock that a producer
// holds for a whole report and the sender for a whole drain; and the wake-up
// event of the sender.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <optional>
#include <string>

#include "platform/critical_section.h"
#include "platform/event.h"
#include "service/printer_event_limit.h"

class EventQueue {
 public:
  using Lock = platform::RecursiveCriticalSection;
  using Clock = std::function<std::int64_t()>;

  // clock: milliseconds that never go back, for the printers' budgets.
  explicit EventQueue(EventLimitFigures figures = {}, Clock clock = {});

  // Taken before the printer table's lock, never after it.
  Lock& GetLock() RETURN_CAPABILITY(lock_) { return lock_; }
  // queueEvent: automatic reset, signalled after a report.
  platform::Event& QueueEvent() { return queueEvent_; }

  void PushBack(std::string event);
  // At the back when its printer's budget allows it, else held back there.
  void Offer(ComposedEvent event);
  // Milliseconds until a held event may be sent; none when nothing is held.
  std::optional<std::int64_t> UntilRelease() const;
  std::optional<std::string> Front() const;
  void PopFront();
  bool Empty() const;
  std::size_t Size() const;

  // Holding the lock throughout: adds the held events that the budgets now
  // allow, takes out each event, oldest first, and hands it to send, until
  // the list is empty; then resets queueEvent.
  void Drain(const std::function<void(const std::string&)>& send);

 private:
  mutable Lock lock_;
  void AddAll(std::vector<std::string>& texts) REQUIRES(lock_);

  std::list<std::string> events_ GUARDED_BY(lock_);
  PrinterEventLimit limit_ GUARDED_BY(lock_);
  Clock clock_;
  platform::Event queueEvent_{false, false};
};
