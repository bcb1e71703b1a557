#pragma once
// Turning a category status answer into readable alerts through the printer
// database and the message catalog.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "vigilix/alert_report.h"
#include "vigilix/printer_state_list.h"

namespace vigilix {

// Location kinds of field 2 of a database value; other kinds of 0 or more
// name a catalog location.
constexpr int kLocationInputSource = 1000;
constexpr int kLocationOutputBin = 2000;

// Field 1 as catalog message, then " - " and the location that field 2 names,
// when there is one. A value matched without a location byte has no location.
std::string ComposeMessage(std::string_view value, std::optional<std::uint8_t> locationByte, std::uint16_t printer,
                           const PrinterStateList& printers);

// Field 8 of the value; 3 when it lies outside 0 to 100.
std::int32_t ReadSeverity(std::string_view value);

// What the decoder needs to know about the printer that answered.
struct AnsweringPrinter {
  std::uint16_t printerId;
  std::uint8_t deviceClass;
  std::int16_t application;  // for the list refreshes of a configuration change
};

// Adds an alert for every entry of the answer that the database knows; a
// configuration change entry re-reads the printer's lists instead.
void DecodeCategoryStatus(std::span<const std::uint8_t> answer, const std::string& dbPath,
                          const AnsweringPrinter& printer, PrinterStateList& printers, AlertReport& report);

}  // namespace vigilix
