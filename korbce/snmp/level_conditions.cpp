#include "korbce/snmp/level_conditions.h"

#include "korbce/snmp/alert_codes.h"
#include "korbce/snmp/supply_location.h"

namespace korbce::snmp {
namespace {

using namespace alert_code;

enum class Level { kLow, kEmpty };

std::optional<Level> LevelOf(std::optional<std::int32_t> level, std::optional<std::int32_t> capacity,
                             std::uint32_t percent) {
  if (!level || !capacity || *level < 0 || *capacity <= 0) return std::nullopt;
  if (*level == 0) return Level::kEmpty;
  if (std::int64_t{*level} * 100 <= std::int64_t{percent} * *capacity) return Level::kLow;
  return std::nullopt;
}

bool IsToner(std::int32_t type) { return type == supply_type::kToner || type == supply_type::kTonerCartridge; }
bool IsInk(std::int32_t type) { return type == supply_type::kInk || type == supply_type::kInkCartridge; }

Condition LevelAlert(Level level, std::size_t category, std::uint8_t location, std::int32_t lowCode,
                     std::int32_t emptyCode, ConditionKind lowKind, ConditionKind emptyKind) {
  const bool empty = level == Level::kEmpty;
  const auto code = static_cast<std::uint16_t>(empty ? emptyCode : lowCode);
  return {empty ? emptyKind : lowKind, CategoryEntry{category, MakeEntry(location, code)}};
}

}  // namespace

std::optional<Condition> SupplyLevelCondition(const SupplyRow& supply, const PrinterTables& tables,
                                              std::uint32_t percent) {
  if (!supply.type || !(IsToner(*supply.type) || IsInk(*supply.type))) return std::nullopt;
  const auto level = LevelOf(supply.level, supply.maxCapacity, percent);
  if (!level) return std::nullopt;
  const bool toner = IsToner(*supply.type);
  return LevelAlert(*level, category::kSupplies, SupplyLocation(&supply, tables),
                    toner ? kTonerAlmostEmpty : kInkAlmostEmpty, toner ? kTonerEmpty : kInkEmpty,
                    ConditionKind::kSupplyLow, ConditionKind::kSupplyEmpty);
}

std::optional<Condition> InputLevelCondition(const InputRow& input, std::uint32_t percent) {
  if (input.type == kInputSheetFeedManual) return std::nullopt;
  const auto level = LevelOf(input.level, input.maxCapacity, percent);
  if (!level) return std::nullopt;
  const std::uint8_t location = input.index >= 1 && input.index <= 255 ? static_cast<std::uint8_t>(input.index) : 0;
  return LevelAlert(*level, category::kInput, location, kInputSupplyLow, kInputSupplyEmpty, ConditionKind::kInputLow,
                    ConditionKind::kInputEmpty);
}

}  // namespace korbce::snmp
