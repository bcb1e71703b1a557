#include "common/yes_no_text.h"

#include <algorithm>
#include <string>

namespace common {

std::optional<bool> ParseYesNo(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  if (lower == "yes") return true;
  if (lower == "no") return false;
  return std::nullopt;
}

}  // namespace common
