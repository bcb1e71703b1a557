#include "platform/thread.h"
#include "platform/foreground_threads.h"

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cxxabi.h>

#include "platform/event.h"
#include "platform/thread_end.h"

namespace platform {

struct Thread::State {
  Body body;
  Event finished{true, false};
  std::atomic<std::uint32_t> exitCode{0};
  std::atomic<ThreadId> id{0};
  bool background = false;
};

namespace {

thread_local Thread::State* currentState = nullptr;
std::atomic<int> processExitStatus{0};

// Marks the thread finished however its body ends, returning or unwinding
// from ExitCurrentThread; its windows go first, as they die with it.
struct FinishOnExit {
  std::shared_ptr<Thread::State> state;
  ~FinishOnExit() { FinishEndingThread(state->finished, state->background); }
};

void* RunThread(void* argument) {
  auto* owned = static_cast<std::shared_ptr<Thread::State>*>(argument);
  FinishOnExit finish{std::move(*owned)};
  delete owned;
  currentState = finish.state.get();
  finish.state->id = CurrentThreadId();
  finish.state->exitCode = finish.state->body();
  return nullptr;
}

}  // namespace

ThreadId CurrentThreadId() {
  thread_local const ThreadId id = static_cast<ThreadId>(syscall(SYS_gettid));
  return id;
}

bool Thread::Start(Body body, bool background) {
  if (state_ || !body) return false;
  auto state = std::make_shared<State>();
  state->body = std::move(body);
  state->background = background;
  auto* handOver = new std::shared_ptr<State>(state);
  // Threads run detached: nothing needs to join them, so none is left
  // unjoined when the process ends while they have finished.
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  if (!background) TheForegroundThreads().Add();
  pthread_t handle;
  const int created = pthread_create(&handle, &attributes, RunThread, handOver);
  pthread_attr_destroy(&attributes);
  if (created != 0) {
    delete handOver;
    if (!background) TheForegroundThreads().Remove();
    return false;
  }
  state_ = std::move(state);
  return true;
}

bool Thread::Wait(std::uint32_t timeoutMs) {
  return state_ && state_->finished.Wait(timeoutMs);
}

void Thread::Join() {
  if (state_) state_->finished.Wait(kInfinite);
}

std::optional<std::uint32_t> Thread::ExitCode() const {
  if (!state_ || !state_->finished.IsSignalled()) return std::nullopt;
  return state_->exitCode.load();
}

ThreadId Thread::Id() const {
  if (!state_) return 0;
  // The id is published by the thread itself; wait the short moment until it has started.
  while (state_->id == 0 && !state_->finished.IsSignalled()) sched_yield();
  return state_->id;
}

Event* Thread::FinishedEvent() const { return state_ ? &state_->finished : nullptr; }

void ExitCurrentThread(std::uint32_t exitCode) {
  if (currentState) {
    currentState->exitCode = exitCode;
    pthread_exit(nullptr);
  }
  DestroyEndingThreadWindows();
  if (syscall(SYS_gettid) == getpid()) {
    // The main thread: the process lives on in its other threads and ends
    // with the last of them.
    TheForegroundThreads().WaitUntilNoneRuns();
    std::exit(processExitStatus.load());
  }
  pthread_exit(nullptr);
}

void SetProcessExitStatus(int status) { processExitStatus = status; }

}  // namespace platform
