#include "common/decimal_text.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "common/blank_text.h"

namespace common {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Skips leading blanks and takes an optional sign; returns true when negative.
bool TakeSign(std::string_view& text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  text.remove_prefix(i);
  return negative;
}

std::optional<std::uint32_t> ParseDigits(std::string_view digits, int base) {
  if (digits.empty()) return std::nullopt;
  std::uint32_t value = 0;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value, base);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

}  // namespace

std::int32_t ReadLeadingInteger(std::string_view text) {
  const bool negative = TakeSign(text);
  // from_chars leaves the value alone when no digit follows: that reads as 0.
  std::uint32_t magnitude = 0;
  const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
  const std::uint32_t largest = std::uint32_t{std::numeric_limits<std::int32_t>::max()} + (negative ? 1 : 0);
  if (error == std::errc::result_out_of_range || magnitude > largest) magnitude = largest;
  return static_cast<std::int32_t>(negative ? -std::int64_t{magnitude} : std::int64_t{magnitude});
}

double ReadLeadingNumber(std::string_view text) {
  const bool negative = TakeSign(text);
  if (text.empty() || !(IsDigit(text[0]) || (text[0] == '.' && text.size() > 1 && IsDigit(text[1])))) return 0;
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (result.ec != std::errc() || !std::isfinite(value)) return 0;
  return negative ? -value : value;
}

std::optional<std::uint32_t> ParseDecimal(std::string_view text) { return ParseDigits(text, 10); }

std::optional<std::uint32_t> ParseHexadecimal(std::string_view text) { return ParseDigits(text, 16); }

std::optional<std::uint32_t> ParseNumber(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return ParseHexadecimal(text.substr(2));
  return ParseDecimal(text);
}

}  // namespace common
