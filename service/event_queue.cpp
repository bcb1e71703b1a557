#include "service/event_queue.h"

#include "platform/clock.h"

EventQueue::EventQueue(EventLimitFigures figures, Clock clock)
    : limit_(figures), clock_(clock ? std::move(clock) : Clock(platform::MonotonicMilliseconds)) {}

void EventQueue::PushBack(std::string event) {
  platform::ScopedLock<Lock> hold(lock_);
  events_.push_back(std::move(event));
}

void EventQueue::Offer(ComposedEvent event) {
  platform::ScopedLock<Lock> hold(lock_);
  std::vector<std::string> pass;
  limit_.Offer(std::move(event), clock_(), pass);
  AddAll(pass);
}

std::optional<std::int64_t> EventQueue::UntilRelease() const {
  platform::ScopedLock<Lock> hold(lock_);
  return limit_.UntilRelease(clock_());
}

void EventQueue::AddAll(std::vector<std::string>& texts) {
  for (std::string& text : texts) events_.push_back(std::move(text));
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
  std::vector<std::string> released;
  limit_.Release(clock_(), released);
  AddAll(released);
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
