#include "korbce/snmp/printer_conditions.h"

#include <algorithm>
#include <set>

#include "korbce/snmp/alert_codes.h"
#include "korbce/snmp/alert_row_conditions.h"
#include "korbce/snmp/condition.h"
#include "korbce/snmp/error_state_conditions.h"
#include "korbce/snmp/printer_locations.h"
#include "korbce/snmp/printer_model.h"
#include "korbce/snmp/printer_tables.h"

namespace korbce::snmp {
namespace {

// The change mask of the library's configuration rows: re-read both lists.
constexpr std::uint8_t kReReadSourcesAndBins = 0x40;

void AddEntry(PrinterConditions& conditions, const CategoryEntry& alert) {
  std::vector<DetailEntry>& entries = conditions.categories[alert.category].entries;
  if (entries.size() >= kMaxCategoryEntries) return;
  if (std::find(entries.begin(), entries.end(), alert.entry) == entries.end()) entries.push_back(alert.entry);
}

bool ReportsOffline(const PrinterSnapshot& snapshot) {
  return snapshot.deviceStatus == kDeviceStatusDown && snapshot.printerStatus == kPrinterStatusOther;
}

}  // namespace

PrinterConditions MapConditions(const PrinterSnapshot& snapshot, bool configChanged) {
  PrinterConditions conditions;
  conditions.model = ModelText(snapshot, kMaxModelLength);
  conditions.inputs = InputLocations(snapshot.inputs);
  conditions.outputs = OutputLocations(snapshot.outputs);
  for (std::size_t bit = 0; bit < kCategoryCount; ++bit) conditions.categories[bit].group = kCategoryGroups[bit];

  const PrinterTables tables(snapshot);
  std::set<ConditionKind> reportedByRows;
  auto take = [&](const Condition& condition) {
    if (condition.kind == ConditionKind::kOffline) conditions.offline = true;
    if (condition.alert) AddEntry(conditions, *condition.alert);
  };
  for (const AlertRow& row : snapshot.alerts) {
    if (const auto condition = RowCondition(row, tables)) {
      reportedByRows.insert(condition->kind);
      take(*condition);
    }
  }
  for (const Condition& condition : ErrorStateConditions(snapshot.detectedErrorState)) {
    if (!reportedByRows.contains(condition.kind)) take(condition);
  }
  if (ReportsOffline(snapshot)) conditions.offline = true;
  if (configChanged) AddEntry(conditions, {category::kConfiguration, DetailEntry{0, 0, kReReadSourcesAndBins}});
  return conditions;
}

}  // namespace korbce::snmp
