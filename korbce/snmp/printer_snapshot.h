#pragma once
// What one probe or poll of a network printer fetched over SNMP: the objects
// of its device row (HOST-RESOURCES-MIB) and of its Printer-MIB tables, as the
// printer sent them. Texts are the printer's bytes, unchanged; a number the
// printer did not send is nothing.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korbce::snmp {

// prtInputTable, one row per paper source.
struct InputRow {
  std::int32_t index = 0;               // prtInputIndex
  std::optional<std::int32_t> type;     // prtInputType: 5 is sheetFeedManual
  std::string name;                     // prtInputName
  std::string description;              // prtInputDescription
  std::optional<std::int32_t> level;    // prtInputCurrentLevel (-3, -2, -1 are not counts)
  std::optional<std::int32_t> maxCapacity;  // prtInputMaxCapacity
};

// prtOutputTable, one row per output bin.
struct OutputRow {
  std::int32_t index = 0;               // prtOutputIndex
  std::string name;                     // prtOutputName
  std::string description;              // prtOutputDescription
};

// prtMarkerSuppliesTable, one row per supply.
struct SupplyRow {
  std::int32_t index = 0;                     // prtMarkerSuppliesIndex
  std::optional<std::int32_t> type;           // prtMarkerSuppliesType (IANA PrtMarkerSuppliesTypeTC)
  std::optional<std::int32_t> colorantIndex;  // prtMarkerSuppliesColorantIndex, 0: none
  std::string description;                    // prtMarkerSuppliesDescription
  std::optional<std::int32_t> level;          // prtMarkerSuppliesLevel
  std::optional<std::int32_t> maxCapacity;    // prtMarkerSuppliesMaxCapacity
};

// prtMarkerColorantTable.
struct ColorantRow {
  std::int32_t index = 0;  // prtMarkerColorantIndex
  std::string value;       // prtMarkerColorantValue: "black", "cyan", ...
};

// prtAlertTable, one row per active alert, in the order walked.
struct AlertRow {
  std::int32_t index = 0;                      // prtAlertIndex
  std::optional<std::int32_t> severityLevel;   // prtAlertSeverityLevel
  std::optional<std::int32_t> trainingLevel;   // prtAlertTrainingLevel: 5 is fieldService
  std::optional<std::int32_t> group;           // prtAlertGroup (IANA PrtAlertGroupTC)
  std::optional<std::int32_t> groupIndex;      // prtAlertGroupIndex: the row of the group's table
  std::optional<std::int32_t> location;        // prtAlertLocation
  std::optional<std::int32_t> code;            // prtAlertCode (IANA PrtAlertCodeTC)
  std::string description;                     // prtAlertDescription
};

// prtConsoleDisplayBufferTable, one row per line of the front panel.
struct ConsoleLine {
  std::int32_t index = 0;  // prtConsoleDisplayBufferIndex
  std::string text;        // prtConsoleDisplayBufferText
};

struct PrinterSnapshot {
  std::string sysDescr;                            // 1.3.6.1.2.1.1.1.0
  std::string deviceDescr;                         // hrDeviceDescr of the printer's device row
  std::string generalPrinterName;                  // prtGeneralPrinterName
  std::optional<std::int32_t> deviceStatus;        // hrDeviceStatus: 5 is down
  std::optional<std::int32_t> printerStatus;       // hrPrinterStatus: 1 is other
  std::string detectedErrorState;                  // hrPrinterDetectedErrorState, 0 to 2 octets as sent
  std::optional<std::uint32_t> configChanges;      // prtGeneralConfigChanges
  std::vector<InputRow> inputs;
  std::vector<OutputRow> outputs;
  std::vector<SupplyRow> supplies;
  std::vector<ColorantRow> colorants;
  std::vector<AlertRow> alerts;
  std::vector<ConsoleLine> console;
};

}  // namespace korbce::snmp
