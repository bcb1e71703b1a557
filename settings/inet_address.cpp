#include "settings/inet_address.h"

#include <array>
#include <optional>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

int DigitValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// Reads one part at text[pos] in the base its prefix selects, moving pos past
// it; nothing when the value does not fit 32 bits.
std::optional<std::uint64_t> ReadPart(std::string_view text, std::size_t& pos) {
  int base = 10;
  if (text[pos] == '0') {
    base = 8;
    bool hexPrefix =
        pos + 2 < text.size() && (text[pos + 1] == 'x' || text[pos + 1] == 'X') && DigitValue(text[pos + 2]) < 16;
    if (hexPrefix) {
      base = 16;
      pos += 2;
    }
  }
  std::uint64_t value = 0;
  while (pos < text.size() && DigitValue(text[pos]) < base) {
    value = value * base + DigitValue(text[pos]);
    if (value > 0xFFFFFFFF) return std::nullopt;
    ++pos;
  }
  return value;
}

}  // namespace

std::uint32_t ParseInetAddress(std::string_view text) {
  std::array<std::uint32_t, 3> leading{};
  std::size_t leadingCount = 0;
  std::size_t pos = 0;
  std::uint64_t last = 0;
  for (;;) {
    if (pos >= text.size() || !IsDigit(text[pos])) return INVALID_INET_ADDRESS;
    std::optional<std::uint64_t> part = ReadPart(text, pos);
    if (!part) return INVALID_INET_ADDRESS;
    last = *part;
    if (pos >= text.size() || text[pos] != '.') break;
    if (leadingCount == leading.size() || last > 0xFF) return INVALID_INET_ADDRESS;
    leading[leadingCount++] = static_cast<std::uint32_t>(last);
    ++pos;
  }
  if (pos < text.size() && !IsBlank(text[pos]) && text[pos] != '\0') return INVALID_INET_ADDRESS;

  static constexpr std::array<std::uint64_t, 4> lastPartMax = {0xFFFFFFFF, 0xFFFFFF, 0xFFFF, 0xFF};
  if (last > lastPartMax[leadingCount]) return INVALID_INET_ADDRESS;
  std::uint32_t address = static_cast<std::uint32_t>(last);
  for (std::size_t i = 0; i < leadingCount; ++i) address |= leading[i] << (24 - 8 * i);
  return address;
}
