// The whole adapter watching network printers: KorEventSvc under
// service-host, an engine file with only an [SNMP] section, snmpsimd on
// 127.0.0.1 serving one printer per community, and tec-receiver taking the
// events. What the printers report is all the tests change.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/byte_order.h"
#include "e2e_support.h"
#include "platform/child_process.h"
#include "platform/file_io.h"
#include "platform/udp_socket.h"
#include "snmp_printer_events.h"
#include "tests/korbce/snmp_snapshot_builders.h"
#include "tests/support/hostile_snmp_agent.h"
#include "tests/support/snmp_agent.h"
#include "tests/support/trap_datagram.h"

namespace {

using namespace e2e;
using namespace std::chrono_literals;
using namespace korbce::snmp;
namespace builders = korbce::snmp::testing;
using builders::Alert;
using builders::OfficePrinter;
using snmp_test::HostileSnmpAgent;
using snmp_test::SnmpAgent;

// The Printer MIB's notification that a row entered the alert table.
constexpr char kPrinterV2Alert[] = "1.3.6.1.2.1.43.18.2.0.1";

class SnmpAdapterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!SnmpAgent::Available()) GTEST_SKIP() << "snmpsimd is not installed (Debian package snmpsim)";
    ASSERT_TRUE(receiver_.Start({})) << receiver_.Errors();
  }

  void TearDown() override {
    if (host_.ProcessId() > 0 && host_.IsRunning()) StopService();
  }

  // Each printer gets its community's recording, a model naming the
  // community and an address of its own.
  void Serve(std::vector<Printer>& printers) { ASSERT_TRUE(e2e::Serve(agent_, printers)); }
  bool Write(const Printer& printer, std::size_t number) {
    return agent_.Write(printer.community, RecordsOf(printer, number));
  }

  // The service's settings: every TCP/IP printer, every category, printer
  // communication checked; enumerationKeys are added to [Enumeration].
  void WriteSettings(const std::string& enumerationKeys = "") {
    const std::filesystem::path folder = dir_.Root() / "root/etc/korevnts";
    std::filesystem::create_directories(folder);
    WriteFile((folder / "KorEvntS.ini").string(),
              "[Tivoli Adapter Configuration File]\nServerLocation=127.0.0.1\nServerPort=" +
                  std::to_string(receiver_.Port()) + "\nBufEvtPath=" + dir_.Path("cache.dat") +
                  "\nRetryInterval=1\n\n"
                  "[Printers To Be Enumerated]\nAll NetWare Printers=No\nAll TCP/IP Printers=Yes\n"
                  "All DLC Printers=No\nAll Local Printers=No\n\n"
                  "[Printer Alerts To Be Monitored]\nInput=Yes\nOutput=Yes\nPaper Jam=Yes\nPrinter Supplies=Yes\n"
                  "Operator Intervention Required=Yes\nPrinter Warnings=Yes\nDevice Needs Service=Yes\n"
                  "Configuration Change=Yes\nOffline=Yes\nCheck Printer Communication In How Many Seconds ?=" +
                  std::to_string(checkSeconds_) + "\n\n"
                  "[Enumeration]\nEnumerate Only Defined Ports=No\nLook For New Printers In How Many Hours ?=24\n" +
                  enumerationKeys);
  }

  // An engine file of nothing but its [SNMP] section.
  // snmpsimd answers one request after the other: many printers in one
  // agent need a longer timeout.
  void WriteEngineFile(const std::string& snmpKeys, int timeoutMs = 500) {
    WriteFile(dir_.Path("korbce.ini"), "[SNMP]\nTimeout = " + std::to_string(timeoutMs) + "\nRetries = 1\nPoll = " +
                                           std::to_string(pollSeconds_) + "\nIdFile = " + dir_.Path("snmp-printers") +
                                           "\nTrapPort = " + std::to_string(trapPort_) + "\n" + snmpKeys);
  }
  // Polls a minute apart, as in an office: what comes sooner came by a notification.
  void PollEveryMinute() {
    pollSeconds_ = 60;
    checkSeconds_ = 600;
  }
  bool WaitUntilListening() const {
    return Eventually([&] { return ReadText(dir_.Path("service.err")).find("listening for SNMP notifications") !=
                                   std::string::npos; });
  }

  // net-snmp's snmptrap sending to the engine's notification port, with no
  // configuration or state of this machine's.
  int SendTrap(std::vector<std::string> arguments, const std::vector<std::string>& trap) {
    arguments.insert(arguments.begin(), "-Ln");
    arguments.push_back("127.0.0.1:" + std::to_string(trapPort_));
    arguments.insert(arguments.end(), trap.begin(), trap.end());
    platform::ChildSetup setup;
    setup.errorPath = dir_.Path("snmptrap.err");
    setup.environment = {{"SNMPCONFPATH", dir_.Path("snmptrap")}, {"SNMP_PERSISTENT_DIR", dir_.Path("snmptrap")},
                         {"MIBS", ""}};
    platform::ChildProcess snmptrap;
    if (!snmptrap.Start("/usr/bin/snmptrap", arguments, setup)) return -1;
    return snmptrap.Wait(10000).value_or(-1);
  }
  // The Targets key naming every printer's community, and more.
  std::string TargetsOf(const std::vector<Printer>& printers, std::vector<std::string> more = {}) const {
    return e2e::TargetsOf(printers, agent_.Endpoint(), std::move(more));
  }

  static void WriteFile(const std::string& path, const std::string& content) {
    ASSERT_TRUE(platform::WriteFileAtomically(path, content).ok()) << path;
  }

  void StartService() {
    platform::ChildSetup setup;
    setup.outputPath = dir_.Path("host.out");
    setup.errorPath = dir_.Path("service.err");
    setup.environment = {{"KOREVNTS_ROOT", (dir_.Root() / "root").string()},
                         {"KORBCE_FLEET", dir_.Path("korbce.ini")},
                         {"KORBCE_LOG", dir_.Path("korbce.log")}};
    ASSERT_TRUE(host_.Start(kBinDir + "/service-host", {"--", kBinDir + "/KorEventSvc"}, setup));
  }
  std::optional<int> StopService() {
    host_.RequestStop();
    return host_.Wait(10000);
  }

  // The events of the printer so far, as the console shows them.
  std::vector<Shown> ShownOf(const Printer& printer) const { return e2e::ShownOf(printer, receiver_); }
  bool WaitForShown(const Printer& printer, std::size_t count, std::chrono::milliseconds limit = 20s) const {
    return Eventually([&] { return ShownOf(printer).size() >= count; }, limit);
  }
  std::string Diagnostics() const {
    return "service-host:\n" + ReadText(dir_.Path("host.out")) + "trace:\n" + ReadText(dir_.Path("service.err")) +
           "engine calls:\n" + ReadText(dir_.Path("korbce.log")).substr(0, 4000);
  }

  int pollSeconds_ = 1;
  int checkSeconds_ = 16;
  std::uint16_t trapPort_ = snmp_test::FreeUdpPort();
  ScratchDirectory dir_{"snmp-adapter-e2e"};
  Receiver receiver_{dir_, "receiver"};
  SnmpAgent agent_{dir_.Root() / "agent"};
  platform::ChildProcess host_;
};

// Every condition a network printer reports reaches the console as its
// event; what is no alert gives none.
TEST_F(SnmpAdapterTest, EveryConditionOfThePrinterMibBecomesItsEvent) {
  std::vector<Printer> printers = ConditionTable();
  Serve(printers);
  // A recording of wrong types beside them changes nothing for the others.
  ASSERT_TRUE(agent_.WriteText("spoiled", "1.3.6.1.2.1.25.3.5.1.2.1|4x|ffffffffffffffffffff\n"
                                          "1.3.6.1.2.1.43.18.1.1.4.1.1|6|1.3.6\n"
                                          "1.3.6.1.2.1.43.18.1.1.7.1.1|4|eight\n"));
  ASSERT_TRUE(agent_.Start()) << agent_.Problem();
  WriteSettings();
  WriteEngineFile(TargetsOf(printers, {"spoiled"}), 5000);
  StartService();

  for (const Printer& printer : printers) {
    ASSERT_TRUE(WaitForShown(printer, printer.expected.size())) << printer.community << "\n" << Diagnostics();
  }
  std::this_thread::sleep_for(1500ms);  // a poll round more: nothing else may come
  for (const Printer& printer : printers) {
    EXPECT_EQ(Sorted(ShownOf(printer)), Sorted(printer.expected)) << printer.community;
  }
}

// One printer over time: a jam, a second jam while the first is active, both
// cleared, a new paper source name after a configuration change, silence and
// its end.
TEST_F(SnmpAdapterTest, ChangesSilenceAndRestartOfOnePrinter) {
  std::vector<Printer> printers = {{"office", OfficePrinter(), {}}};
  Printer& office = printers[0];
  Serve(printers);
  ASSERT_TRUE(agent_.Start()) << agent_.Problem();
  WriteSettings();
  WriteEngineFile(TargetsOf(printers));
  StartService();
  ASSERT_TRUE(Eventually([&] { return ReadText(dir_.Path("korbce.log")).find("BceCaptureAlerts") != std::string::npos; },
                         20s))
      << Diagnostics();

  std::vector<Shown> expected;
  const auto next = [&](const Shown& shown) {
    expected.push_back(shown);
    ASSERT_TRUE(WaitForShown(office, expected.size())) << Diagnostics();
    EXPECT_EQ(ShownOf(office).back(), shown);
  };
  office.snapshot.alerts = {Alert(8, 1, 8)};
  ASSERT_TRUE(Write(office, 0));
  next(Critical("Paper Jam At Input - Tray 1"));
  office.snapshot.alerts.push_back(Alert(8, 2, 8));
  ASSERT_TRUE(Write(office, 0));
  next(Critical("Paper Jam At Input - Tray 2"));
  office.snapshot.alerts.clear();
  ASSERT_TRUE(Write(office, 0));
  expected.push_back(Critical("Paper Jam At Input - Tray 1(Resolved)"));
  expected.push_back(Critical("Paper Jam At Input - Tray 2(Resolved)"));
  ASSERT_TRUE(WaitForShown(office, expected.size())) << Diagnostics();

  // A warning told in the printer's own words, and a toner level that falls
  // and is refilled.
  office.snapshot.deviceStatus = 3;
  office.snapshot.console = {{1, "Replace Fuser Kit"}};
  ASSERT_TRUE(Write(office, 0));
  next(Warning("Unknown Warning Alert - Replace Fuser Kit"));
  office.snapshot.deviceStatus = 2;
  office.snapshot.supplies[1].level = 4;
  ASSERT_TRUE(Write(office, 0));
  expected.push_back(Warning("Unknown Warning Alert - Replace Fuser Kit(Resolved)"));
  expected.push_back(Warning("Toner Low - Cyan Cartridge"));
  ASSERT_TRUE(WaitForShown(office, expected.size())) << Diagnostics();
  office.snapshot.supplies[1].level = 100;
  ASSERT_TRUE(Write(office, 0));
  next(Warning("Toner Low - Cyan Cartridge(Resolved)"));

  // The printer's sources are read again once its configuration changed.
  office.snapshot.inputs[1].name = "Envelope Feeder";
  *office.snapshot.configChanges += 1;
  ASSERT_TRUE(Write(office, 0));
  std::this_thread::sleep_for(2500ms);
  office.snapshot.alerts = {Alert(8, 2, 808)};
  ASSERT_TRUE(Write(office, 0));
  next(Critical("Paper Input Empty - Envelope Feeder"));

  // A silent printer's alerts are resolved; once it answers again they are
  // raised afresh.
  ASSERT_TRUE(agent_.Pause());
  expected.push_back(Warning("Printer Not Communicating"));
  expected.push_back(Critical("Paper Input Empty - Envelope Feeder(Resolved)"));
  ASSERT_TRUE(WaitForShown(office, expected.size())) << Diagnostics();
  ASSERT_TRUE(agent_.Resume());
  expected.push_back(Harmless("Printer Communication Restored"));
  expected.push_back(Critical("Paper Input Empty - Envelope Feeder"));
  ASSERT_TRUE(WaitForShown(office, expected.size())) << Diagnostics();
  std::this_thread::sleep_for(1500ms);
  EXPECT_EQ(Sorted(ShownOf(office)), Sorted(expected));

  // After a restart of the service the printer keeps its id.
  const std::string idFile = ReadText(dir_.Path("snmp-printers"));
  EXPECT_NE(idFile.find("32768 mac:001122334400"), std::string::npos) << idFile;
  EXPECT_EQ(StopService(), 0) << Diagnostics();
  const std::size_t before = ReadText(dir_.Path("korbce.log")).size();
  StartService();
  ASSERT_TRUE(Eventually([&] { return ReadText(dir_.Path("korbce.log")).find("BceCaptureAlerts", before) !=
                                      std::string::npos; },
                         20s))
      << Diagnostics();
  EXPECT_NE(ReadText(dir_.Path("korbce.log")).find("BceCaptureAlerts app=1 printer=32768", before), std::string::npos);
  EXPECT_EQ(ReadText(dir_.Path("snmp-printers")), idFile);
}

// A target switched off when the service starts is watched all the same: it
// is reported as not communicating, and its jam arrives once it answers.
TEST_F(SnmpAdapterTest, ATargetSilentAtStartIsWatchedUntilItAnswers) {
  std::vector<Printer> printers = {{"night", WithAlerts({Alert(8, 1, 8)}), {}}};
  Serve(printers);
  ASSERT_TRUE(agent_.Start()) << agent_.Problem();
  ASSERT_TRUE(agent_.Pause());
  WriteSettings();
  WriteEngineFile(TargetsOf(printers));
  StartService();
  const auto shown = [&](const std::string& message) {
    const auto events = receiver_.Events();
    return std::any_of(events.begin(), events.end(),
                       [&](const std::string& event) { return event.find("msg='" + message + "'") != std::string::npos; });
  };
  ASSERT_TRUE(Eventually([&] { return shown("Printer Not Communicating"); }, 20s)) << Diagnostics();
  EXPECT_NE(ReadText(dir_.Path("service.err")).find(": did not answer its probe"), std::string::npos);
  ASSERT_TRUE(agent_.Resume());
  // Enumerated before it answered, it is known by no model or hardware
  // address until the next enumeration, so its jam has no location text.
  ASSERT_TRUE(Eventually([&] { return shown("Paper Jam"); }, 20s)) << Diagnostics();
  ASSERT_TRUE(Eventually([&] { return shown("Printer Communication Restored"); }, 5s)) << Diagnostics();
  EXPECT_FALSE(shown("Paper Jam(Resolved)"));
}

// A printer whose alerts come and go at every poll is reported once as
// flapping and then floods nothing; the healthy printer beside it has its jam
// and the jam's end told, in that order.
TEST_F(SnmpAdapterTest, AFlappingPrinterIsToldOnceAndHoldsUpNoOther) {
  std::vector<Printer> printers = {{"healthy", OfficePrinter(), {}}};
  Printer& healthy = printers[0];
  Serve(printers);
  ASSERT_TRUE(agent_.Start()) << agent_.Problem();
  Printer flapping{"flapping", WithAlerts({Alert(8, 1, 8), Alert(8, 2, 8), Alert(6, 1, 3), Alert(9, 1, 903)}), {}};
  flapping.snapshot.deviceDescr = "Model flapping";
  Printer quiet = flapping;
  quiet.snapshot.alerts.clear();
  const auto alerting = RecordsOf(flapping, 1), settled = RecordsOf(quiet, 1);
  HostileSnmpAgent flapper;
  ASSERT_TRUE(flapper.Start(alerting));
  // The records switch once after each poll: when the agent has had requests
  // since the last switch and then none for a while.
  std::jthread switcher([&](std::stop_token stop) {
    bool alerts = true;
    std::size_t switchedAt = flapper.Requests();
    while (!stop.stop_requested()) {
      const std::size_t seen = flapper.Requests();
      std::this_thread::sleep_for(300ms);
      if (seen == switchedAt || flapper.Requests() != seen) continue;
      alerts = !alerts;
      flapper.Serve(alerts ? alerting : settled);
      switchedAt = seen;
    }
  });
  WriteSettings();
  WriteEngineFile("Targets = healthy@" + agent_.Endpoint() + ", " + flapper.Endpoint() + "\n");
  StartService();

  const Shown flaps = Warning("Unknown Warning Alert - alerts changing at every poll");
  const auto flapsShown = [&] { return std::ranges::count(ShownOf(flapping), flaps); };
  ASSERT_TRUE(Eventually([&] { return flapsShown() > 0; }, 30s)) << Diagnostics();
  std::this_thread::sleep_for(1500ms);  // what the same poll told
  const std::size_t toldOnceFlapping = ShownOf(flapping).size();

  healthy.snapshot.alerts = {Alert(8, 1, 8)};
  ASSERT_TRUE(Write(healthy, 0));
  ASSERT_TRUE(WaitForShown(healthy, 1, 5s)) << Diagnostics();
  healthy.snapshot.alerts.clear();
  ASSERT_TRUE(Write(healthy, 0));
  ASSERT_TRUE(WaitForShown(healthy, 2, 5s)) << Diagnostics();
  std::this_thread::sleep_for(6s);  // ten polls of the flapping printer in all
  EXPECT_EQ(ShownOf(healthy),
            (std::vector<Shown>{Critical("Paper Jam At Input - Tray 1"), Critical("Paper Jam At Input - Tray 1(Resolved)")}));
  EXPECT_EQ(flapsShown(), 1) << ::testing::PrintToString(ShownOf(flapping));
  EXPECT_EQ(ShownOf(flapping).size(), toldOnceFlapping) << ::testing::PrintToString(ShownOf(flapping));

  // With the server away, the healthy printer's next jam and its end wait
  // together in the cache, and reach the server in that order, before the
  // event that finds it back.
  const std::uint16_t port = receiver_.Port();
  ASSERT_TRUE(receiver_.Stop());
  const auto cached = [&](const std::string& message) {
    return Eventually([&] { return ReadText(dir_.Path("cache.dat")).find("msg='" + message + "'") != std::string::npos; },
                      10s);
  };
  healthy.snapshot.alerts = {Alert(8, 2, 8)};
  ASSERT_TRUE(Write(healthy, 0));
  ASSERT_TRUE(cached("Paper Jam At Input - Tray 2")) << Diagnostics();
  healthy.snapshot.alerts.clear();
  ASSERT_TRUE(Write(healthy, 0));
  ASSERT_TRUE(cached("Paper Jam At Input - Tray 2(Resolved)")) << Diagnostics();
  Receiver back(dir_, "back");
  ASSERT_TRUE(back.Start({}, port)) << back.Errors();
  healthy.snapshot.alerts = {Alert(6, 1, 3)};
  ASSERT_TRUE(Write(healthy, 0));
  ASSERT_TRUE(Eventually([&] { return e2e::ShownOf(healthy, back).size() >= 3; }, 20s))
      << ::testing::PrintToString(back.Events()) << "\ncache:\n" << ReadText(dir_.Path("cache.dat")) << Diagnostics();
  EXPECT_EQ(e2e::ShownOf(healthy, back), (std::vector<Shown>{Critical("Paper Jam At Input - Tray 2"),
                                                        Critical("Paper Jam At Input - Tray 2(Resolved)"),
                                                        Critical("Cover Open")}));
}

// A printer that answers each request late with one object holds neither the
// start, nor the healthy printer's events, nor the stop.
TEST_F(SnmpAdapterTest, ASlowPrinterHoldsNeitherTheStartNorTheOthersNorTheStop) {
  std::vector<Printer> printers = {{"healthy", OfficePrinter(), {}}};
  Printer& healthy = printers[0];
  Serve(printers);
  ASSERT_TRUE(agent_.Start()) << agent_.Problem();
  Printer busy{"busy", OfficePrinter(), {}};
  busy.snapshot.deviceDescr = "Model busy";
  for (int row = 0; row < 21; ++row) busy.snapshot.alerts.push_back(Alert(8, 1, 8));
  HostileSnmpAgent slow;
  ASSERT_TRUE(slow.Start(RecordsOf(busy, 1)));
  HostileSnmpAgent::Behaviour late;
  late.delay = 450ms;
  late.bulkObjects = 1;
  slow.Set(late);
  WriteSettings();
  WriteEngineFile("Targets = healthy@" + agent_.Endpoint() + ", " + slow.Endpoint() + "\n");
  StartService();
  ASSERT_TRUE(Eventually([&] { return ReadText(dir_.Path("host.out")).find("status: READY=1; STATUS=Running\n") !=
                                      std::string::npos; },
                         10s))
      << Diagnostics();

  healthy.snapshot.alerts = {Alert(8, 1, 8)};
  ASSERT_TRUE(Write(healthy, 0));
  ASSERT_TRUE(WaitForShown(healthy, 1, 5s)) << Diagnostics();
  EXPECT_EQ(ShownOf(healthy), std::vector<Shown>{Critical("Paper Jam At Input - Tray 1")});
  EXPECT_GT(slow.Requests(), 0u);

  host_.RequestStop();
  EXPECT_EQ(host_.Wait(5000), 0) << Diagnostics();
}

// A printer the adapter finds by sweeping its one-host subnet, with no
// targets named.
TEST_F(SnmpAdapterTest, ASweepOfAOneHostSubnetFindsThePrinter) {
  std::vector<Printer> printers = {{"public", WithAlerts({Alert(6, 1, 3)}), {Critical("Cover Open")}}};
  Serve(printers);
  // Its device description names a generic driver: the events carry the
  // model of its system description, without the firmware list.
  printers[0].snapshot.deviceDescr = "Generic 28C-1";
  printers[0].snapshot.sysDescr = "Model public; firmware 2.1, PCL 6";
  ASSERT_TRUE(Write(printers[0], 0));
  ASSERT_TRUE(agent_.Start()) << agent_.Problem();
  WriteSettings("Look On How Many Subnets ?=1\nSubnet 1=127.0.0.1\nSubnet Mask 1=255.255.255.255\n");
  WriteEngineFile("Port = " + std::to_string(agent_.Port()) + "\n");
  StartService();
  ASSERT_TRUE(WaitForShown(printers[0], 1)) << Diagnostics();
  EXPECT_EQ(ShownOf(printers[0]), printers[0].expected);
}

// SNMPv3 with authentication and privacy; an SNMPv3 inform of the same
// user polls the printer at once, and is answered.
TEST_F(SnmpAdapterTest, AnSnmpV3AuthPrivPrinter) {
  std::vector<Printer> printers = {
      {snmp_test::kV3Community, WithAlerts({Alert(8, 1, 8)}), {Critical("Paper Jam At Input - Tray 1")}}};
  Serve(printers);
  ASSERT_TRUE(agent_.Start(snmp_test::SnmpV3User{"watcher", "SHA", "authsecret1", "AES", "privsecret1"}))
      << agent_.Problem();
  PollEveryMinute();
  WriteSettings();
  WriteEngineFile("Targets = " + agent_.Endpoint() +
                  "\nVersion = 3\nUser = watcher\nSecurityLevel = authPriv\nAuthProtocol = SHA\n"
                  "AuthPassword = authsecret1\nPrivProtocol = AES\nPrivPassword = privsecret1\n");
  StartService();
  ASSERT_TRUE(WaitForShown(printers[0], 1)) << Diagnostics();
  EXPECT_EQ(ShownOf(printers[0]), printers[0].expected);

  ASSERT_TRUE(WaitUntilListening()) << Diagnostics();
  printers[0].snapshot.alerts.clear();
  ASSERT_TRUE(Write(printers[0], 0));
  // snmptrap waits for the inform's answer, and fails without one.
  EXPECT_EQ(SendTrap({"-v", "3", "-Ci", "-u", "watcher", "-l", "authPriv", "-a", "SHA", "-A", "authsecret1", "-x",
                      "AES", "-X", "privsecret1"},
                     {"0", kPrinterV2Alert}),
            0)
      << ReadText(dir_.Path("snmptrap.err")) << Diagnostics();
  ASSERT_TRUE(WaitForShown(printers[0], 2, 5s)) << Diagnostics();
  EXPECT_EQ(ShownOf(printers[0]).back(), Critical("Paper Jam At Input - Tray 1(Resolved)"));
}

// Notifications from the printer's address poll it at once, long before the
// next poll a minute later: the events still come from the poll. A
// notification with a wrong community polls nothing and is traced once; a
// burst of them polls each printer at most once a second.
TEST_F(SnmpAdapterTest, NotificationsPollThePrinterAtOnce) {
  std::vector<Printer> printers = {{"office", OfficePrinter(), {}}};
  Printer& office = printers[0];
  Serve(printers);
  ASSERT_TRUE(agent_.Start()) << agent_.Problem();
  // A second printer at the same address, whose agent counts the requests.
  Printer counted{"counted", OfficePrinter(), {}};
  counted.snapshot.deviceDescr = "Model counted";
  HostileSnmpAgent countingAgent;
  ASSERT_TRUE(countingAgent.Start(RecordsOf(counted, 1)));
  PollEveryMinute();
  WriteSettings();
  WriteEngineFile("Targets = office@" + agent_.Endpoint() + ", " + countingAgent.Endpoint() + "\n");
  StartService();
  ASSERT_TRUE(WaitUntilListening()) << Diagnostics();
  const auto captures = [&] {
    return std::ranges::count_if(SplitLines(ReadText(dir_.Path("korbce.log"))),
                                 [](const std::string& line) { return line.find("BceCaptureAlerts") != std::string::npos; });
  };
  ASSERT_TRUE(Eventually([&] { return captures() >= 2; }, 20s)) << Diagnostics();
  std::this_thread::sleep_for(1500ms);  // the first polls end

  const auto shownWithin = [&](std::size_t count, const Shown& last) {
    const auto sent = std::chrono::steady_clock::now();
    EXPECT_TRUE(WaitForShown(office, count, 5s)) << Diagnostics();
    EXPECT_LT(std::chrono::steady_clock::now() - sent, 5s);
    if (ShownOf(office).size() >= count) {
      EXPECT_EQ(ShownOf(office).back(), last);
    }
  };
  office.snapshot.alerts = {Alert(8, 1, 8)};
  ASSERT_TRUE(Write(office, 0));
  ASSERT_EQ(SendTrap({"-v", "2c", "-c", "public"}, {"0", kPrinterV2Alert}), 0) << ReadText(dir_.Path("snmptrap.err"));
  shownWithin(1, Critical("Paper Jam At Input - Tray 1"));
  office.snapshot.alerts.clear();
  ASSERT_TRUE(Write(office, 0));
  std::this_thread::sleep_for(1s);  // past the second of the last extra poll
  ASSERT_EQ(SendTrap({"-v", "1", "-c", "public"}, {"1.3.6.1.2.1.43.18.2", "", "6", "1", ""}), 0)
      << ReadText(dir_.Path("snmptrap.err"));
  shownWithin(2, Critical("Paper Jam At Input - Tray 1(Resolved)"));

  office.snapshot.alerts = {Alert(8, 2, 8)};
  ASSERT_TRUE(Write(office, 0));
  std::this_thread::sleep_for(1s);
  for (int i = 0; i < 2; ++i) ASSERT_EQ(SendTrap({"-v", "2c", "-c", "wrong"}, {"0", kPrinterV2Alert}), 0);
  std::this_thread::sleep_for(2s);
  EXPECT_EQ(ShownOf(office).size(), 2u);
  const std::string dropped = "SNMP notification from 127.0.0.1: notification with a wrong community; dropped";
  const std::string trace = ReadText(dir_.Path("service.err"));
  EXPECT_NE(trace.find(dropped), std::string::npos) << trace;
  EXPECT_EQ(trace.find(dropped), trace.rfind(dropped)) << trace;

  // The requests of one poll, then those of a burst of a thousand.
  const auto settled = [&] {
    for (std::size_t seen = countingAgent.Requests();; seen = countingAgent.Requests()) {
      std::this_thread::sleep_for(700ms);
      if (countingAgent.Requests() == seen) return seen;
    }
  };
  std::this_thread::sleep_for(1s);
  const std::size_t before = settled();
  ASSERT_EQ(SendTrap({"-v", "2c", "-c", "public"}, {"0", kPrinterV2Alert}), 0);
  ASSERT_TRUE(Eventually([&] { return countingAgent.Requests() > before; }, 5s)) << Diagnostics();
  const std::size_t onePoll = settled() - before;
  ASSERT_GT(onePoll, 0u);
  shownWithin(3, Critical("Paper Jam At Input - Tray 2"));
  std::this_thread::sleep_for(1s);
  const std::size_t beforeBurst = settled();
  std::uint16_t localPort = 0;
  platform::UniqueSocket sender = platform::BindUdp4(common::HostToNetwork32(0x7F000001), 0, localPort);
  ASSERT_TRUE(sender.IsValid());
  const auto burstStart = std::chrono::steady_clock::now();
  for (int i = 0; i < 1000; ++i) {
    ASSERT_TRUE(platform::SendDatagramTo(sender.Get(), snmp_test::kPrinterAlertTrap, sizeof snmp_test::kPrinterAlertTrap, common::HostToNetwork32(0x7F000001),
                                         common::HostToNetwork16(trapPort_)));
  }
  const std::size_t afterBurst = settled();
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - burstStart);
  const std::size_t polls = (afterBurst - beforeBurst + onePoll / 2) / onePoll;
  EXPECT_GE(polls, 1u);
  EXPECT_LE(polls, static_cast<std::size_t>(seconds.count()) + 1) << polls << " polls in " << seconds.count() << " s";
}

}  // namespace
