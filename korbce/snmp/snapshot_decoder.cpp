#include "korbce/snmp/snapshot_decoder.h"

#include <limits>
#include <map>
#include <set>

#include "korbce/snmp/printer_oids.h"

namespace korbce::snmp {
namespace {

using RowKey = std::pair<std::int32_t, std::int32_t>;  // device index, row index

std::optional<std::int32_t> Index(std::uint32_t part) {
  if (part > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())) return std::nullopt;
  return static_cast<std::int32_t>(part);
}

std::optional<std::int32_t> IntegerOf(const VarBind& bind) {
  if (bind.kind != ValueKind::Integer) return std::nullopt;
  if (bind.number < std::numeric_limits<std::int32_t>::min() || bind.number > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(bind.number);
}

std::optional<std::string> TextOf(const VarBind& bind) {
  if (bind.kind != ValueKind::OctetString) return std::nullopt;
  return bind.bytes.substr(0, kMaxTextBytes);
}

// The objects of one table, row by row, for whichever device they belong to.
template <class Row>
class TableRows {
 public:
  // The row of a column object entry.column.device.index, or null when the
  // OID has another shape or the table is full.
  Row* RowOf(const VarBind& bind, const Oid& entry, std::uint32_t& column) {
    if (!StartsWith(bind.oid, entry) || bind.oid.size() != entry.size() + 3) return nullptr;
    column = bind.oid[entry.size()];
    const auto device = Index(bind.oid[entry.size() + 1]);
    const auto index = Index(bind.oid[entry.size() + 2]);
    if (!device || !index) return nullptr;
    devices.insert(*device);
    const RowKey key{*device, *index};
    auto found = rows_.find(key);
    if (found == rows_.end()) {
      if (CountOf(*device) >= kMaxTableRows) {
        cut = true;
        return nullptr;
      }
      found = rows_.emplace(key, Row{}).first;
      found->second.index = *index;
    }
    return &found->second;
  }

  std::vector<Row> Of(std::int32_t device) const {
    std::vector<Row> rows;
    for (auto it = rows_.lower_bound({device, std::numeric_limits<std::int32_t>::min()});
         it != rows_.end() && it->first.first == device; ++it) {
      rows.push_back(it->second);
    }
    return rows;
  }

  std::set<std::int32_t> devices;
  bool cut = false;  // rows past the bound were left out

 private:
  std::size_t CountOf(std::int32_t device) const {
    std::size_t count = 0;
    for (auto it = rows_.lower_bound({device, std::numeric_limits<std::int32_t>::min()});
         it != rows_.end() && it->first.first == device; ++it) {
      ++count;
    }
    return count;
  }

  std::map<RowKey, Row> rows_;
};

// The objects of one device-indexed column: prefix.device.
template <class Value>
class DeviceColumn {
 public:
  bool Take(const VarBind& bind, const Oid& prefix, std::optional<Value> value) {
    if (!StartsWith(bind.oid, prefix) || bind.oid.size() != prefix.size() + 1) return false;
    const auto device = Index(bind.oid.back());
    if (device && value) values_.emplace(*device, std::move(*value));
    return true;
  }
  std::optional<Value> Of(std::int32_t device) const {
    const auto found = values_.find(device);
    if (found == values_.end()) return std::nullopt;
    return found->second;
  }
  const std::map<std::int32_t, Value>& All() const { return values_; }

 private:
  std::map<std::int32_t, Value> values_;
};

class Decoder {
 public:
  void Add(const VarBind& bind) {
    if (StartsWith(bind.oid, oids::kPrinterMib) && IsValue(bind)) anyPrinterObject_ = true;
    if (StartsWith(bind.oid, oids::kPrtGeneralEntry) && bind.oid.size() == oids::kPrtGeneralEntry.size() + 2 &&
        IsValue(bind)) {
      if (const auto device = Index(bind.oid.back())) generalDevices_.insert(*device);
    }
    if (bind.oid == Oid{1, 3, 6, 1, 2, 1, 1, 1, 0}) {
      if (auto text = TextOf(bind)) sysDescr_ = *text;
      return;
    }
    if (deviceType_.Take(bind, oids::kHrDeviceType,
                         bind.kind == ValueKind::ObjectId ? std::optional(bind.objectId) : std::nullopt))
      return;
    if (deviceDescr_.Take(bind, oids::kHrDeviceDescr, TextOf(bind))) return;
    if (deviceStatus_.Take(bind, oids::kHrDeviceStatus, IntegerOf(bind))) return;
    if (printerStatus_.Take(bind, oids::kHrPrinterStatus, IntegerOf(bind))) return;
    if (errorState_.Take(bind, oids::kHrPrinterDetectedErrorState, ErrorStateOf(bind))) return;
    if (configChanges_.Take(bind, oids::kPrtGeneralConfigChanges, CounterOf(bind))) return;
    if (printerName_.Take(bind, oids::kPrtGeneralPrinterName, TextOf(bind))) return;
    if (interfaceOfAddress_.Take4(bind)) return;
    if (physAddress_.Take(bind, oids::kIfPhysAddress,
                          bind.kind == ValueKind::OctetString ? std::optional(bind.bytes) : std::nullopt))
      return;
    AddTableObject(bind);
  }

  DecodedPrinter Finish(std::uint32_t polledAddress, std::optional<std::int32_t> knownDevice) const {
    DecodedPrinter decoded;
    const auto device = PrinterDevice(knownDevice);
    decoded.isPrinter = anyPrinterObject_ || PrinterRowOf().has_value();
    decoded.deviceIndex = device;
    decoded.macAddress = MacAddress(polledAddress);
    decoded.tablesCut = inputs_.cut || outputs_.cut || supplies_.cut || colorants_.cut || alerts_.cut;
    PrinterSnapshot& snapshot = decoded.snapshot;
    snapshot.sysDescr = sysDescr_;
    if (!device) return decoded;
    snapshot.deviceDescr = deviceDescr_.Of(*device).value_or("");
    snapshot.generalPrinterName = printerName_.Of(*device).value_or("");
    snapshot.deviceStatus = deviceStatus_.Of(*device);
    snapshot.printerStatus = printerStatus_.Of(*device);
    snapshot.detectedErrorState = errorState_.Of(*device).value_or("");
    snapshot.configChanges = configChanges_.Of(*device);
    snapshot.inputs = inputs_.Of(*device);
    snapshot.outputs = outputs_.Of(*device);
    snapshot.supplies = supplies_.Of(*device);
    snapshot.colorants = colorants_.Of(*device);
    snapshot.alerts = alerts_.Of(*device);
    snapshot.console = console_.Of(*device);
    return decoded;
  }

 private:
  // ipAdEntIfIndex.a.b.c.d = ifIndex
  struct AddressColumn {
    bool Take4(const VarBind& bind) {
      if (!StartsWith(bind.oid, oids::kIpAdEntIfIndex)) return false;
      const Oid& oid = bind.oid;
      const std::size_t base = oids::kIpAdEntIfIndex.size();
      if (oid.size() != base + 4) return true;
      std::uint32_t address = 0;
      for (std::size_t i = 0; i < 4; ++i) {
        if (oid[base + i] > 255) return true;
        address = (address << 8) | oid[base + i];
      }
      if (auto ifIndex = IntegerOf(bind)) interfaces.emplace(address, *ifIndex);
      return true;
    }
    std::map<std::uint32_t, std::int32_t> interfaces;
  };

  static bool IsValue(const VarBind& bind) {
    return bind.kind != ValueKind::NoSuchObject && bind.kind != ValueKind::NoSuchInstance &&
           bind.kind != ValueKind::EndOfMibView;
  }

  static std::optional<std::string> ErrorStateOf(const VarBind& bind) {
    if (bind.kind != ValueKind::OctetString) return std::nullopt;
    return bind.bytes.substr(0, 2);
  }

  static std::optional<std::uint32_t> CounterOf(const VarBind& bind) {
    if (bind.kind != ValueKind::Counter32 && bind.kind != ValueKind::Integer && bind.kind != ValueKind::Gauge32)
      return std::nullopt;
    if (bind.number < 0 || bind.number > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    return static_cast<std::uint32_t>(bind.number);
  }

  void AddTableObject(const VarBind& bind) {
    std::uint32_t column = 0;
    if (InputRow* row = inputs_.RowOf(bind, oids::kPrtInputEntry, column)) return AddInput(*row, column, bind);
    if (OutputRow* row = outputs_.RowOf(bind, oids::kPrtOutputEntry, column)) return AddOutput(*row, column, bind);
    if (SupplyRow* row = supplies_.RowOf(bind, oids::kPrtMarkerSuppliesEntry, column))
      return AddSupply(*row, column, bind);
    if (ColorantRow* row = colorants_.RowOf(bind, oids::kPrtMarkerColorantEntry, column)) {
      if (column == oids::colorant::kValue) row->value = TextOf(bind).value_or(row->value);
      return;
    }
    if (AlertRow* row = alerts_.RowOf(bind, oids::kPrtAlertEntry, column)) return AddAlert(*row, column, bind);
    if (ConsoleLine* line = console_.RowOf(bind, oids::kPrtConsoleDisplayBufferEntry, column)) {
      if (column == oids::console::kText) line->text = TextOf(bind).value_or(line->text);
    }
  }

  static void AddInput(InputRow& row, std::uint32_t column, const VarBind& bind) {
    namespace c = oids::input;
    if (column == c::kType) row.type = IntegerOf(bind);
    if (column == c::kMaxCapacity) row.maxCapacity = IntegerOf(bind);
    if (column == c::kCurrentLevel) row.level = IntegerOf(bind);
    if (column == c::kName) row.name = TextOf(bind).value_or("");
    if (column == c::kDescription) row.description = TextOf(bind).value_or("");
  }

  static void AddOutput(OutputRow& row, std::uint32_t column, const VarBind& bind) {
    if (column == oids::output::kName) row.name = TextOf(bind).value_or("");
    if (column == oids::output::kDescription) row.description = TextOf(bind).value_or("");
  }

  static void AddSupply(SupplyRow& row, std::uint32_t column, const VarBind& bind) {
    namespace c = oids::supply;
    if (column == c::kColorantIndex) row.colorantIndex = IntegerOf(bind);
    if (column == c::kType) row.type = IntegerOf(bind);
    if (column == c::kDescription) row.description = TextOf(bind).value_or("");
    if (column == c::kMaxCapacity) row.maxCapacity = IntegerOf(bind);
    if (column == c::kLevel) row.level = IntegerOf(bind);
  }

  static void AddAlert(AlertRow& row, std::uint32_t column, const VarBind& bind) {
    namespace c = oids::alert;
    if (column == c::kSeverityLevel) row.severityLevel = IntegerOf(bind);
    if (column == c::kTrainingLevel) row.trainingLevel = IntegerOf(bind);
    if (column == c::kGroup) row.group = IntegerOf(bind);
    if (column == c::kGroupIndex) row.groupIndex = IntegerOf(bind);
    if (column == c::kLocation) row.location = IntegerOf(bind);
    if (column == c::kCode) row.code = IntegerOf(bind);
    if (column == c::kDescription) row.description = TextOf(bind).value_or("");
  }

  std::optional<std::int32_t> PrinterRowOf() const {
    for (const auto& [device, type] : deviceType_.All()) {
      if (type == oids::kHrDevicePrinter) return device;
    }
    return std::nullopt;
  }

  // The device row of type printer, else the one a probe found, else the
  // lowest device the printer's objects name.
  std::optional<std::int32_t> PrinterDevice(std::optional<std::int32_t> knownDevice) const {
    if (const auto row = PrinterRowOf()) return row;
    if (knownDevice) return knownDevice;
    std::set<std::int32_t> devices;
    for (const auto* seen : {&inputs_.devices, &outputs_.devices, &supplies_.devices, &alerts_.devices,
                             &colorants_.devices}) {
      devices.insert(seen->begin(), seen->end());
    }
    for (const auto& [device, value] : printerStatus_.All()) devices.insert(device);
    for (const auto& [device, value] : configChanges_.All()) devices.insert(device);
    for (const auto& [device, value] : printerName_.All()) devices.insert(device);
    devices.insert(generalDevices_.begin(), generalDevices_.end());
    if (devices.empty()) return std::nullopt;
    return *devices.begin();
  }

  std::optional<std::array<std::uint8_t, 6>> MacAddress(std::uint32_t polledAddress) const {
    const auto asMac = [](const std::string& bytes) -> std::optional<std::array<std::uint8_t, 6>> {
      if (bytes.size() != 6 || bytes == std::string(6, '\0')) return std::nullopt;
      std::array<std::uint8_t, 6> mac{};
      for (std::size_t i = 0; i < 6; ++i) mac[i] = static_cast<std::uint8_t>(bytes[i]);
      return mac;
    };
    if (const auto found = interfaceOfAddress_.interfaces.find(polledAddress);
        found != interfaceOfAddress_.interfaces.end()) {
      if (const auto bytes = physAddress_.Of(found->second)) {
        if (auto mac = asMac(*bytes)) return mac;
      }
    }
    for (const auto& [ifIndex, bytes] : physAddress_.All()) {
      if (auto mac = asMac(bytes)) return mac;
    }
    return std::nullopt;
  }

  bool anyPrinterObject_ = false;
  std::string sysDescr_;
  DeviceColumn<Oid> deviceType_;
  DeviceColumn<std::string> deviceDescr_;
  DeviceColumn<std::int32_t> deviceStatus_;
  DeviceColumn<std::int32_t> printerStatus_;
  DeviceColumn<std::string> errorState_;
  DeviceColumn<std::uint32_t> configChanges_;
  DeviceColumn<std::string> printerName_;
  std::set<std::int32_t> generalDevices_;  // devices with any prtGeneralTable object
  AddressColumn interfaceOfAddress_;
  DeviceColumn<std::string> physAddress_;
  TableRows<InputRow> inputs_;
  TableRows<OutputRow> outputs_;
  TableRows<SupplyRow> supplies_;
  TableRows<ColorantRow> colorants_;
  TableRows<AlertRow> alerts_;
  TableRows<ConsoleLine> console_;
};

}  // namespace

DecodedPrinter DecodeObjects(const std::vector<VarBind>& objects, std::uint32_t polledAddress,
                             std::optional<std::int32_t> knownDevice) {
  Decoder decoder;
  for (const VarBind& bind : objects) decoder.Add(bind);
  return decoder.Finish(polledAddress, knownDevice);
}

}  // namespace korbce::snmp
