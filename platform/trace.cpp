#include "platform/trace.h"

#include "platform/critical_section.h"
#include "platform/system_trace.h"

namespace platform {

namespace {

// Keeps the lines of concurrent callers whole.
CriticalSection traceMutex;
DebugOutputSink& Sink() REQUIRES(traceMutex) {
  static auto* sink = new DebugOutputSink;  // usable until the process ends
  return *sink;
}

}  // namespace

void OutputDebugString(std::string_view text) {
  ScopedLock lock(traceMutex);
  if (Sink()) {
    Sink()(text);
  } else {
    WriteTraceToSystem(text);
  }
}

void SetDebugOutputSink(DebugOutputSink sink) {
  ScopedLock lock(traceMutex);
  Sink() = std::move(sink);
}

}  // namespace platform
