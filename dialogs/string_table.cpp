#include "dialogs/string_table.h"

#include <vector>

namespace platform {

std::string FormatMessageText(std::string_view pattern, std::initializer_list<std::string_view> arguments) {
  const std::vector<std::string_view> args(arguments);
  std::string text;
  text.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    if (pattern[i] == '%' && next >= '1' && next <= '9') {
      const std::size_t index = static_cast<std::size_t>(next - '1');
      if (index < args.size()) text += args[index];
      ++i;
    } else if (pattern[i] == '%' && next == '%') {
      text += '%';
      ++i;
    } else {
      text += pattern[i];
    }
  }
  return text;
}

}  // namespace platform
