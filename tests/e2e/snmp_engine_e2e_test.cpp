// The engine watching network printers: snmpsimd agents on 127.0.0.1 serve
// the printers, the tests make the engine's calls and collect its
// notifications.

#include <gtest/gtest.h>

#include <algorithm>

#include "bce/bce.h"
#include "bce/bce_records.h"
#include "common/byte_order.h"
#include "e2e_support.h"
#include "korbce/enum_record.h"
#include "platform/neighbour_table.h"
#include "settings/subnet_list.h"
#include "tests/korbce/engine_fixture.h"
#include "tests/support/printer_recording.h"
#include "vigilix/vigilix.h"

namespace korbce {
namespace {

using namespace std::chrono_literals;
using snmp_test::PrinterRecords;
using snmp_test::RecordedAlert;
using snmp_test::RecordedPrinter;
using snmp_test::SnmpAgent;

constexpr std::uint32_t kEnumTcpIp = 0x2;

std::vector<EnumRecord>* collected = nullptr;

std::uint16_t Collect(const std::uint8_t* record) {
  EnumRecord copy;
  std::copy(record, record + copy.size(), copy.begin());
  collected->push_back(copy);
  return 0;
}

std::uint16_t IdOf(const EnumRecord& record) { return ReadLe16(&record[PrinterEnumRecordLayout::kEnumPrinterId]); }

RecordedAlert Jam(int index, int group, int groupIndex) {
  RecordedAlert alert;
  alert.index = index;
  alert.group = group;
  alert.groupIndex = groupIndex;
  alert.code = 8;
  return alert;
}

class SnmpEngineTest : public EngineFixture {
 protected:
  void SetUp() override {
    if (!SnmpAgent::Available()) GTEST_SKIP() << "snmpsimd is not installed (Debian package snmpsim)";
    EngineFixture::SetUp();
    agent_ = std::make_unique<SnmpAgent>(directory_ / "agent");
  }

  void TearDown() override {
    if (agent_) agent_.reset();
    EngineFixture::TearDown();
  }

  void StartAgent(const RecordedPrinter& printer, const std::string& community = "public") {
    ASSERT_TRUE(agent_->Write(community, PrinterRecords(printer)));
    ASSERT_TRUE(agent_->Start()) << agent_->Problem();
  }

  std::string SnmpSection(const std::string& keys = "") const {
    return "[SNMP]\nTargets = " + agent_->Endpoint() + "\nTimeout = 300\nRetries = 0\nPoll = 1\n" + keys;
  }

  std::vector<EnumRecord> Enumerate(Engine& engine, std::uint32_t mask = kEnumTcpIp) {
    std::vector<EnumRecord> records;
    collected = &records;
    EXPECT_EQ(engine.EnumPrinters(1, mask, Collect), kBceSuccess);
    collected = nullptr;
    return records;
  }

  std::vector<std::uint8_t> Ask(Engine& engine, std::uint16_t printer, std::uint32_t command) {
    std::vector<std::uint8_t> reply(1024);
    std::uint32_t length = static_cast<std::uint32_t>(reply.size());
    if (engine.SendBidi(1, printer, 0, command, reply.data(), &length, nullptr, 0) != kBceSuccess) return {};
    reply.resize(length);
    return reply;
  }

  // The notifications of the next few seconds that match.
  std::vector<Notification> WaitForMessage(NotificationWindow& window, platform::MessageId message,
                                           std::chrono::milliseconds limit = 10s) {
    std::vector<Notification> all;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
      for (const Notification& n : window.Take()) all.push_back(n);
      if (std::any_of(all.begin(), all.end(), [&](const Notification& n) { return n.message == message; })) break;
      std::this_thread::sleep_for(20ms);
    }
    return all;
  }

  static bool Has(const std::vector<Notification>& all, platform::MessageId message) {
    return std::any_of(all.begin(), all.end(), [&](const Notification& n) { return n.message == message; });
  }

  std::unique_ptr<SnmpAgent> agent_;
};

TEST_F(SnmpEngineTest, TargetsAreEnumeratedWithStableIdsAndAnsweredFromTheLastFetch) {
  StartAgent(RecordedPrinter{});
  WriteFleet(SnmpSection());
  std::uint16_t id = 0;
  {
    Engine& engine = StartEngine();
    const auto records = Enumerate(engine);
    ASSERT_EQ(records.size(), 1u) << Trace();
    id = IdOf(records[0]);
    EXPECT_EQ(id, 32768);
    EXPECT_EQ(std::vector<std::uint8_t>(records[0].begin(), records[0].begin() + 6),
              (std::vector<std::uint8_t>{0x00, 0x11, 0x22, 0x33, 0x44, 0xAA}));
    EXPECT_EQ(ReadLe32(&records[0][PrinterEnumRecordLayout::kProtocolFlags]), PROTOCOL_TCPIP);
    EXPECT_TRUE(Enumerate(engine, 0x800).empty());

    std::uint8_t block[PrinterAddressBlockLayout::kSize] = {};
    EXPECT_EQ(engine.GetPrinterAddrEx(id, 0, block, ADDRESS_KIND_IP), kBceSuccess);
    EXPECT_STREQ(reinterpret_cast<const char*>(block + PrinterAddressBlockLayout::kIpAddressText), "127.0.0.1");

    // Answers come from what the probe fetched, even from a silent printer.
    ASSERT_TRUE(agent_->Pause());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Ask(engine, id, BIDI_GET_CLASS), (std::vector<std::uint8_t>{0, 0, 0, 0, 20}));
    const auto model = Ask(engine, id, BIDI_GET_MODEL);
    ASSERT_GT(model.size(), 35u);
    EXPECT_EQ(std::string(model.begin() + 35, model.end() - 1), "Test LaserPrinter 9000");
    const auto inputs = Ask(engine, id, BIDI_GET_INPUTS);
    ASSERT_GE(inputs.size(), 2u);
    EXPECT_EQ(inputs[1], 2);  // Tray 1 and the bypass tray
    EXPECT_LT(std::chrono::steady_clock::now() - start, 200ms);
    ASSERT_TRUE(agent_->Resume());
  }
  // A new engine (a restart of the service) finds the same printer under the same id.
  engine_.reset();
  Engine& again = StartEngine();
  const auto records = Enumerate(again);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(IdOf(records[0]), id);
  EXPECT_NE(platform::ReadWholeFile((directory_ / "snmp-printers").string()).value_or("").find("32768 mac:0011223344AA"),
            std::string::npos);
}

TEST_F(SnmpEngineTest, SubnetSweepOfOneHostAndCupsUrisFindThePrinter) {
  StartAgent(RecordedPrinter{});
  WriteFleet("[SNMP]\nPort = " + std::to_string(agent_->Port()) + "\nTimeout = 300\nRetries = 0\n");
  Engine& engine = StartEngine();
  EXPECT_TRUE(Enumerate(engine).empty()) << "no targets and no subnets yet";

  SubnetList subnets(1);
  subnets.SetAddress(0, 0x7F000001);
  subnets.SetMask(0, 0xFFFFFFFF);
  EXPECT_EQ(engine.ExchangeNetInfo(0xFFFF, 2, NETINFO_REQUEST_SUBNETS, subnets.Data(),
                                   static_cast<std::uint32_t>(subnets.Size()), 0, 0, nullptr),
            kBceSuccess);
  const auto swept = Enumerate(engine);
  ASSERT_EQ(swept.size(), 1u) << Trace();
  EXPECT_GE(IdOf(swept[0]), 32768);

  std::vector<EnumRecord> records;
  collected = &records;
  EXPECT_EQ(engine.EnumSpecificPort(1, 0xFFF, "socket://127.0.0.1:9100", Collect), kBceSuccess);
  EXPECT_EQ(engine.EnumSpecificPort(1, 0xFFF, "usb://Some/Printer", Collect), kBceSuccess);
  collected = nullptr;
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(IdOf(records[0]), IdOf(swept[0]));
}

TEST_F(SnmpEngineTest, EveryNewConditionIsNotifiedAndSilenceIsCommLostThenRestored) {
  RecordedPrinter printer;
  printer.alerts = {Jam(1, 8, 1)};
  StartAgent(printer);
  WriteFleet(SnmpSection());
  Engine& engine = StartEngine(50);
  const auto records = Enumerate(engine);
  ASSERT_EQ(records.size(), 1u) << Trace();
  const std::uint16_t id = IdOf(records[0]);

  NotificationWindow window;
  ALERTS alerts{0xFF};
  ASSERT_EQ(engine.MonitorPrinter(1, 0xFFFF, 1, 1), kBceSuccess);
  ASSERT_EQ(engine.CaptureAlerts(1, id, &alerts, window.Handle(), 0), kBceSuccess);
  auto first = WaitForMessage(window, WM_VX_ALERTS);
  ASSERT_TRUE(Has(first, WM_VX_ALERTS));
  EXPECT_EQ(first.back().mask & ALERT_PAPER_JAM, static_cast<platform::LParam>(ALERT_PAPER_JAM));
  const auto oneJam = Ask(engine, id, kCategoryStatusCommand[2]);

  // A second jam while the first is active: the mask stays, the set grows.
  printer.alerts.push_back(Jam(2, 9, 1));
  ASSERT_TRUE(agent_->Write("public", PrinterRecords(printer)));
  const auto second = WaitForMessage(window, WM_VX_ALERTS);
  ASSERT_TRUE(Has(second, WM_VX_ALERTS)) << Trace();
  const auto twoJams = Ask(engine, id, kCategoryStatusCommand[2]);
  ASSERT_GE(twoJams.size(), 2u);
  EXPECT_EQ(twoJams[1], 2) << "two jam entries";
  EXPECT_NE(oneJam, twoJams);

  ASSERT_TRUE(agent_->Pause());
  const auto lost = WaitForMessage(window, WM_VX_COMM_LOST);
  EXPECT_TRUE(Has(lost, WM_VX_COMM_LOST));
  ASSERT_TRUE(agent_->Resume());
  const auto restored = WaitForMessage(window, WM_VX_ALERTS);
  ASSERT_TRUE(Has(restored, WM_VX_COMM_RESTORED));
  EXPECT_EQ(restored.back().message, static_cast<platform::MessageId>(WM_VX_ALERTS));
}

TEST_F(SnmpEngineTest, AHostOfOnlyAGeneralObjectIsAPrinterNamedBySysDescrAndAddressedByItsNeighbourEntry) {
  // No device type, no interface table, a generic driver name: sysDescr and
  // a serial number tell what it is.
  ASSERT_TRUE(agent_->Write("public", {{"1.3.6.1.2.1.1.1.0", "4", "Laser 7, ROM 1.2; PCL 6"},
                                       {"1.3.6.1.2.1.25.3.2.1.3.1", "4", "Generic 28C-1"},
                                       {"1.3.6.1.2.1.43.5.1.1.17.1", "4", "SN-0001"}}));
  ASSERT_TRUE(agent_->Start()) << agent_->Problem();
  const platform::HardwareAddress neighbour = {0x00, 0x1B, 0xA9, 0x0C, 0xD4, 0x5E};
  platform::SetNeighbourLookupForTesting([&](std::uint32_t address) -> std::optional<platform::HardwareAddress> {
    if (address != common::HostToNetwork32(0x7F000001)) return std::nullopt;
    return neighbour;
  });
  WriteFleet(SnmpSection());
  Engine& engine = StartEngine();
  const auto records = Enumerate(engine);
  platform::SetNeighbourLookupForTesting({});
  ASSERT_EQ(records.size(), 1u) << Trace();
  EXPECT_EQ(std::vector<std::uint8_t>(records[0].begin(), records[0].begin() + 6),
            std::vector<std::uint8_t>(neighbour.begin(), neighbour.end()));
  const auto model = Ask(engine, IdOf(records[0]), BIDI_GET_MODEL);
  ASSERT_GT(model.size(), 35u);
  EXPECT_EQ(std::string(model.begin() + 35, model.end() - 1), "Laser 7");
  // The id stays keyed by address and port, as it was before the table was asked.
  const std::string idFile = platform::ReadWholeFile((directory_ / "snmp-printers").string()).value_or("");
  EXPECT_NE(idFile.find(" " + agent_->Endpoint() + "\n"), std::string::npos) << idFile;
}

TEST_F(SnmpEngineTest, SnmpV3AuthPrivPrinterIsFoundOnlyWithTheRightPasswords) {
  ASSERT_TRUE(agent_->Write(snmp_test::kV3Community, PrinterRecords(RecordedPrinter{})));
  ASSERT_TRUE(agent_->Start(snmp_test::SnmpV3User{"watcher", "SHA", "authsecret1", "AES", "privsecret1"}))
      << agent_->Problem();
  const std::string v3 = "Version = 3\nUser = watcher\nSecurityLevel = authPriv\nAuthProtocol = SHA\n"
                         "PrivProtocol = AES\nPrivPassword = privsecret1\n";
  WriteFleet(SnmpSection(v3 + "AuthPassword = authsecret1\n"));
  Engine& engine = StartEngine();
  EXPECT_EQ(Enumerate(engine).size(), 1u) << Trace();
  engine_.reset();
  WriteFleet(SnmpSection(v3 + "AuthPassword = wrongsecret\n"));
  EXPECT_TRUE(Enumerate(StartEngine()).empty());
}

TEST_F(SnmpEngineTest, MalformedAgentsNeitherCrashNorHangTheEngine) {
  // Wrong types everywhere, texts where numbers belong, and an OID tree that
  // snmpsimd cannot serve in order.
  const std::string garbage =
      "1.3.6.1.2.1.1.1.0|2|17\n"
      "1.3.6.1.2.1.25.3.2.1.2.1|4|not an oid\n"
      "1.3.6.1.2.1.25.3.2.1.3.1|2|5\n"
      "1.3.6.1.2.1.43.8.2.1.13.1|4|short index\n"
      "1.3.6.1.2.1.43.8.2.1.13.1.1.1.1|4|long index\n"
      "1.3.6.1.2.1.43.18.1.1.7.1.1|4|eight\n"
      "1.3.6.1.2.1.43.18.1.1.4.1.1|6|1.3.6\n"
      "1.3.6.1.2.1.43.5.1.1.1.1|4x|ffffffffffffffffffff\n";
  ASSERT_TRUE(agent_->WriteText("public", garbage));
  ASSERT_TRUE(agent_->Start()) << agent_->Problem();
  WriteFleet(SnmpSection());
  Engine& engine = StartEngine(50);
  const auto start = std::chrono::steady_clock::now();
  const auto records = Enumerate(engine);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
  // Printer-MIB objects make it a printer, however spoiled.
  ASSERT_EQ(records.size(), 1u) << Trace();
  const std::uint16_t id = IdOf(records[0]);
  const auto model = Ask(engine, id, BIDI_GET_MODEL);
  ASSERT_GT(model.size(), 35u);
  EXPECT_EQ(model.back(), 0);
  NotificationWindow window;
  ALERTS alerts{0xFF};
  ASSERT_EQ(engine.CaptureAlerts(1, id, &alerts, window.Handle(), 0), kBceSuccess);
  const auto told = WaitForMessage(window, WM_VX_ALERTS);
  EXPECT_TRUE(Has(told, WM_VX_ALERTS));

  // Once the agent serves a sound printer, the polls read it as any other.
  RecordedPrinter sound;
  sound.alerts = {Jam(1, 8, 1)};
  ASSERT_TRUE(agent_->Write("public", PrinterRecords(sound)));
  const auto jammed = WaitForMessage(window, WM_VX_ALERTS);
  ASSERT_TRUE(Has(jammed, WM_VX_ALERTS)) << Trace();
  EXPECT_EQ(jammed.back().mask & ALERT_PAPER_JAM, static_cast<platform::LParam>(ALERT_PAPER_JAM));
}

}  // namespace
}  // namespace korbce
