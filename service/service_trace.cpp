#include "service/service_trace.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "platform/thread.h"
#include "platform/trace.h"
#include "service/nt_service.h"

namespace {
constexpr std::size_t kTraceLineSize = 1024;  // with the terminating NUL
}

void TraceV(const char* format, std::va_list arguments) {
  char line[kTraceLineSize];
  int length = std::snprintf(line, sizeof line, "[%s](%lu): ", CNTService::ServiceName(),
                             static_cast<unsigned long>(platform::CurrentThreadId()));
  std::size_t used = std::min<std::size_t>(static_cast<std::size_t>(std::max(length, 0)), sizeof line - 2);
  // The message may be cut, but the line always ends with its line break.
  length = std::vsnprintf(line + used, sizeof line - 1 - used, format, arguments);
  used += std::min<std::size_t>(static_cast<std::size_t>(std::max(length, 0)), sizeof line - 2 - used);
  line[used++] = '\n';
  platform::OutputDebugString(std::string_view(line, used));
}

void Trace(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  TraceV(format, arguments);
  va_end(arguments);
}
