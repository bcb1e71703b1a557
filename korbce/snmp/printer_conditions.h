#pragma once
// What a network printer's snapshot tells the library: its model, paper
// sources and output bins, the active detail entries of each alert category
// (with the printer database's group codes), and whether it is offline.

#include <array>
#include <string>
#include <vector>

#include "korbce/printer_state.h"
#include "korbce/snmp/printer_snapshot.h"

namespace korbce::snmp {

struct PrinterConditions {
  std::string model;
  std::vector<Location> inputs, outputs;
  std::array<CategoryStatus, kCategoryCount> categories;
  bool offline = false;
};

// At most this many entries per category: what the library's 323-byte status
// answer holds. Later conditions of a full category are left out.
constexpr std::size_t kMaxCategoryEntries = 80;
// The model is cut to this many bytes.
constexpr std::size_t kMaxModelLength = 255;

// The conditions of the printer's alert rows, then those of its error-state
// bits that no row reports; configChanged (prtGeneralConfigChanges grew) adds
// a configuration change that makes the library re-read sources and bins.
// Each entry appears once in its category, in the order first met.
PrinterConditions MapConditions(const PrinterSnapshot& snapshot, bool configChanged);

}  // namespace korbce::snmp
