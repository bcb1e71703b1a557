#pragma once
// Snapshots of network printers for the condition mapping's tests.

#include <string>

#include "korbce/snmp/printer_snapshot.h"

namespace korbce::snmp::testing {

constexpr std::int32_t kCritical = 3;
constexpr std::int32_t kWarning = 4;
constexpr std::int32_t kBinaryChange = 5;
constexpr std::int32_t kOther = 1;

inline AlertRow Alert(std::int32_t group, std::int32_t groupIndex, std::int32_t code,
                      std::int32_t severity = kCritical, std::int32_t training = 4) {
  static std::int32_t index = 0;
  AlertRow row;
  row.index = ++index;
  row.severityLevel = severity;
  row.trainingLevel = training;
  row.group = group;
  row.groupIndex = groupIndex;
  row.location = -1;
  row.code = code;
  row.description = "alert " + std::to_string(code);
  return row;
}

inline InputRow Input(std::int32_t index, std::string name, std::int32_t type = 3) {
  InputRow row;
  row.index = index;
  row.type = type;
  row.name = std::move(name);
  row.level = 250;
  row.maxCapacity = 500;
  return row;
}

inline OutputRow Output(std::int32_t index, std::string name) {
  OutputRow row;
  row.index = index;
  row.name = std::move(name);
  return row;
}

inline SupplyRow Supply(std::int32_t index, std::int32_t type, std::int32_t colorant, std::int32_t level = 40) {
  SupplyRow row;
  row.index = index;
  row.type = type;
  row.colorantIndex = colorant;
  row.description = "supply " + std::to_string(index);
  row.level = level;
  row.maxCapacity = 100;
  return row;
}

// An office printer: tray 1, tray 2 and a bypass feeder (3); a top bin and a
// finisher bin; black toner (1), cyan (2), magenta (3), yellow (4), a waste
// toner box (5), a drum (6), a fuser (7), staples (8) and an unnamed supply (9).
inline PrinterSnapshot OfficePrinter() {
  PrinterSnapshot snapshot;
  snapshot.sysDescr = "Office printer firmware 2.1";
  snapshot.deviceDescr = "Office Colour 5000";
  snapshot.deviceStatus = 2;
  snapshot.printerStatus = 3;
  snapshot.detectedErrorState = std::string(2, '\0');
  snapshot.configChanges = 4;
  snapshot.inputs = {Input(1, "Tray 1"), Input(2, "Tray 2"), Input(3, "Bypass Tray", 5)};
  snapshot.outputs = {Output(1, "Top Bin"), Output(2, "Finisher Bin")};
  snapshot.colorants = {{1, "black"}, {2, "cyan"}, {3, "magenta"}, {4, "yellow"}};
  snapshot.supplies = {Supply(1, 3, 1), Supply(2, 3, 2), Supply(3, 3, 3), Supply(4, 3, 4), Supply(5, 4, 0),
                       Supply(6, 9, 0), Supply(7, 15, 0), Supply(8, 32, 0), Supply(9, 1, 0)};
  return snapshot;
}

// hrPrinterDetectedErrorState with the given first and second octets.
inline std::string ErrorState(unsigned first, unsigned second) {
  return std::string{static_cast<char>(first), static_cast<char>(second)};
}

}  // namespace korbce::snmp::testing
