#include "vigilix/decimal_text.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace vigilix {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
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

}  // namespace

int ReadDecimal(std::string_view text) {
  const bool negative = TakeSign(text);
  long long value = 0;
  for (char c : text) {
    if (!IsDigit(c)) break;
    value = value * 10 + (c - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

double ReadLeadingNumber(std::string_view text) {
  const bool negative = TakeSign(text);
  // Only plain decimal notation counts: no hexadecimal, infinity or NaN.
  if (text.empty() || !(IsDigit(text[0]) || (text[0] == '.' && text.size() > 1 && IsDigit(text[1])))) return 0;
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (result.ec != std::errc() || !std::isfinite(value)) return 0;
  return negative ? -value : value;
}

}  // namespace vigilix
