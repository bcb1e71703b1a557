#include "tests/support/snapshot_recording.h"

#include <optional>

namespace snmp_test {
namespace {

using namespace korbce::snmp;

constexpr char kDevice[] = ".1";

std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (unsigned char byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
  return text;
}

class Recording {
 public:
  void Text(const std::string& oid, const std::string& value) { records_.push_back({oid, "4", value}); }
  void Number(const std::string& oid, std::optional<std::int32_t> value) {
    if (value) records_.push_back({oid, "2", std::to_string(*value)});
  }
  // A column object of a table row on device 1: prefix.column.1.index.
  void Cell(const std::string& entry, int column, std::int32_t index, std::optional<std::int32_t> value) {
    Number(CellOid(entry, column, index), value);
  }
  void Cell(const std::string& entry, int column, std::int32_t index, const std::string& value) {
    Text(CellOid(entry, column, index), value);
  }
  void Add(SnmpRecord record) { records_.push_back(std::move(record)); }
  std::vector<SnmpRecord> Take() { return std::move(records_); }

 private:
  static std::string CellOid(const std::string& entry, int column, std::int32_t index) {
    return entry + "." + std::to_string(column) + kDevice + "." + std::to_string(index);
  }
  std::vector<SnmpRecord> records_;
};

}  // namespace

std::vector<SnmpRecord> SnapshotRecords(const PrinterSnapshot& snapshot, const std::string& macHex) {
  Recording r;
  r.Text("1.3.6.1.2.1.1.1.0", snapshot.sysDescr);
  r.Add({"1.3.6.1.2.1.2.2.1.6.1", "4x", macHex});
  r.Add({"1.3.6.1.2.1.4.20.1.2.127.0.0.1", "2", "1"});
  r.Add({std::string("1.3.6.1.2.1.25.3.2.1.2") + kDevice, "6", "1.3.6.1.2.1.25.3.1.5"});
  r.Text(std::string("1.3.6.1.2.1.25.3.2.1.3") + kDevice, snapshot.deviceDescr);
  r.Number(std::string("1.3.6.1.2.1.25.3.2.1.5") + kDevice, snapshot.deviceStatus);
  r.Number(std::string("1.3.6.1.2.1.25.3.5.1.1") + kDevice, snapshot.printerStatus);
  r.Add({std::string("1.3.6.1.2.1.25.3.5.1.2") + kDevice, "4x", Hex(snapshot.detectedErrorState)});
  if (snapshot.configChanges)
    r.Add({std::string("1.3.6.1.2.1.43.5.1.1.1") + kDevice, "65", std::to_string(*snapshot.configChanges)});
  r.Text(std::string("1.3.6.1.2.1.43.5.1.1.16") + kDevice, snapshot.generalPrinterName);
  const std::string input = "1.3.6.1.2.1.43.8.2.1";
  for (const InputRow& row : snapshot.inputs) {
    r.Cell(input, 2, row.index, row.type);
    r.Cell(input, 9, row.index, row.maxCapacity);
    r.Cell(input, 10, row.index, row.level);
    r.Cell(input, 13, row.index, row.name);
    r.Cell(input, 18, row.index, row.description);
  }
  const std::string output = "1.3.6.1.2.1.43.9.2.1";
  for (const OutputRow& row : snapshot.outputs) {
    r.Cell(output, 7, row.index, row.name);
    r.Cell(output, 12, row.index, row.description);
  }
  const std::string supply = "1.3.6.1.2.1.43.11.1.1";
  for (const SupplyRow& row : snapshot.supplies) {
    r.Cell(supply, 3, row.index, row.colorantIndex);
    r.Cell(supply, 5, row.index, row.type);
    r.Cell(supply, 6, row.index, row.description);
    r.Cell(supply, 8, row.index, row.maxCapacity);
    r.Cell(supply, 9, row.index, row.level);
  }
  for (const ColorantRow& row : snapshot.colorants) r.Cell("1.3.6.1.2.1.43.12.1.1", 4, row.index, row.value);
  for (const ConsoleLine& line : snapshot.console) r.Cell("1.3.6.1.2.1.43.16.5.1", 2, line.index, line.text);
  const std::string alert = "1.3.6.1.2.1.43.18.1.1";
  for (const AlertRow& row : snapshot.alerts) {
    r.Cell(alert, 2, row.index, row.severityLevel);
    r.Cell(alert, 3, row.index, row.trainingLevel);
    r.Cell(alert, 4, row.index, row.group);
    r.Cell(alert, 5, row.index, row.groupIndex);
    r.Cell(alert, 6, row.index, row.location);
    r.Cell(alert, 7, row.index, row.code);
    r.Cell(alert, 8, row.index, row.description);
  }
  return r.Take();
}

}  // namespace snmp_test
