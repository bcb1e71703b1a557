#pragma once
// Debug output: one trace line per call, to standard error (the journal keeps
// it under systemd; on Windows the debugger's output receives it as well).
// Thread-safe; concurrent lines never interleave.

#include <functional>
#include <string>
#include <string_view>

namespace platform {

void OutputDebugString(std::string_view text);

// Tests capture the trace: while a sink is set, text goes to it instead of
// standard error. An empty function restores standard error.
using DebugOutputSink = std::function<void(std::string_view)>;
void SetDebugOutputSink(DebugOutputSink sink);

}  // namespace platform
