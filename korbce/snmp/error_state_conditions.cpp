#include "korbce/snmp/error_state_conditions.h"

#include <array>

#include "korbce/snmp/alert_codes.h"

namespace korbce::snmp {
namespace {

struct ErrorBit {
  int number;  // from the most significant bit of the first octet
  ConditionKind kind;
  std::size_t category;
  int codeNumber;  // the private code is kErrorStateCodeBase + codeNumber
};

constexpr int kNoPaper = 1;
constexpr int kOffline = 6;

constexpr std::array<ErrorBit, 15> kErrorBits = {{
    {0, ConditionKind::kInputLow, category::kInput, 0},                 // lowPaper
    {kNoPaper, ConditionKind::kInputEmpty, category::kInput, kNoPaper}, // noPaper
    {2, ConditionKind::kSupplyLow, category::kSupplies, 2},             // lowToner
    {3, ConditionKind::kSupplyEmpty, category::kSupplies, 3},           // noToner
    {4, ConditionKind::kCoverOpen, category::kOperator, 4},             // doorOpen
    {5, ConditionKind::kJam, category::kJam, 5},                        // jammed
    {kOffline, ConditionKind::kOffline, 0, kOffline},                   // offline
    {7, ConditionKind::kService, category::kService, 7},                // serviceRequested
    {8, ConditionKind::kInputTrayMissing, category::kInput, 8},         // inputTrayMissing
    {9, ConditionKind::kOutputTrayMissing, category::kWarning, 9},      // outputTrayMissing
    {10, ConditionKind::kSupplyMissing, category::kSupplies, 10},       // markerSupplyMissing
    {11, ConditionKind::kOutputNearFull, category::kOutput, 11},        // outputNearFull
    {12, ConditionKind::kOutputFull, category::kOutput, 12},            // outputFull
    {13, ConditionKind::kInputEmpty, category::kInput, kNoPaper},       // inputTrayEmpty
    {14, ConditionKind::kMaintenance, category::kService, 14},          // overduePreventMaint
}};

bool IsSet(std::string_view errorState, int number) {
  const std::size_t octet = static_cast<std::size_t>(number / 8);
  if (octet >= errorState.size()) return false;
  const unsigned mask = 0x80u >> (number % 8);
  return (static_cast<unsigned char>(errorState[octet]) & mask) != 0;
}

}  // namespace

std::vector<Condition> ErrorStateConditions(std::string_view errorState) {
  std::vector<Condition> conditions;
  for (const ErrorBit& bit : kErrorBits) {
    if (!IsSet(errorState, bit.number)) continue;
    if (bit.kind == ConditionKind::kOffline) {
      conditions.push_back({bit.kind, std::nullopt});
      continue;
    }
    const auto code = static_cast<std::uint16_t>(kErrorStateCodeBase + bit.codeNumber);
    conditions.push_back({bit.kind, CategoryEntry{bit.category, MakeEntry(0, code)}});
  }
  return conditions;
}

}  // namespace korbce::snmp
