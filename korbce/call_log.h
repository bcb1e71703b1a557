#pragma once
// The engine's call log: one line per call, appended to the file that
// KORBCE_LOG names, such as
//   BceEnumPrinters app=1 mask=0x80000002 -> 0

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "messages/window.h"

namespace korbce {

// One call's line: the function name, then its arguments in order.
class CallLine {
 public:
  explicit CallLine(std::string_view function);

  CallLine& Number(std::string_view name, std::int64_t value);        // decimal
  CallLine& Flags(std::string_view name, std::uint32_t value);       // 0x and upper-case hexadecimal
  CallLine& Text(std::string_view name, const char* value);          // in double quotes
  CallLine& Bytes(std::string_view name, const std::uint8_t* bytes, std::size_t count);  // hexadecimal
  CallLine& Window(std::string_view name, platform::WindowHandle window);                // its title

  // The finished line: " -> ", the result and a newline.
  std::string Finish(std::int32_t result) const;

 private:
  void AppendName(std::string_view name);

  std::string line_;
};

// Safe to use from several threads at once.
class CallLog {
 public:
  // An empty path keeps no log.
  explicit CallLog(std::string path) : path_(std::move(path)) {}

  bool IsEnabled() const { return !path_.empty(); }
  // Appends the line; a failure to write is reported on the trace once.
  void Write(const CallLine& line, std::int32_t result);

 private:
  std::string path_;
  std::atomic<bool> failureReported_ = false;
};

}  // namespace korbce
