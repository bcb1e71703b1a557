#include "korbce/snmp/alert_row_conditions.h"

#include <algorithm>
#include <array>

#include "korbce/snmp/alert_codes.h"
#include "korbce/snmp/supply_location.h"

namespace korbce::snmp {
namespace {

using namespace alert_code;

// Codes that tell of a state, not of trouble: closed, turned on, power saver,
// warming up, added, configuration changed, powered up or down, reset, ready,
// and the removal of a binary change entry.
constexpr std::array<std::int32_t, 15> kStateNotices = {4, 6, 7, 19, 20, 23, 24, 25, 502, 503, 504, 505, 506, 507, 1801};

bool IsStateNotice(std::int32_t code) {
  return std::find(kStateNotices.begin(), kStateNotices.end(), code) != kStateNotices.end();
}

std::uint8_t ByteInRange(std::optional<std::int32_t> value) {
  return value && *value >= 1 && *value <= 255 ? static_cast<std::uint8_t>(*value) : 0;
}

std::uint16_t Code16(std::int32_t code) {
  return code >= 0 && code < kErrorStateCodeBase ? static_cast<std::uint16_t>(code) : kUnrepresentableCode;
}

Condition Alert(ConditionKind kind, std::size_t category, std::uint8_t location, std::int32_t code) {
  return {kind, CategoryEntry{category, MakeEntry(location, Code16(code))}};
}

struct RowFacts {
  std::int32_t code;
  std::int32_t group;
  std::uint8_t location;  // the group index as a location byte
  bool inGroup(std::int32_t wanted) const { return group == wanted; }
};

Condition JamCondition(const RowFacts& row) {
  const bool located = row.inGroup(alert_group::kInput) || row.inGroup(alert_group::kOutput);
  const std::uint8_t group = ByteInRange(row.group);
  return {ConditionKind::kJam,
          CategoryEntry{category::kJam, DetailEntry{located ? row.location : std::uint8_t{0}, group, static_cast<std::uint8_t>(kJam)}}};
}

bool IsManualFeeder(const AlertRow& row, const PrinterTables& tables) {
  if (row.group != alert_group::kInput || !row.groupIndex) return false;
  const InputRow* input = tables.Input(*row.groupIndex);
  return input != nullptr && input->type == kInputSheetFeedManual;
}

// An empty or nearly empty manual feeder is normal: known, but no alert.
std::optional<Condition> InputCondition(const RowFacts& facts, const AlertRow& row, const PrinterTables& tables) {
  const bool input = facts.inGroup(alert_group::kInput);
  const std::uint8_t location = input ? facts.location : 0;
  std::optional<ConditionKind> level;
  if (facts.code == kInputSupplyEmpty || (input && facts.code == kSubunitEmpty)) level = ConditionKind::kInputEmpty;
  if (facts.code == kInputSupplyLow || (input && facts.code == kSubunitAlmostEmpty)) level = ConditionKind::kInputLow;
  if (level) {
    if (IsManualFeeder(row, tables)) return Condition{*level, std::nullopt};
    return Alert(*level, category::kInput, location, facts.code);
  }
  if (facts.code == kInputTrayMissing || (input && facts.code == kSubunitMissing)) {
    return Alert(ConditionKind::kInputTrayMissing, category::kInput, location, facts.code);
  }
  if (facts.code == kInputMediaChangeRequest || facts.code == kInputManualInputRequest) {
    return Alert(ConditionKind::kOther, category::kOperator, location, facts.code);
  }
  return std::nullopt;
}

std::optional<Condition> OutputCondition(const RowFacts& facts) {
  const bool output = facts.inGroup(alert_group::kOutput);
  const std::uint8_t location = output ? facts.location : 0;
  if (facts.code == kOutputFull || (output && facts.code == kSubunitFull)) {
    return Alert(ConditionKind::kOutputFull, category::kOutput, location, facts.code);
  }
  if (facts.code == kOutputAlmostFull || (output && facts.code == kSubunitAlmostFull)) {
    return Alert(ConditionKind::kOutputNearFull, category::kOutput, location, facts.code);
  }
  return std::nullopt;
}

ConditionKind SupplyKind(std::int32_t code) {
  switch (code) {
    case kTonerAlmostEmpty:
    case kInkAlmostEmpty:
    case kRibbonAlmostEmpty:
    case kDeveloperAlmostEmpty:
      return ConditionKind::kSupplyLow;
    case kTonerEmpty:
    case kInkEmpty:
    case kRibbonEmpty:
    case kDeveloperEmpty:
      return ConditionKind::kSupplyEmpty;
    case kTonerCartridgeMissing:
      return ConditionKind::kSupplyMissing;
    default:
      return ConditionKind::kOther;
  }
}

std::uint8_t SupplyAlertLocation(const RowFacts& facts, const AlertRow& row, const PrinterTables& tables) {
  if (facts.code >= kWasteTonerAlmostFull && facts.code <= kWasteInkFull) return supply_location::kWasteBottle;
  if (facts.code == kOpcLifeAlmostOver || facts.code == kOpcLifeOver) return supply_location::kPhotoconductor;
  const SupplyRow* supply =
      facts.inGroup(alert_group::kMarkerSupplies) && row.groupIndex ? tables.Supply(*row.groupIndex) : nullptr;
  return SupplyLocation(supply, tables);
}

std::optional<Condition> SupplyCondition(const RowFacts& facts, const AlertRow& row, const PrinterTables& tables) {
  if (facts.code < kTonerEmpty || facts.code > kTonerCartridgeMissing) return std::nullopt;
  return Alert(SupplyKind(facts.code), category::kSupplies, SupplyAlertLocation(facts, row, tables), facts.code);
}

bool IsFuserFailure(std::int32_t code) { return code >= kFirstFuserFailure && code <= kLastFuserFailure; }

bool NeedsService(const RowFacts& facts, const AlertRow& row) {
  return facts.code == kSubunitLifeOver || (facts.code >= kFirstSubunitFailure && facts.code <= kLastSubunitFailure) ||
         IsFuserFailure(facts.code) || row.trainingLevel == kTrainingFieldService;
}

std::optional<Condition> OtherCondition(const RowFacts& facts, const AlertRow& row) {
  if (NeedsService(facts, row)) {
    const std::uint8_t location = IsFuserFailure(facts.code) ? supply_location::kFuser : 0;
    return Alert(ConditionKind::kService, category::kService, location, facts.code);
  }
  if (row.severityLevel != alert_severity::kCritical && row.severityLevel != alert_severity::kWarningBinaryChange) {
    return std::nullopt;
  }
  const ConditionKind kind = facts.code == kOutputTrayMissing ? ConditionKind::kOutputTrayMissing : ConditionKind::kOther;
  return Alert(kind, category::kWarning, 0, facts.code);
}

}  // namespace

bool IsStateNotice(const AlertRow& row) { return IsStateNotice(row.code.value_or(-1)); }

std::optional<Condition> RowCondition(const AlertRow& row, const PrinterTables& tables) {
  const RowFacts facts{row.code.value_or(-1), row.group.value_or(0), ByteInRange(row.groupIndex)};
  if (IsStateNotice(facts.code)) return std::nullopt;
  if (facts.code == kSubunitOffline && facts.inGroup(alert_group::kGeneralPrinter)) {
    return Condition{ConditionKind::kOffline, std::nullopt};
  }
  if (facts.code == kJam) return JamCondition(facts);
  if (facts.code == kStapleJam) return Alert(ConditionKind::kJam, category::kJam, 0, facts.code);
  if (facts.code == kCoverOpen || facts.code == kInterlockOpen || facts.code == kDoorOpen) {
    return Alert(ConditionKind::kCoverOpen, category::kOperator, 0, facts.code);
  }
  if (auto input = InputCondition(facts, row, tables)) return input;
  if (auto output = OutputCondition(facts)) return output;
  if (auto supply = SupplyCondition(facts, row, tables)) return supply;
  return OtherCondition(facts, row);
}

}  // namespace korbce::snmp
