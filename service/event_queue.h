#pragma once
// The events waiting for the sender: a list that producers add to at its back
// and the sender takes from at its front, so that events leave in the order
// they were composed (an alert before its "Resolved"); a lock that a producer
// holds for a whole report and the sender for a whole drain; and the wake-up
// event of the sender.

#include <cstddef>
#include <functional>
#include <list>
#include <optional>
#include <string>

#include "platform/critical_section.h"
#include "platform/event.h"

class EventQueue {
 public:
  using Lock = platform::RecursiveCriticalSection;

  // Taken before the printer table's lock, never after it.
  Lock& GetLock() RETURN_CAPABILITY(lock_) { return lock_; }
  // queueEvent: automatic reset, signalled after a report.
  platform::Event& QueueEvent() { return queueEvent_; }

  void PushBack(std::string event);
  std::optional<std::string> Front() const;
  void PopFront();
  bool Empty() const;
  std::size_t Size() const;

  // Holding the lock throughout: takes out each event, oldest first, and
  // hands it to send, until the list is empty; then resets queueEvent.
  void Drain(const std::function<void(const std::string&)>& send);

 private:
  mutable Lock lock_;
  std::list<std::string> events_ GUARDED_BY(lock_);
  platform::Event queueEvent_{false, false};
};
