#include "platform/environment_expansion.h"

#include "platform/environment.h"

namespace platform {

namespace {

bool IsNameCharacter(char c) {
  return c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// The value of the variable named by text[nameBegin, nameEnd), or nothing when unset.
std::optional<std::string> Lookup(std::string_view text, std::size_t nameBegin, std::size_t nameEnd) {
  if (nameEnd <= nameBegin) return std::nullopt;
  return GetEnvironmentVariable(text.substr(nameBegin, nameEnd - nameBegin));
}

// Length of the reference starting at text[at] and its value, or 0 when none starts there.
std::size_t MatchReference(std::string_view text, std::size_t at, std::optional<std::string>& value) {
  value.reset();
  if (text[at] == '%') {
    std::size_t close = text.find('%', at + 1);
    if (close == std::string_view::npos) return 0;
    value = Lookup(text, at + 1, close);
    return close + 1 - at;
  }
  if (text[at] != '$' || at + 1 >= text.size()) return 0;
  if (text[at + 1] == '{') {
    std::size_t close = text.find('}', at + 2);
    if (close == std::string_view::npos) return 0;
    value = Lookup(text, at + 2, close);
    return close + 1 - at;
  }
  std::size_t end = at + 1;
  while (end < text.size() && IsNameCharacter(text[end])) ++end;
  value = Lookup(text, at + 1, end);
  return end - at;
}

}  // namespace

std::optional<std::string> ExpandEnvironmentStrings(std::string_view text, std::size_t maxLength) {
  std::string result;
  std::size_t at = 0;
  while (at < text.size()) {
    std::optional<std::string> value;
    std::size_t length = MatchReference(text, at, value);
    if (length > 0 && value) {
      result += *value;
      at += length;
    } else {
      std::size_t copied = length > 0 ? length : 1;
      result.append(text.substr(at, copied));
      at += copied;
    }
    if (result.size() > maxLength) return std::nullopt;
  }
  return result;
}

}  // namespace platform
