#include "korbce/snmp/printer_locations.h"

#include <array>
#include <cstddef>
#include <string>

namespace korbce::snmp {
namespace {

constexpr std::size_t kListAnswerSize = 1000;
constexpr std::size_t kListHeaderSize = 2;  // unused byte and count
// Encoded entry sizes beside the name: key, unused bytes, name length, NUL
// and (inputs) the count of further bytes.
constexpr std::size_t kInputEntryOverhead = 33;
constexpr std::size_t kOutputEntryOverhead = 10;

std::string LocationName(const std::string& name, const std::string& description, const char* prefix,
                         std::int32_t index) {
  const std::string& chosen = !name.empty() ? name : description;
  if (chosen.empty()) return prefix + std::to_string(index);
  return chosen.substr(0, kMaxLocationNameLength);
}

template <class Row>
std::vector<Location> Locations(const std::vector<Row>& rows, const char* prefix, std::size_t entryOverhead) {
  std::vector<Location> locations;
  std::array<bool, 256> seen{};
  std::size_t encoded = kListHeaderSize;
  for (const Row& row : rows) {
    if (row.index < 1 || row.index > 255 || seen[static_cast<std::size_t>(row.index)]) continue;
    std::string name = LocationName(row.name, row.description, prefix, row.index);
    if (encoded + entryOverhead + name.size() > kListAnswerSize) break;
    encoded += entryOverhead + name.size();
    seen[static_cast<std::size_t>(row.index)] = true;
    locations.push_back(Location{static_cast<std::uint8_t>(row.index), std::move(name)});
  }
  return locations;
}

}  // namespace

std::vector<Location> InputLocations(const std::vector<InputRow>& rows) {
  return Locations(rows, "Tray ", kInputEntryOverhead);
}

std::vector<Location> OutputLocations(const std::vector<OutputRow>& rows) {
  return Locations(rows, "Bin ", kOutputEntryOverhead);
}

bool FitsOutputList(const std::vector<Location>& outputs, std::size_t nameLength) {
  std::size_t encoded = kListHeaderSize + kOutputEntryOverhead + nameLength;
  for (const Location& output : outputs) encoded += kOutputEntryOverhead + output.name.size();
  return outputs.size() < 255 && encoded <= kListAnswerSize;
}

}  // namespace korbce::snmp
