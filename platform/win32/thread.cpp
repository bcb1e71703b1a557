#include "platform/thread.h"
#include "platform/foreground_threads.h"
#include "platform/event.h"
#include "platform/thread_end.h"

#include <windows.h>
#include <process.h>

#include <atomic>
#include <cstdlib>

namespace platform {

struct Thread::State {
  ~State() {
    if (handle != nullptr) CloseHandle(handle);
  }
  Body body;
  Event finished{true, false};
  // Signalled however the thread ends: at the process's exit the system ends
  // the other threads without unwinding them, before the DLLs' static objects
  // go, and a destructor there that joins a thread must not wait for a
  // finished event that will never be set.
  HANDLE handle = nullptr;
  std::atomic<std::uint32_t> exitCode{0};
  std::atomic<ThreadId> id{0};
  bool background = false;
};

namespace {

thread_local Thread::State* currentState = nullptr;
std::atomic<int> processExitStatus{0};
// The library is loaded with the program, on its main thread.
const DWORD mainThreadId = GetCurrentThreadId();

// Thrown by ExitCurrentThread on a thread of ours and caught where the thread
// began, so that the destructors of every frame in between run.
struct ThreadExit {};

// Marks the thread finished however its body ends; its windows go first, as
// they die with it.
struct FinishOnExit {
  std::shared_ptr<Thread::State> state;
  ~FinishOnExit() { FinishEndingThread(state->finished, state->background); }
};

unsigned __stdcall RunThread(void* argument) {
  auto* owned = static_cast<std::shared_ptr<Thread::State>*>(argument);
  FinishOnExit finish{std::move(*owned)};
  delete owned;
  currentState = finish.state.get();
  finish.state->id = CurrentThreadId();
  try {
    finish.state->exitCode = finish.state->body();
  } catch (const ThreadExit&) {
    // exitCode was set by ExitCurrentThread
  }
  return finish.state->exitCode;
}

}  // namespace

ThreadId CurrentThreadId() { return GetCurrentThreadId(); }

bool Thread::Start(Body body, bool background) {
  if (state_ || !body) return false;
  auto state = std::make_shared<State>();
  state->body = std::move(body);
  state->background = background;
  auto* handOver = new std::shared_ptr<State>(state);
  if (!background) TheForegroundThreads().Add();
  unsigned id = 0;
  // _beginthreadex rather than CreateThread: the C runtime sets the thread up.
  const auto handle = _beginthreadex(nullptr, 0, RunThread, handOver, 0, &id);
  if (handle == 0) {
    delete handOver;
    if (!background) TheForegroundThreads().Remove();
    return false;
  }
  state->handle = reinterpret_cast<HANDLE>(handle);
  state->id = id;
  state_ = std::move(state);
  return true;
}

bool Thread::Wait(std::uint32_t timeoutMs) {
  return state_ && WaitForSingleObject(state_->handle, timeoutMs) == WAIT_OBJECT_0;
}

void Thread::Join() {
  if (state_) WaitForSingleObject(state_->handle, INFINITE);
}

std::optional<std::uint32_t> Thread::ExitCode() const {
  if (!state_ || !state_->finished.IsSignalled()) return std::nullopt;
  return state_->exitCode.load();
}

ThreadId Thread::Id() const { return state_ ? state_->id.load() : 0; }

Event* Thread::FinishedEvent() const { return state_ ? &state_->finished : nullptr; }

// A thread that the system started (not through Thread) has no frame of ours
// to unwind to: it ends through ExitThread, which runs no destructors.
void ExitCurrentThread(std::uint32_t exitCode) {
  if (currentState) {
    currentState->exitCode = exitCode;
    throw ThreadExit{};
  }
  DestroyEndingThreadWindows();
  if (GetCurrentThreadId() == mainThreadId) {
    // The main thread: the process lives on in its other threads and ends
    // with the last of them.
    TheForegroundThreads().WaitUntilNoneRuns();
    std::exit(processExitStatus.load());
  }
  ReleaseEndingThreadMessageQueue();
  ExitThread(exitCode);
}

void SetProcessExitStatus(int status) { processExitStatus = status; }

}  // namespace platform
