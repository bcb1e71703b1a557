// The decoding of a printer's SNMP answers over arbitrary objects: any OID,
// any type, any value. The decoder and the condition mapping must stay within
// their bounds whatever a host on the network sends.
//
// Input: the polled address (4 bytes), the known device (a flag byte and an
// index byte), the mapping's settings (a flag byte and the low-supply share),
// then objects until the input ends. An object is its type byte, its OID and
// its value. An OID is a byte that picks a prefix of the printer's objects (or
// none), a byte with the count of parts that follow, and the parts: a byte
// under 0xF0 is a part, a higher byte announces a part in the 4 bytes after
// it. A number is 8 bytes; a text a 2-byte length and its bytes, cut to what
// the transport copies; an object identifier an OID.

#include <array>
#include <set>
#include <vector>

#include "fuzz_support.h"
#include "korbce/snmp/printer_conditions.h"
#include "korbce/snmp/printer_oids.h"
#include "korbce/snmp/snapshot_decoder.h"

namespace {

using namespace korbce::snmp;

const std::array<const Oid*, 19> kPrefixes = {
    &oids::kSysDescr,          &oids::kIfPhysAddress,           &oids::kIpAdEntIfIndex,
    &oids::kHrDeviceType,      &oids::kHrDeviceDescr,           &oids::kHrDeviceStatus,
    &oids::kHrDevicePrinter,   &oids::kHrPrinterStatus,         &oids::kHrPrinterDetectedErrorState,
    &oids::kPrinterMib,        &oids::kPrtGeneralEntry,         &oids::kPrtGeneralConfigChanges,
    &oids::kPrtGeneralPrinterName, &oids::kPrtInputEntry,       &oids::kPrtOutputEntry,
    &oids::kPrtMarkerSuppliesEntry, &oids::kPrtMarkerColorantEntry, &oids::kPrtConsoleDisplayBufferEntry,
    &oids::kPrtAlertEntry};

constexpr std::uint8_t kLongPart = 0xF0;
constexpr std::size_t kKinds = static_cast<std::size_t>(ValueKind::Other) + 1;

std::uint32_t Part(FuzzInput& input) {
  std::uint8_t first = input.Byte();
  if (first < kLongPart) return first;
  std::uint32_t part = 0;
  for (int i = 0; i < 4; ++i) part = (part << 8) | input.Byte();
  return part;
}

Oid ReadOid(FuzzInput& input) {
  const std::uint8_t prefix = input.Byte();
  Oid oid = prefix < kPrefixes.size() ? *kPrefixes[prefix] : Oid{};
  for (std::uint8_t parts = input.Byte(); parts > 0 && !input.Empty(); --parts) oid.push_back(Part(input));
  return oid;
}

std::int64_t Number(FuzzInput& input) {
  std::uint64_t number = 0;
  for (int i = 0; i < 8; ++i) number = (number << 8) | input.Byte();
  return static_cast<std::int64_t>(number);
}

VarBind ReadObject(FuzzInput& input) {
  VarBind bind;
  bind.kind = static_cast<ValueKind>(input.Byte() % kKinds);
  bind.oid = ReadOid(input);
  switch (bind.kind) {
    case ValueKind::Integer:
    case ValueKind::Counter32:
    case ValueKind::Gauge32:
    case ValueKind::TimeTicks:
    case ValueKind::Counter64:
      bind.number = Number(input);
      break;
    case ValueKind::OctetString:
    case ValueKind::IpAddress:
      bind.bytes = std::string(input.LongPiece().substr(0, kMaxValueBytes));
      break;
    case ValueKind::ObjectId:
      bind.objectId = ReadOid(input);
      break;
    default:
      break;
  }
  return bind;
}

void CheckSnapshot(const PrinterSnapshot& snapshot) {
  FUZZ_CHECK(snapshot.inputs.size() <= kMaxTableRows && snapshot.outputs.size() <= kMaxTableRows);
  FUZZ_CHECK(snapshot.supplies.size() <= kMaxTableRows && snapshot.colorants.size() <= kMaxTableRows);
  FUZZ_CHECK(snapshot.alerts.size() <= kMaxTableRows);
  FUZZ_CHECK(snapshot.sysDescr.size() <= kMaxTextBytes && snapshot.deviceDescr.size() <= kMaxTextBytes);
  FUZZ_CHECK(snapshot.generalPrinterName.size() <= kMaxTextBytes);
  FUZZ_CHECK(snapshot.detectedErrorState.size() <= 2);
  for (const InputRow& row : snapshot.inputs) FUZZ_CHECK(row.name.size() <= kMaxTextBytes);
  for (const AlertRow& row : snapshot.alerts) FUZZ_CHECK(row.description.size() <= kMaxTextBytes);
}

void CheckConditions(const PrinterConditions& conditions) {
  FUZZ_CHECK(conditions.model.size() <= kMaxModelLength);
  for (const korbce::CategoryStatus& category : conditions.categories) {
    FUZZ_CHECK(category.entries.size() <= kMaxCategoryEntries);
    const std::set<korbce::DetailEntry> distinct(category.entries.begin(), category.entries.end());
    FUZZ_CHECK(distinct.size() == category.entries.size());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  std::uint32_t polledAddress = 0;
  for (int i = 0; i < 4; ++i) polledAddress = (polledAddress << 8) | input.Byte();
  const bool hasKnownDevice = input.Byte() & 1;
  const std::uint8_t knownDevice = input.Byte();
  const std::uint8_t flags = input.Byte();
  MappingSettings settings;
  settings.supplyLowPercent = input.Byte();
  settings.flapping = flags & 2;
  std::vector<VarBind> objects;
  while (!input.Empty()) objects.push_back(ReadObject(input));

  const DecodedPrinter decoded = DecodeObjects(
      objects, polledAddress, hasKnownDevice ? std::optional<std::int32_t>(knownDevice) : std::nullopt);
  CheckSnapshot(decoded.snapshot);
  const PrinterConditions conditions = MapConditions(decoded.snapshot, flags & 1, settings);
  CheckConditions(conditions);
  // The words told now keep their keys at the next poll.
  settings.toldWords = conditions.words;
  CheckConditions(MapConditions(decoded.snapshot, false, settings));
  return 0;
}
