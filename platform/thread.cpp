#include "platform/thread.h"

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cxxabi.h>

#include "platform/event.h"

namespace platform {

struct Thread::State {
  Body body;
  Event finished{true, false};
  std::atomic<std::uint32_t> exitCode{0};
  std::atomic<ThreadId> id{0};
  pthread_t handle{};
  bool joined = false;
};

namespace {

thread_local Thread::State* currentState = nullptr;

// Marks the thread finished however its body ends, returning or unwinding
// from ExitCurrentThread.
struct FinishOnExit {
  std::shared_ptr<Thread::State> state;
  ~FinishOnExit() { state->finished.Set(); }
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

Thread::~Thread() {
  if (state_ && !state_->joined) pthread_detach(state_->handle);
}

Thread::Thread(Thread&& other) noexcept : state_(std::move(other.state_)) {}

Thread& Thread::operator=(Thread&& other) noexcept {
  if (this != &other) {
    if (state_ && !state_->joined) pthread_detach(state_->handle);
    state_ = std::move(other.state_);
  }
  return *this;
}

bool Thread::Start(Body body) {
  if (state_ || !body) return false;
  auto state = std::make_shared<State>();
  state->body = std::move(body);
  auto* handOver = new std::shared_ptr<State>(state);
  if (pthread_create(&state->handle, nullptr, RunThread, handOver) != 0) {
    delete handOver;
    return false;
  }
  state_ = std::move(state);
  return true;
}

bool Thread::IsStarted() const { return state_ != nullptr; }

bool Thread::Wait(std::uint32_t timeoutMs) {
  return state_ && state_->finished.Wait(timeoutMs);
}

void Thread::Join() {
  if (!state_ || state_->joined) return;
  pthread_join(state_->handle, nullptr);
  state_->joined = true;
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
  if (currentState) currentState->exitCode = exitCode;
  pthread_exit(nullptr);
}

}  // namespace platform
