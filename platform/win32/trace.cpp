#include "platform/system_trace.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace platform {

// Each line goes to the debugger's output (DebugView and the like) and to
// standard error as the C runtime's unbuffered stream, whatever it is
// connected to (console, file or pipe).
void WriteTraceToSystem(std::string_view text) {
  OutputDebugStringA(std::string(text).c_str());
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

}  // namespace platform
