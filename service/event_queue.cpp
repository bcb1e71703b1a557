#include "service/event_queue.h"

void EventQueue::PushBack(std::string event) {
  platform::ScopedLock<Lock> hold(lock_);
  events_.push_back(std::move(event));
}

std::optional<std::string> EventQueue::Front() const {
  platform::ScopedLock<Lock> hold(lock_);
  if (events_.empty()) return std::nullopt;
  return events_.front();
}

void EventQueue::PopFront() {
  platform::ScopedLock<Lock> hold(lock_);
  if (!events_.empty()) events_.pop_front();
}

bool EventQueue::Empty() const {
  platform::ScopedLock<Lock> hold(lock_);
  return events_.empty();
}

std::size_t EventQueue::Size() const {
  platform::ScopedLock<Lock> hold(lock_);
  return events_.size();
}

void EventQueue::Drain(const std::function<void(const std::string&)>& send) {
  platform::ScopedLock<Lock> hold(lock_);
  while (!events_.empty()) {
    // Taken out before sending, so that the sender's own additions stay and
    // follow the events queued before them.
    const std::string event = std::move(events_.front());
    events_.pop_front();
    send(event);
  }
  // Reset while still holding the lock: a producer either added before the
  // list was seen empty, or signals after this reset.
  queueEvent_.Reset();
}
