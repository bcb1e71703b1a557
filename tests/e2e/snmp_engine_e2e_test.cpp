// The engine watching network printers: snmpsimd agents on 127.0.0.1 serve
// the printers, the tests make the engine's calls and collect its
// notifications.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "bce/bce.h"
#include "bce/bce_records.h"
#include "common/byte_order.h"
#include "e2e_support.h"
#include "korbce/enum_record.h"
#include "platform/neighbour_table.h"
#include "settings/subnet_list.h"
#include "tests/korbce/engine_fixture.h"
#include "tests/support/hostile_snmp_agent.h"
#include "tests/support/printer_recording.h"
#include "vigilix/vigilix.h"

namespace korbce {
namespace {

using namespace std::chrono_literals;

// These engines take no notifications: the service's tests send them.
constexpr char kNoTrapPort[] = "TrapPort = 0\n";
using snmp_test::HostileSnmpAgent;
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

std::vector<std::uint8_t> MacOf(const EnumRecord& record) { return {record.begin(), record.begin() + 6}; }
const std::vector<std::uint8_t> kRecordedMac = {0x00, 0x11, 0x22, 0x33, 0x44, 0xAA};

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
    return "[SNMP]\nTargets = " + agent_->Endpoint() + "\nTimeout = 300\nRetries = 0\nPoll = 1\n" + kNoTrapPort + keys;
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

  static std::string SectionFor(const std::string& targets, const std::string& timing = "Timeout = 300\nRetries = 0\n") {
    return "[SNMP]\nTargets = " + targets + "\n" + timing + "Poll = 1\n" + kNoTrapPort;
  }

  // Monitors every printer and captures the one given, for every category.
  void Capture(Engine& engine, std::uint16_t id, NotificationWindow& window) {
    ASSERT_EQ(engine.MonitorPrinter(1, 0xFFFF, 1, 1), kBceSuccess);
    ASSERT_EQ(engine.CaptureAlerts(1, id, &everyCategory_, window.Handle(), 0), kBceSuccess);
  }

  // Starts an engine watching the one printer at endpoint, captured into
  // window: its id, 0 when the printer was not found.
  std::uint16_t CaptureTheOnlyPrinter(const std::string& endpoint, NotificationWindow& window) {
    WriteFleet(SectionFor(endpoint));
    Engine& engine = StartEngine(50);
    const auto records = Enumerate(engine);
    if (records.size() != 1) return 0;
    Capture(engine, IdOf(records[0]), window);
    return IdOf(records[0]);
  }

  // Whether any alert notification told that no paper is jammed.
  static bool ToldJamGone(const std::vector<Notification>& all) {
    return std::any_of(all.begin(), all.end(), [](const Notification& n) {
      return n.message == WM_VX_ALERTS && (n.mask & ALERT_PAPER_JAM) == 0;
    });
  }

  std::unique_ptr<SnmpAgent> agent_;
  ALERTS everyCategory_{0xFF};  // read by the engine for as long as a capture lasts
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
    EXPECT_EQ(MacOf(records[0]), kRecordedMac);
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
  WriteFleet("[SNMP]\nPort = " + std::to_string(agent_->Port()) + "\nTimeout = 300\nRetries = 0\n" + kNoTrapPort);
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
  RecordedPrinter office;
  office.model = "Office Inkjet 20";
  office.mac = "0011223344CC";
  ASSERT_TRUE(agent_->Write("office", PrinterRecords(office)));
  ASSERT_TRUE(agent_->Start(snmp_test::SnmpV3User{"watcher", "SHA", "authsecret1", "AES", "privsecret1"}))
      << agent_->Problem();
  const std::string v3 = "Version = 3\nUser = watcher\nSecurityLevel = authPriv\nAuthProtocol = SHA\n"
                         "PrivProtocol = AES\nPrivPassword = privsecret1\n";
  WriteFleet(SnmpSection(v3 + "AuthPassword = authsecret1\n"));
  Engine& engine = StartEngine();
  EXPECT_EQ(Enumerate(engine).size(), 1u) << Trace();
  engine_.reset();
  // The part of a target before "@" is its context name: a second printer
  // of the same agent and port.
  WriteFleet("[SNMP]\nTargets = " + agent_->Endpoint() + ", office@" + agent_->Endpoint() +
             "\nTimeout = 300\nRetries = 0\nPoll = 1\n" + kNoTrapPort + v3 + "AuthPassword = authsecret1\n");
  Engine& twoContexts = StartEngine();
  const auto both = Enumerate(twoContexts);
  ASSERT_EQ(both.size(), 2u) << Trace();
  EXPECT_NE(MacOf(both[0]), MacOf(both[1])) << "each context answers as its own printer";
  engine_.reset();
  // With a wrong password the target is watched as not communicating, as
  // the id file knows it, and nothing the agent sends is taken.
  WriteFleet(SnmpSection(v3 + "AuthPassword = wrongsecret\n"));
  Engine& refused = StartEngine();
  const auto records = Enumerate(refused);
  ASSERT_EQ(records.size(), 1u) << Trace();
  EXPECT_EQ(IdOf(records[0]), 32768);
  EXPECT_EQ(MacOf(records[0]), kRecordedMac);
  EXPECT_TRUE(Ask(refused, IdOf(records[0]), BIDI_GET_MODEL).empty());
  EXPECT_NE(Trace().find("SNMP printer " + agent_->Endpoint() + ": net-snmp: Authentication failed for watcher"),
            std::string::npos)
      << Trace();
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

// An answer counts only from the address and port the request went to, and
// only with the request's id: a forger that sees every request and answers
// first, from another port with the right request-id, or from the printer's
// port with another one, changes nothing.
TEST_F(SnmpEngineTest, AnswersFromAnotherPortOrWithAnotherIdAreIgnored) {
  HostileSnmpAgent printer;
  ASSERT_TRUE(printer.Start(PrinterRecords(RecordedPrinter{})));
  RecordedPrinter jammed;
  jammed.alerts = {Jam(1, 8, 1)};
  HostileSnmpAgent::Behaviour forging;
  forging.forged = PrinterRecords(jammed);
  printer.Set(forging);
  NotificationWindow window;
  ASSERT_NE(CaptureTheOnlyPrinter(printer.Endpoint(), window), 0) << Trace();
  const std::size_t before = printer.Requests();
  const auto told = window.WaitFor(100, 3s);
  EXPECT_GT(printer.Requests(), before + 2) << "the printer was polled";
  ASSERT_TRUE(Has(told, WM_VX_ALERTS));
  for (const Notification& n : told) EXPECT_EQ(n.mask & ALERT_PAPER_JAM, 0) << Trace();
  EXPECT_NE(Trace().find("SNMP printer " + printer.Endpoint() + ": answers from another address or port"),
            std::string::npos)
      << Trace();

  forging.forgedWithWrongId = true;
  printer.Set(forging);
  const auto later = window.WaitFor(100, 3s);
  for (const Notification& n : later) EXPECT_EQ(n.mask & ALERT_PAPER_JAM, 0) << Trace();
  EXPECT_NE(Trace().find("SNMP printer " + printer.Endpoint() + ": answers that are malformed or match no request"),
            std::string::npos)
      << Trace();
}

// A printer switched off when the engine starts keeps the id it had, is
// watched as not communicating, and reports its jam once it answers again.
TEST_F(SnmpEngineTest, ATargetSilentAtStartIsWatchedUnderItsIdUntilItAnswers) {
  HostileSnmpAgent printer;
  ASSERT_TRUE(printer.Start(PrinterRecords(RecordedPrinter{})));
  WriteFleet(SectionFor(printer.Endpoint()));
  const auto first = Enumerate(StartEngine());
  ASSERT_EQ(first.size(), 1u) << Trace();
  // The probe's subtrees share their requests.
  EXPECT_LE(printer.Requests(), 3u);
  engine_.reset();

  HostileSnmpAgent::Behaviour off;
  off.silent = true;
  printer.Set(off);
  Engine& engine = StartEngine(50);
  const auto start = std::chrono::steady_clock::now();
  const auto records = Enumerate(engine);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
  ASSERT_EQ(records.size(), 1u) << Trace();
  EXPECT_EQ(IdOf(records[0]), IdOf(first[0]));
  EXPECT_EQ(MacOf(records[0]), kRecordedMac);
  EXPECT_NE(Trace().find("SNMP printer " + printer.Endpoint() + ": did not answer its probe"), std::string::npos);
  NotificationWindow window;
  Capture(engine, IdOf(records[0]), window);
  EXPECT_TRUE(Has(WaitForMessage(window, WM_VX_COMM_LOST, 3s), WM_VX_COMM_LOST));

  RecordedPrinter jammed;
  jammed.alerts = {Jam(1, 8, 1)};
  printer.Serve(PrinterRecords(jammed));
  printer.Set({});
  const auto told = WaitForMessage(window, WM_VX_ALERTS, 15s);
  ASSERT_TRUE(Has(told, WM_VX_ALERTS)) << Trace();
  EXPECT_TRUE(Has(told, WM_VX_COMM_RESTORED));
  EXPECT_EQ(told.back().mask & ALERT_PAPER_JAM, static_cast<platform::LParam>(ALERT_PAPER_JAM));
}

// An error status or a walk that does not increase is no "no alerts": the
// jam stays until an intact answer no longer holds it.
TEST_F(SnmpEngineTest, ABrokenAnswerKeepsThePrintersConditions) {
  RecordedPrinter jammed;
  jammed.alerts = {Jam(1, 8, 1)};
  HostileSnmpAgent printer;
  ASSERT_TRUE(printer.Start(PrinterRecords(jammed)));
  NotificationWindow window;
  ASSERT_NE(CaptureTheOnlyPrinter(printer.Endpoint(), window), 0) << Trace();
  const auto jam = WaitForMessage(window, WM_VX_ALERTS);
  ASSERT_TRUE(Has(jam, WM_VX_ALERTS));
  ASSERT_FALSE(ToldJamGone(jam)) << ::testing::PrintToString(jam) << Trace();

  HostileSnmpAgent::Behaviour genErr;
  genErr.errorStatus = 5;
  printer.Set(genErr);
  EXPECT_FALSE(ToldJamGone(window.WaitFor(100, 3s))) << Trace();
  HostileSnmpAgent::Behaviour nonIncreasing;
  nonIncreasing.nonIncreasing = true;
  printer.Set(nonIncreasing);
  EXPECT_FALSE(ToldJamGone(window.WaitFor(100, 3s))) << Trace();
  const std::string trace = Trace();
  EXPECT_NE(trace.find("SNMP printer " + printer.Endpoint() + ": GET answered with error status 5"), std::string::npos)
      << trace;
  EXPECT_NE(trace.find("does not increase"), std::string::npos);

  printer.Serve(PrinterRecords(RecordedPrinter{}));
  printer.Set({});
  std::vector<Notification> cleared;
  for (int i = 0; i < 5 && !ToldJamGone(cleared); ++i) {
    const auto more = WaitForMessage(window, WM_VX_ALERTS, 3s);
    cleared.insert(cleared.end(), more.begin(), more.end());
  }
  EXPECT_TRUE(ToldJamGone(cleared)) << "an intact answer without the jam resolves it";
}

// A printer that answers each request late with one object is handled as a
// silent one: the enumeration does not wait for it, the healthy printer's
// jam arrives, and a stop ends an enumeration under way at once.
TEST_F(SnmpEngineTest, ASlowPrinterHoldsNeitherTheEnumerationNorTheOthersNorTheStop) {
  RecordedPrinter healthy;
  StartAgent(healthy);
  RecordedPrinter busy;
  busy.mac = "0011223344BB";
  for (int row = 1; row <= 21; ++row) busy.alerts.push_back(Jam(row, 8, 1));
  HostileSnmpAgent slow;
  ASSERT_TRUE(slow.Start(PrinterRecords(busy)));
  HostileSnmpAgent::Behaviour late;
  late.delay = 450ms;
  late.bulkObjects = 1;
  slow.Set(late);
  WriteFleet(SectionFor(agent_->Endpoint() + ", " + slow.Endpoint(), "Timeout = 500\nRetries = 1\n"));
  Engine& engine = StartEngine(50);
  const auto start = std::chrono::steady_clock::now();
  const auto records = Enumerate(engine);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
  ASSERT_EQ(records.size(), 2u) << Trace();
  const auto healthyRecord = std::find_if(records.begin(), records.end(),
                                          [](const EnumRecord& record) { return MacOf(record) == kRecordedMac; });
  ASSERT_NE(healthyRecord, records.end());
  NotificationWindow window;
  Capture(engine, IdOf(*healthyRecord), window);
  ASSERT_TRUE(Has(WaitForMessage(window, WM_VX_ALERTS), WM_VX_ALERTS));

  healthy.alerts = {Jam(1, 8, 1)};
  ASSERT_TRUE(agent_->Write("public", PrinterRecords(healthy)));
  const auto jam = WaitForMessage(window, WM_VX_ALERTS, 5s);
  ASSERT_TRUE(Has(jam, WM_VX_ALERTS)) << Trace();
  EXPECT_EQ(jam.back().mask & ALERT_PAPER_JAM, static_cast<platform::LParam>(ALERT_PAPER_JAM));

  std::atomic<bool> ended{false};
  std::thread enumeration([&] {
    engine.EnumPrinters(1, kEnumTcpIp, [](const std::uint8_t*) -> std::uint16_t { return 0; });
    ended = true;
  });
  std::this_thread::sleep_for(300ms);
  const auto stopping = std::chrono::steady_clock::now();
  engine.StopThreads();
  enumeration.join();
  EXPECT_TRUE(ended);
  EXPECT_LT(std::chrono::steady_clock::now() - stopping, 2s);
}

}  // namespace
}  // namespace korbce
