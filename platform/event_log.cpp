#include "platform/event_log.h"

namespace platform {

std::string EventTypeName(std::uint16_t type) {
  switch (type) {
    case EVENTLOG_ERROR_TYPE: return "Error";
    case EVENTLOG_WARNING_TYPE: return "Warning";
    case EVENTLOG_INFORMATION_TYPE: return "Information";
    default: return std::to_string(type);
  }
}

std::string FormatEventText(const std::string& text, std::span<const char* const> strings) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const std::size_t index = static_cast<std::size_t>(text[i + 1] - '1');
      if (index < strings.size() && strings[index] != nullptr) {
        result += strings[index];
        ++i;
        continue;
      }
    }
    result += c;
  }
  for (char& c : result) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  result.erase(result.find_last_not_of(' ') + 1);
  return result;
}

}  // namespace platform
