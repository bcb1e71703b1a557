#pragma once
// Where a trace line goes when no sink is set: the system's own part of
// OutputDebugString (posix/ and win32/ trace.cpp).

#include <string_view>

namespace platform {

// Called under the trace's lock, so lines never interleave.
void WriteTraceToSystem(std::string_view text);

}  // namespace platform
