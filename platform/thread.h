#pragma once
// Threads that keep an exit code, as the service's worker threads expect.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace platform {

class Event;

using ThreadId = std::uint32_t;

// The kernel's id of the calling thread (never 0).
ThreadId CurrentThreadId();

// A running thread. The body's return value becomes the exit code, unless the
// thread ends itself earlier with ExitCurrentThread. Destroying a Thread
// object only lets go of it, as closing a handle does: the thread runs on.
class Thread {
 public:
  using Body = std::function<std::uint32_t()>;

  Thread() = default;
  ~Thread();
  Thread(Thread&&) noexcept;
  Thread& operator=(Thread&&) noexcept;
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Starts body on a new thread; false when no thread could be made or this
  // object already holds one. A background thread (a library's own helper)
  // does not keep the process alive once the main thread has ended.
  bool Start(Body body, bool background = false);
  bool IsStarted() const;

  // Waits until the thread has ended; true when it has, false on time-out.
  bool Wait(std::uint32_t timeoutMs);
  // Waits without time limit until the thread has ended.
  void Join();

  // The exit code once the thread has ended.
  std::optional<std::uint32_t> ExitCode() const;
  ThreadId Id() const;
  // Signalled (manual reset) when the thread has ended, for WaitForAny.
  Event* FinishedEvent() const;

  struct State;

 private:
  std::shared_ptr<State> state_;
};

// Ends the calling thread at once with the given exit code. Destructors of the
// thread's stack frames run (on Windows for threads started through Thread
// only: another thread ends through ExitThread), and the windows the thread owns are destroyed
// (their handlers get WM_DESTROY). On the main thread the process goes on
// until every thread started through Thread, background threads aside, has
// ended; then it exits with the status set by SetProcessExitStatus, 0 unless
// one was set.
[[noreturn]] void ExitCurrentThread(std::uint32_t exitCode);

// The status (0 to 255) the process exits with when its main thread ends
// through ExitCurrentThread.
void SetProcessExitStatus(int status);

}  // namespace platform
