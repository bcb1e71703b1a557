#pragma once
// The one thread that makes every call into net-snmp, which is not
// thread-safe. Fetches are handed to it from any thread; it runs up to
// MaxInFlight of them at once, each on a session of its own (so that no more
// sockets are open than fetches run), and reports each result on its own
// thread. What a session costs to make again is kept between fetches: the
// keys of SNMPv3 users and the engine id of each printer.

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "korbce/snmp/snmp_request.h"
#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/thread.h"

namespace korbce::snmp {

class SnmpTransport {
 public:
  using Done = std::function<void(FetchResult)>;

  SnmpTransport();
  ~SnmpTransport();
  SnmpTransport(const SnmpTransport&) = delete;
  SnmpTransport& operator=(const SnmpTransport&) = delete;

  // Starts the thread; tick runs on it at every turn of its loop (at least
  // every few tens of milliseconds), where it may submit fetches.
  bool Start(std::function<void()> tick);
  // Ends the thread; the fetches not finished, and any submitted later, end
  // unanswered.
  void Stop();

  // Queues a fetch; done runs on the transport's thread when it ends, or at
  // once on the caller's thread when the transport has stopped.
  void Submit(SessionSettings settings, FetchPlan plan, Done done) EXCLUDES(mutex_);
  void SetMaxInFlight(std::uint32_t count) EXCLUDES(mutex_);
  // Whether MaxInFlight fetches already wait to start: a caller that can
  // submit later does, so that fetches are not held by the thousand.
  bool Backlogged() EXCLUDES(mutex_);

  struct Fetch;
  struct Kept;

 private:
  std::uint32_t Loop() EXCLUDES(mutex_);
  void StartWaiting() EXCLUDES(mutex_);
  // The next queued fetch when fewer than MaxInFlight are active; null else.
  std::unique_ptr<Fetch> NextToStart() EXCLUDES(mutex_);
  void FinishEnded();
  void EndFetchesPastDeadline();

  std::function<void()> tick_;
  // Hands work to the thread; never held while net-snmp is called.
  platform::CriticalSection mutex_;
  std::deque<std::unique_ptr<Fetch>> queued_ GUARDED_BY(mutex_);
  bool ended_ GUARDED_BY(mutex_) = false;  // the thread has ended; new fetches end unanswered at once
  std::uint32_t maxInFlight_ GUARDED_BY(mutex_) = 64;
  // Owned by the thread alone.
  std::vector<std::unique_ptr<Fetch>> active_;
  std::unique_ptr<Kept> kept_;

  platform::Event stopEvent_{true, false};
  platform::Thread thread_;
};

}  // namespace korbce::snmp
