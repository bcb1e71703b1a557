#include "korbce/fleet/fleet_values.h"

#include <charconv>

#include "profile/profile.h"

namespace korbce {
namespace {

std::optional<std::uint32_t> ParseDigits(std::string_view digits, int base) {
  if (digits.empty()) return std::nullopt;
  std::uint32_t value = 0;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value, base);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

bool AllOf(std::string_view text, bool (*test)(char)) {
  for (char c : text) {
    if (!test(c)) return false;
  }
  return true;
}

}  // namespace

std::optional<std::uint32_t> ParseNumber(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    const std::string_view digits = text.substr(2);
    if (!AllOf(digits, IsHexDigit)) return std::nullopt;
    return ParseDigits(digits, 16);
  }
  return ParseDecimal(text);
}

std::optional<std::uint32_t> ParseDecimal(std::string_view text) {
  if (!AllOf(text, IsDecimalDigit)) return std::nullopt;
  return ParseDigits(text, 10);
}

std::optional<bool> ParseYesNo(std::string_view text) {
  if (platform::EqualsIgnoreCase(text, "Yes")) return true;
  if (platform::EqualsIgnoreCase(text, "No")) return false;
  return std::nullopt;
}

std::optional<std::array<std::uint8_t, 6>> ParseMacAddress(std::string_view text) {
  if (text.size() != 12) return std::nullopt;
  const auto bytes = ParseHexBytes(text);
  if (!bytes) return std::nullopt;
  std::array<std::uint8_t, 6> mac{};
  for (std::size_t i = 0; i < mac.size(); ++i) mac[i] = (*bytes)[i];
  return mac;
}

std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view text) {
  if (text.size() % 2 != 0 || !AllOf(text, IsHexDigit)) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(*ParseDigits(text.substr(i, 2), 16)));
  }
  return bytes;
}

bool IsDottedAddress(std::string_view text) {
  const auto parts = SplitList(text, '.');
  if (parts.size() != 4) return false;
  for (std::string_view part : parts) {
    // Blanks inside the address are not allowed: the pieces must be as written.
    if (part.empty() || part.size() > 3 || !AllOf(part, IsDecimalDigit)) return false;
    if (*ParseDigits(part, 10) > 255) return false;
  }
  return text.find_first_of(" \t") == std::string_view::npos;
}

std::vector<std::string_view> SplitList(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  while (true) {
    const std::size_t end = text.find(separator);
    pieces.push_back(platform::TrimBlanks(text.substr(0, end)));
    if (end == std::string_view::npos) return pieces;
    text.remove_prefix(end + 1);
  }
}

}  // namespace korbce
