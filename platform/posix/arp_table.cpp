#include "platform/posix/arp_table.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/byte_order.h"
#include "common/decimal_text.h"
#include "common/ipv4_text.h"

namespace platform {
namespace {

constexpr std::uint32_t kCompleteEntry = 0x2;  // ATF_COM

std::vector<std::string_view> FieldsOf(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t at = 0;
  while ((at = line.find_first_not_of(" \t", at)) != std::string_view::npos) {
    const std::size_t end = std::min(line.find_first_of(" \t", at), line.size());
    fields.push_back(line.substr(at, end - at));
    at = end;
  }
  return fields;
}

// "00:11:22:33:44:55": six bytes of two hexadecimal digits each.
std::optional<HardwareAddress> ParseHardwareAddress(std::string_view text) {
  constexpr std::size_t kTextSize = 6 * 3 - 1;
  if (text.size() != kTextSize) return std::nullopt;
  HardwareAddress address{};
  for (std::size_t i = 0; i < address.size(); ++i) {
    if (i > 0 && text[i * 3 - 1] != ':') return std::nullopt;
    const auto byte = common::ParseHexadecimal(text.substr(i * 3, 2));
    if (!byte) return std::nullopt;
    address[i] = static_cast<std::uint8_t>(*byte);
  }
  if (std::all_of(address.begin(), address.end(), [](std::uint8_t byte) { return byte == 0; })) return std::nullopt;
  return address;
}

std::optional<HardwareAddress> EntryFor(std::string_view line, std::uint32_t hostOrderAddress) {
  const auto fields = FieldsOf(line);
  if (fields.size() < 4 || common::ParseDottedQuadHostOrder(fields[0]) != hostOrderAddress) return std::nullopt;
  const auto flags = common::ParseNumber(fields[2]);
  if (!flags || (*flags & kCompleteEntry) == 0) return std::nullopt;
  return ParseHardwareAddress(fields[3]);
}

}  // namespace

std::optional<HardwareAddress> FindInArpTable(std::string_view text, std::uint32_t networkOrderAddress) {
  const std::uint32_t address = common::NetworkToHost32(networkOrderAddress);
  std::size_t start = text.find('\n');  // past the heading
  while (start != std::string_view::npos && start < text.size()) {
    ++start;
    const std::size_t end = std::min(text.find('\n', start), text.size());
    if (auto found = EntryFor(text.substr(start, end - start), address)) return found;
    start = end;
  }
  return std::nullopt;
}

}  // namespace platform
