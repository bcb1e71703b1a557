#pragma once
// What a network printer's snapshot tells the library: its model, paper
// sources and output bins, the active detail entries of each alert category
// (with the printer database's group codes), and whether it is offline.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "korbce/printer_state.h"
#include "korbce/snmp/printer_snapshot.h"

namespace korbce::snmp {

struct PrinterConditions {
  std::string model;
  // The outputs end with the printer's own words (see own_words.h).
  std::vector<Location> inputs, outputs;
  std::vector<Location> words;
  std::array<CategoryStatus, kCategoryCount> categories;
  bool offline = false;
};

constexpr std::uint32_t kDefaultSupplyLowPercent = 10;

struct MappingSettings {
  // A toner or ink supply at or under this share of its capacity is low; 0
  // leaves supply levels to the printer's alerts.
  std::uint32_t supplyLowPercent = kDefaultSupplyLowPercent;
  // The own words the library was told before, which keep their keys.
  std::vector<Location> toldWords;
  // The printer's conditions change at poll after poll (see flap_damper.h).
  bool flapping = false;
};

// The words of the warning that a printer is flapping.
constexpr char kFlappingWords[] = "alerts changing at every poll";

// At most this many entries per category: what the library's 323-byte status
// answer holds. Later conditions of a full category are left out.
constexpr std::size_t kMaxCategoryEntries = 80;
// The model is cut to this many bytes.
constexpr std::size_t kMaxModelLength = 255;

// The conditions of the printer's alert rows; then those of its error-state
// bits that no row reports, naming each supply or paper source whose level
// tells it (the bit itself only when none does); then the supplies whose
// level is low and that no row names. A device in warning or down that none
// of these, nor a notice such as power saver or warming up, explains gets one
// alert of its own. Alerts the database only knows as "Unknown ..." carry the
// printer's words: the alert row's description, else the front panel's first
// line. A flapping printer gets the warning "alerts changing at every poll".
// configChanged (prtGeneralConfigChanges grew) adds a configuration
// change that makes the library re-read sources and bins. Each entry appears
// once in its category, in the order first met.
PrinterConditions MapConditions(const PrinterSnapshot& snapshot, bool configChanged,
                                const MappingSettings& settings = {});

}  // namespace korbce::snmp
