#pragma once
// One condition of a printer, as read from its alert table or its error-state
// bits: what kind of trouble it is, and the detail entry it adds to a category.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "korbce/printer_state.h"

namespace korbce::snmp {

// Alert categories by their bit in the alert mask.
namespace category {
constexpr std::size_t kInput = 0;
constexpr std::size_t kOutput = 1;
constexpr std::size_t kJam = 2;
constexpr std::size_t kSupplies = 3;
constexpr std::size_t kOperator = 4;
constexpr std::size_t kWarning = 5;
constexpr std::size_t kService = 6;
constexpr std::size_t kConfiguration = 7;
}  // namespace category

// The printer database's group code of each category, by bit.
constexpr std::array<std::uint8_t, kCategoryCount> kCategoryGroups = {0x03, 0x04, 0x05, 0x0A,
                                                                      0x06, 0x07, 0x08, 0x09};

// The kinds that an error-state bit can also report; a bit adds nothing when
// an alert row already reports its kind.
enum class ConditionKind {
  kInputLow,
  kInputEmpty,
  kInputTrayMissing,
  kOutputNearFull,
  kOutputFull,
  kOutputTrayMissing,
  kJam,
  kCoverOpen,
  kSupplyLow,
  kSupplyEmpty,
  kSupplyMissing,
  kService,
  kMaintenance,
  kOffline,
  kOther,
};

// The configuration change entry that makes the library re-read the
// printer's paper sources and output bins.
constexpr DetailEntry kReReadListsEntry = {0, 0, 0x40};

struct CategoryEntry {
  std::size_t category = 0;
  DetailEntry entry{};
};

struct Condition {
  ConditionKind kind = ConditionKind::kOther;
  // Nothing: the condition is known but raises no alert (offline, or an empty
  // manual feeder).
  std::optional<CategoryEntry> alert;
};

// The entry bytes C and D: a 16-bit code, high byte first.
inline DetailEntry MakeEntry(std::uint8_t location, std::uint16_t code) {
  return {location, static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code & 0xFF)};
}

}  // namespace korbce::snmp
