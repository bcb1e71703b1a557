#include "common/ipv4_text.h"

#include <array>

#include "common/blank_text.h"
#include "common/byte_order.h"
#include "common/decimal_text.h"
#include "common/list_text.h"

namespace common {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// Reads one Berkeley part at text[pos] in the base its prefix selects, moving
// pos past it; nothing when the value does not fit 32 bits.
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

std::optional<std::uint32_t> ParseIPv4HostOrder(std::string_view text) {
  std::array<std::uint32_t, 3> leading{};
  std::size_t leadingCount = 0;
  std::size_t pos = 0;
  std::uint64_t last = 0;
  for (;;) {
    if (pos >= text.size() || !IsDigit(text[pos])) return std::nullopt;
    std::optional<std::uint64_t> part = ReadPart(text, pos);
    if (!part) return std::nullopt;
    last = *part;
    if (pos >= text.size() || text[pos] != '.') break;
    if (leadingCount == leading.size() || last > 0xFF) return std::nullopt;
    leading[leadingCount++] = static_cast<std::uint32_t>(last);
    ++pos;
  }
  if (pos < text.size() && !IsBlank(text[pos]) && text[pos] != '\0') return std::nullopt;

  static constexpr std::array<std::uint64_t, 4> lastPartMax = {0xFFFFFFFF, 0xFFFFFF, 0xFFFF, 0xFF};
  if (last > lastPartMax[leadingCount]) return std::nullopt;
  std::uint32_t address = static_cast<std::uint32_t>(last);
  for (std::size_t i = 0; i < leadingCount; ++i) address |= leading[i] << (24 - 8 * i);
  return address;
}

std::optional<std::uint32_t> ParseIPv4NetworkOrder(std::string_view text) {
  const std::optional<std::uint32_t> address = ParseIPv4HostOrder(text);
  if (!address) return std::nullopt;
  return HostToNetwork32(*address);
}

bool IsDottedQuad(std::string_view text) { return ParseDottedQuadHostOrder(text).has_value(); }

std::optional<std::uint32_t> ParseDottedQuadHostOrder(std::string_view text) {
  if (text.find_first_of(" \t") != std::string_view::npos) return std::nullopt;
  const std::vector<std::string_view> parts = SplitList(text, '.');
  if (parts.size() != 4) return std::nullopt;
  std::uint32_t address = 0;
  for (std::string_view part : parts) {
    const std::optional<std::uint32_t> value = part.size() <= 3 ? ParseDecimal(part) : std::nullopt;
    if (!value || *value > 255) return std::nullopt;
    address = address << 8 | *value;
  }
  return address;
}

std::string FormatIPv4HostOrder(std::uint32_t address) {
  return std::to_string(address >> 24) + "." + std::to_string(address >> 16 & 0xFF) + "." +
         std::to_string(address >> 8 & 0xFF) + "." + std::to_string(address & 0xFF);
}

std::string FormatIPv4NetworkOrder(std::uint32_t address) { return FormatIPv4HostOrder(NetworkToHost32(address)); }

}  // namespace common
