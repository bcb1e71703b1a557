#include "platform/trace.h"

#include <mutex>

#include "platform/system_trace.h"

namespace platform {

namespace {

std::mutex traceMutex;
DebugOutputSink& Sink() {
  static auto* sink = new DebugOutputSink;  // usable until the process ends
  return *sink;
}

}  // namespace

void OutputDebugString(std::string_view text) {
  std::lock_guard lock(traceMutex);
  if (Sink()) {
    Sink()(text);
  } else {
    WriteTraceToSystem(text);
  }
}

void SetDebugOutputSink(DebugOutputSink sink) {
  std::lock_guard lock(traceMutex);
  Sink() = std::move(sink);
}

}  // namespace platform
