#include "platform/trace.h"

#include <windows.h>
// The A function is called by name; the macro would rename ours.
#undef OutputDebugString

#include <cstdio>
#include <string>

#include "platform/critical_section.h"

namespace platform {

namespace {

// Keeps the lines of concurrent callers whole.
CriticalSection traceMutex;
DebugOutputSink& Sink() REQUIRES(traceMutex) {
  static auto* sink = new DebugOutputSink;  // usable until the process ends
  return *sink;
}

// Standard error as the C runtime's unbuffered stream, whatever it is
// connected to (console, file or pipe).
void WriteToStandardError(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

}  // namespace

// Each line goes to the debugger's output (DebugView and the like) and to
// standard error, which a console or a redirection keeps.
void OutputDebugString(std::string_view text) {
  ScopedLock lock(traceMutex);
  if (Sink()) {
    Sink()(text);
    return;
  }
  ::OutputDebugStringA(std::string(text).c_str());
  WriteToStandardError(text);
}

void SetDebugOutputSink(DebugOutputSink sink) {
  ScopedLock lock(traceMutex);
  Sink() = std::move(sink);
}

}  // namespace platform
