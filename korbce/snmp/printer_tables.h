#pragma once
// The rows of a snapshot's tables by their index, for the alert rows that
// point into them. When a printer sends one index twice, its first row counts.

#include <cstdint>
#include <string_view>
#include <unordered_map>

#include "korbce/snmp/printer_snapshot.h"

namespace korbce::snmp {

class PrinterTables {
 public:
  explicit PrinterTables(const PrinterSnapshot& snapshot);

  // Null when the printer has no row of that index.
  const InputRow* Input(std::int32_t index) const;
  const SupplyRow* Supply(std::int32_t index) const;
  // The empty text when the printer has no colorant of that index.
  std::string_view ColorantValue(std::int32_t index) const;

 private:
  std::unordered_map<std::int32_t, const InputRow*> inputs_;
  std::unordered_map<std::int32_t, const SupplyRow*> supplies_;
  std::unordered_map<std::int32_t, const ColorantRow*> colorants_;
};

}  // namespace korbce::snmp
