#include "platform/trace.h"

#include <unistd.h>

#include <cerrno>

#include "platform/critical_section.h"

namespace platform {

namespace {

// Keeps the lines of concurrent callers whole.
CriticalSection traceMutex;
DebugOutputSink& Sink() REQUIRES(traceMutex) {
  static auto* sink = new DebugOutputSink;  // usable until the process ends
  return *sink;
}

void WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = write(fd, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return;
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}

}  // namespace

void OutputDebugString(std::string_view text) {
  ScopedLock lock(traceMutex);
  if (Sink()) {
    Sink()(text);
  } else {
    WriteAll(STDERR_FILENO, text);
  }
}

void SetDebugOutputSink(DebugOutputSink sink) {
  ScopedLock lock(traceMutex);
  Sink() = std::move(sink);
}

}  // namespace platform
