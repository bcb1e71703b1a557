// Decoding what a printer sent, on good and on spoiled input, without a network.

#include <gtest/gtest.h>

#include "korbce/snmp/printer_oids.h"
#include "korbce/snmp/snapshot_decoder.h"

namespace korbce::snmp {
namespace {

Oid With(Oid oid, std::initializer_list<std::uint32_t> tail) {
  oid.insert(oid.end(), tail);
  return oid;
}

VarBind Integer(Oid oid, std::int64_t value) {
  VarBind bind;
  bind.oid = std::move(oid);
  bind.kind = ValueKind::Integer;
  bind.number = value;
  return bind;
}

VarBind Text(Oid oid, std::string text) {
  VarBind bind;
  bind.oid = std::move(oid);
  bind.kind = ValueKind::OctetString;
  bind.bytes = std::move(text);
  return bind;
}

VarBind ObjectId(Oid oid, Oid value) {
  VarBind bind;
  bind.oid = std::move(oid);
  bind.kind = ValueKind::ObjectId;
  bind.objectId = std::move(value);
  return bind;
}

constexpr std::uint32_t kLoopback = 0x7F000001;

TEST(SnmpDecodingTest, PrinterRowTablesAndHardwareAddressAreDecoded) {
  const std::vector<VarBind> objects = {
      Text({1, 3, 6, 1, 2, 1, 1, 1, 0}, "system"),
      ObjectId(With(oids::kHrDeviceType, {1}), {1, 3, 6, 1, 2, 1, 25, 3, 1, 3}),  // a network device
      ObjectId(With(oids::kHrDeviceType, {2}), oids::kHrDevicePrinter),
      Text(With(oids::kHrDeviceDescr, {2}), "Model X"),
      Integer(With(oids::kHrDeviceStatus, {2}), 5),
      Integer(With(oids::kHrPrinterStatus, {2}), 1),
      Text(With(oids::kHrPrinterDetectedErrorState, {2}), std::string("\x04\x00\x00", 3)),
      Integer(With(oids::Column(oids::kPrtInputEntry, oids::input::kType), {2, 3}), 5),
      Text(With(oids::Column(oids::kPrtInputEntry, oids::input::kName), {2, 3}), "Bypass"),
      Text(With(oids::Column(oids::kPrtInputEntry, oids::input::kName), {1, 9}), "other device's tray"),
      Integer(With(oids::Column(oids::kPrtAlertEntry, oids::alert::kCode), {2, 7}), 8),
      Integer(With(oids::Column(oids::kPrtAlertEntry, oids::alert::kGroup), {2, 7}), 13),
      Text(With(oids::kIfPhysAddress, {1}), std::string("\x01\x02\x03\x04\x05\x06", 6)),
      Text(With(oids::kIfPhysAddress, {4}), std::string("\xAA\xBB\xCC\xDD\xEE\xFF", 6)),
      Integer(With(oids::kIpAdEntIfIndex, {127, 0, 0, 1}), 4),
  };
  const DecodedPrinter decoded = DecodeObjects(objects, kLoopback);
  EXPECT_TRUE(decoded.isPrinter);
  EXPECT_EQ(decoded.deviceIndex, 2);
  EXPECT_FALSE(decoded.tablesCut);
  ASSERT_TRUE(decoded.macAddress);
  EXPECT_EQ((*decoded.macAddress)[0], 0xAA);  // the interface of the polled address
  EXPECT_EQ(DecodeObjects(objects, 0x0A000001).macAddress.value()[0], 0x01);  // else the first one
  const PrinterSnapshot& snapshot = decoded.snapshot;
  EXPECT_EQ(snapshot.sysDescr, "system");
  EXPECT_EQ(snapshot.deviceDescr, "Model X");
  EXPECT_EQ(snapshot.deviceStatus, 5);
  EXPECT_EQ(snapshot.printerStatus, 1);
  EXPECT_EQ(snapshot.detectedErrorState, std::string("\x04\x00", 2));  // at most two octets
  ASSERT_EQ(snapshot.inputs.size(), 1u);
  EXPECT_EQ(snapshot.inputs[0].index, 3);
  EXPECT_EQ(snapshot.inputs[0].type, 5);
  EXPECT_EQ(snapshot.inputs[0].name, "Bypass");
  ASSERT_EQ(snapshot.alerts.size(), 1u);
  EXPECT_EQ(snapshot.alerts[0].index, 7);
  EXPECT_EQ(snapshot.alerts[0].code, 8);
  EXPECT_EQ(snapshot.alerts[0].group, 13);
}

TEST(SnmpDecodingTest, WrongTypesShapesAndOversizedTablesAreLeftOut) {
  std::vector<VarBind> objects = {
      Integer({1, 3, 6, 1, 2, 1, 1, 1, 0}, 17),                                   // a number as text
      Text(With(oids::kHrDeviceType, {1}), "not an oid"),
      Integer(With(oids::kHrDeviceDescr, {1}), 5),
      Text(With(oids::kHrDeviceStatus, {1}), "running"),
      Integer(With(oids::kHrPrinterDetectedErrorState, {1}), 4),
      Text(With(oids::Column(oids::kPrtAlertEntry, oids::alert::kCode), {1, 1}), "eight"),
      Integer(With(oids::Column(oids::kPrtAlertEntry, oids::alert::kGroup), {1, 1}), 0x1FFFFFFFFLL),
      Text(With(oids::Column(oids::kPrtInputEntry, oids::input::kName), {1}), "short index"),
      Text(With(oids::Column(oids::kPrtInputEntry, oids::input::kName), {1, 1, 1}), "long index"),
      Text(With(oids::Column(oids::kPrtInputEntry, oids::input::kName), {1, 0x80000000u}), "index too big"),
      Text(With(oids::kPrtGeneralPrinterName, {1}), std::string(5000, 'x')),
      Text(With(oids::kIfPhysAddress, {1}), "12345"),
      Text(With(oids::kIfPhysAddress, {2}), std::string(6, '\0')),
      Integer(With(oids::kIpAdEntIfIndex, {300, 0, 0, 1}), 2),
  };
  for (std::uint32_t row = 1; row <= 300; ++row) {
    objects.push_back(Text(With(oids::Column(oids::kPrtOutputEntry, oids::output::kName), {1, row}), "bin"));
  }
  const DecodedPrinter decoded = DecodeObjects(objects, kLoopback);
  EXPECT_TRUE(decoded.isPrinter);  // Printer-MIB objects, however spoiled
  EXPECT_EQ(decoded.deviceIndex, 1);
  EXPECT_FALSE(decoded.macAddress);
  const PrinterSnapshot& snapshot = decoded.snapshot;
  EXPECT_EQ(snapshot.sysDescr, "");
  EXPECT_EQ(snapshot.deviceDescr, "");
  EXPECT_FALSE(snapshot.deviceStatus);
  EXPECT_EQ(snapshot.detectedErrorState, "");
  EXPECT_TRUE(snapshot.inputs.empty());
  ASSERT_EQ(snapshot.alerts.size(), 1u);
  EXPECT_FALSE(snapshot.alerts[0].code);
  EXPECT_FALSE(snapshot.alerts[0].group);
  EXPECT_EQ(snapshot.generalPrinterName.size(), kMaxTextBytes);
  EXPECT_EQ(snapshot.outputs.size(), kMaxTableRows);
  EXPECT_TRUE(decoded.tablesCut);

  // Any object of prtGeneralTable makes a printer, of the device it names.
  const auto serialNumberOnly = DecodeObjects({Text(With(oids::kPrtGeneralEntry, {17, 3}), "SN-1")}, kLoopback);
  EXPECT_TRUE(serialNumberOnly.isPrinter);
  EXPECT_EQ(serialNumberOnly.deviceIndex, 3);
  EXPECT_FALSE(DecodeObjects({Text({1, 3, 6, 1, 2, 1, 1, 1, 0}, "a router")}, kLoopback).isPrinter);
  EXPECT_FALSE(DecodeObjects({}, kLoopback).isPrinter);
}

TEST(SnmpDecodingTest, PollsWithoutTheDeviceTableUseTheDeviceTheProbeFound) {
  const std::vector<VarBind> objects = {
      Integer(With(oids::kHrDeviceStatus, {1}), 2),
      Integer(With(oids::kHrDeviceStatus, {3}), 5),
      Integer(With(oids::Column(oids::kPrtAlertEntry, oids::alert::kCode), {3, 12}), 1104),
  };
  const DecodedPrinter decoded = DecodeObjects(objects, kLoopback, 3);
  EXPECT_EQ(decoded.snapshot.deviceStatus, 5);
  ASSERT_EQ(decoded.snapshot.alerts.size(), 1u);
  EXPECT_EQ(decoded.snapshot.alerts[0].code, 1104);
}

}  // namespace
}  // namespace korbce::snmp
