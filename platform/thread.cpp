#include "platform/thread.h"

namespace platform {

// The state is the system's own (thread.cpp of posix/ or win32/); a Thread
// object only shares it.
Thread::~Thread() = default;

Thread::Thread(Thread&& other) noexcept : state_(std::move(other.state_)) {}

Thread& Thread::operator=(Thread&& other) noexcept {
  if (this != &other) state_ = std::move(other.state_);
  return *this;
}

bool Thread::IsStarted() const { return state_ != nullptr; }

}  // namespace platform
