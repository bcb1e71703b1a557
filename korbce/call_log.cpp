#include "korbce/call_log.h"

#include <cstdio>

#include "platform/file_append.h"
#include "platform/trace.h"

namespace korbce {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendHexByte(std::string& text, std::uint8_t byte) {
  text += kHexDigits[byte >> 4];
  text += kHexDigits[byte & 0xF];
}

// Keeps the line one line whatever the text holds.
void AppendEscaped(std::string& text, std::string_view value) {
  for (char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      text += '\\';
      text += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      text += "\\x";
      AppendHexByte(text, byte);
    } else {
      text += c;
    }
  }
}

}  // namespace

CallLine::CallLine(std::string_view function) : line_(function) {}

void CallLine::AppendName(std::string_view name) {
  line_ += ' ';
  line_ += name;
  line_ += '=';
}

CallLine& CallLine::Number(std::string_view name, std::int64_t value) {
  AppendName(name);
  line_ += std::to_string(value);
  return *this;
}

CallLine& CallLine::Flags(std::string_view name, std::uint32_t value) {
  AppendName(name);
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
  line_ += text;
  return *this;
}

CallLine& CallLine::Text(std::string_view name, const char* value) {
  AppendName(name);
  if (value == nullptr) {
    line_ += "null";
    return *this;
  }
  line_ += '"';
  AppendEscaped(line_, value);
  line_ += '"';
  return *this;
}

CallLine& CallLine::Bytes(std::string_view name, const std::uint8_t* bytes, std::size_t count) {
  AppendName(name);
  if (bytes == nullptr && count != 0) {
    line_ += "null";
    return *this;
  }
  for (std::size_t i = 0; i < count; ++i) AppendHexByte(line_, bytes[i]);
  return *this;
}

CallLine& CallLine::Window(std::string_view name, platform::WindowHandle window) {
  if (window == nullptr) return Text(name, nullptr);
  return Text(name, platform::GetWindowTitle(window).c_str());
}

std::string CallLine::Finish(std::int32_t result) const { return line_ + " -> " + std::to_string(result) + "\n"; }

void CallLog::Write(const CallLine& line, std::int32_t result) {
  if (!IsEnabled()) return;
  const platform::FileResult written = platform::AppendToFile(path_, line.Finish(result));
  if (!written.ok() && !failureReported_.exchange(true)) {
    platform::OutputDebugString("korbce: cannot append to the call log " + path_ + " (error " +
                                std::to_string(written.systemError) + ")\n");
  }
}

}  // namespace korbce
