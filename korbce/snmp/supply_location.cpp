#include "korbce/snmp/supply_location.h"

#include <array>
#include <optional>
#include <string_view>
#include <utility>

#include "common/blank_text.h"
#include "korbce/snmp/alert_codes.h"
#include "profile/profile.h"

namespace korbce::snmp {
namespace {

std::optional<std::uint8_t> LocationOfType(std::int32_t type) {
  switch (type) {
    case supply_type::kWasteToner:
    case supply_type::kWasteInk:
    case supply_type::kWasteWax:
      return supply_location::kWasteBottle;
    case supply_type::kOpc:
      return supply_location::kPhotoconductor;
    case supply_type::kFuser:
      return supply_location::kFuser;
    case supply_type::kFuserOil:
    case supply_type::kFuserOiler:
      return supply_location::kOilBottle;
    case supply_type::kStaples:
      return supply_location::kStaples;
    default:
      return std::nullopt;
  }
}

// Printers pad the colorant name with blanks or NULs now and then, and write
// it in any letter case.
std::optional<std::uint8_t> LocationOfColorant(std::string_view value) {
  value = common::TrimBlanks(value.substr(0, value.find('\0')));
  static constexpr std::array<std::pair<std::string_view, std::uint8_t>, 4> kColorants = {{
      {"black", supply_location::kBlack},
      {"cyan", supply_location::kCyan},
      {"magenta", supply_location::kMagenta},
      {"yellow", supply_location::kYellow},
  }};
  for (const auto& [name, location] : kColorants) {
    if (common::EqualsIgnoreCase(value, name)) return location;
  }
  return std::nullopt;
}

}  // namespace

std::uint8_t SupplyLocation(const SupplyRow* supply, const PrinterTables& tables) {
  if (supply == nullptr) return supply_location::kUnnamed;
  if (supply->type) {
    if (const auto location = LocationOfType(*supply->type)) return *location;
  }
  if (supply->colorantIndex && *supply->colorantIndex > 0) {
    if (const auto location = LocationOfColorant(tables.ColorantValue(*supply->colorantIndex))) return *location;
  }
  return supply_location::kUnnamed;
}

}  // namespace korbce::snmp
