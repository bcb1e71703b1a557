#include "korbce/fleet/fleet_values.h"

#include <charconv>

#include "common/decimal_text.h"
#include "profile/profile.h"

namespace korbce {

std::optional<std::array<std::uint8_t, 6>> ParseMacAddress(std::string_view text) {
  if (text.size() != 12) return std::nullopt;
  const auto bytes = ParseHexBytes(text);
  if (!bytes) return std::nullopt;
  std::array<std::uint8_t, 6> mac{};
  for (std::size_t i = 0; i < mac.size(); ++i) mac[i] = (*bytes)[i];
  return mac;
}

std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const std::optional<std::uint32_t> byte = common::ParseHexadecimal(text.substr(i, 2));
    if (!byte) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(*byte));
  }
  return bytes;
}

}  // namespace korbce
