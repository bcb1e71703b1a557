#include "tests/support/printer_recording.h"

namespace snmp_test {
namespace {

const std::string kDevice = ".1";  // hrDeviceIndex of the printer

std::string Index(int device, int row) { return "." + std::to_string(device) + "." + std::to_string(row); }

}  // namespace

std::vector<SnmpRecord> PrinterRecords(const RecordedPrinter& printer) {
  std::vector<SnmpRecord> records = {
      {"1.3.6.1.2.1.1.1.0", "4", "Test printer system"},
      {"1.3.6.1.2.1.25.3.2.1.2" + kDevice, "6", "1.3.6.1.2.1.25.3.1.5"},
      {"1.3.6.1.2.1.25.3.2.1.3" + kDevice, "4", printer.model},
      {"1.3.6.1.2.1.25.3.2.1.5" + kDevice, "2", std::to_string(printer.deviceStatus)},
      {"1.3.6.1.2.1.25.3.5.1.1" + kDevice, "2", std::to_string(printer.printerStatus)},
      {"1.3.6.1.2.1.25.3.5.1.2" + kDevice, "4x", printer.errorState},
      {"1.3.6.1.2.1.43.5.1.1.1" + kDevice, "65", std::to_string(printer.configChanges)},
      {"1.3.6.1.2.1.43.5.1.1.16" + kDevice, "4", "general name"},
      // paper sources: tray 1, and a manual feeder (sheetFeedManual)
      {"1.3.6.1.2.1.43.8.2.1.2" + Index(1, 1), "2", "4"},
      {"1.3.6.1.2.1.43.8.2.1.2" + Index(1, 2), "2", "5"},
      {"1.3.6.1.2.1.43.8.2.1.10" + Index(1, 1), "2", "-3"},
      {"1.3.6.1.2.1.43.8.2.1.10" + Index(1, 2), "2", "0"},
      {"1.3.6.1.2.1.43.8.2.1.13" + Index(1, 1), "4", "Tray 1"},
      {"1.3.6.1.2.1.43.8.2.1.13" + Index(1, 2), "4", "Bypass Tray"},
      {"1.3.6.1.2.1.43.9.2.1.7" + Index(1, 1), "4", "Top Bin"},
      // a black toner
      {"1.3.6.1.2.1.43.11.1.1.3" + Index(1, 1), "2", "1"},
      {"1.3.6.1.2.1.43.11.1.1.5" + Index(1, 1), "2", "3"},
      {"1.3.6.1.2.1.43.11.1.1.6" + Index(1, 1), "4", "Black Toner"},
      {"1.3.6.1.2.1.43.11.1.1.8" + Index(1, 1), "2", "100"},
      {"1.3.6.1.2.1.43.11.1.1.9" + Index(1, 1), "2", "-3"},
      {"1.3.6.1.2.1.43.12.1.1.4" + Index(1, 1), "4", "black"},
  };
  if (!printer.mac.empty()) {
    records.push_back({"1.3.6.1.2.1.2.2.1.6.1", "4x", printer.mac});
    records.push_back({"1.3.6.1.2.1.4.20.1.2.127.0.0.1", "2", "1"});
  }
  for (const RecordedAlert& alert : printer.alerts) {
    const std::string row = Index(1, alert.index);
    records.push_back({"1.3.6.1.2.1.43.18.1.1.2" + row, "2", std::to_string(alert.severity)});
    records.push_back({"1.3.6.1.2.1.43.18.1.1.3" + row, "2", std::to_string(alert.training)});
    records.push_back({"1.3.6.1.2.1.43.18.1.1.4" + row, "2", std::to_string(alert.group)});
    records.push_back({"1.3.6.1.2.1.43.18.1.1.5" + row, "2", std::to_string(alert.groupIndex)});
    records.push_back({"1.3.6.1.2.1.43.18.1.1.6" + row, "2", "0"});
    records.push_back({"1.3.6.1.2.1.43.18.1.1.7" + row, "2", std::to_string(alert.code)});
    records.push_back({"1.3.6.1.2.1.43.18.1.1.8" + row, "4", alert.description});
  }
  return records;
}

}  // namespace snmp_test
