// The whole adapter at work: KorEventSvc under service-host inside a temporary
// KOREVNTS_ROOT, the engine serving a fleet file that the tests edit, and
// tec-receiver taking the events.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/ipv4_text.h"
#include "e2e_support.h"
#include "platform/child_process.h"
#include "platform/file_io.h"
#include "platform/host_lookup.h"
#include "service/adapter_app.h"

namespace {

using namespace e2e;
using namespace std::chrono_literals;

// What an event tells about its printer.
struct PrinterFields {
  std::string address, model, origin, port, adapter;
};

// The official name of 127.0.0.1 as this machine's resolver gives it.
std::string LoopbackHostName() {
  return platform::ReverseLookup(*common::ParseIPv4NetworkOrder("127.0.0.1")).value_or("");
}

std::string Event(const std::string& severity, const std::string& message, const PrinterFields& printer) {
  const std::string hostname = printer.origin.empty() ? "" : LoopbackHostName();
  return "Korvane_Printer_Alert;source=Korvane_Printers;severity=" + severity + ";msg='" + message +
         "';printer_address='" + printer.address + "';printer_model='" + printer.model + "';origin='" + printer.origin +
         "';hostname='" + hostname + "';port_attachment='" + printer.port + "';adapter_product='" + printer.adapter +
         "';END\n\x01";
}

// The simulated fleet: a network printer that jams and runs low on toner, a
// second one that goes offline and stops answering, and a local printer.
const std::string kReceptionPrinter =
    "[Printer Reception]\nId = 1\nMac = 0020004A1B0C\nProtocols = 0x2\nAdapter = 129\nIp = 127.0.0.1\n"
    "Classes = 0x2\nClass = 1\nModel = Korvane LaserLine 4000\nInputs = 1:Upper Tray;2:Lower Tray\n"
    "Outputs = 1:Top Bin\n";
const std::string kPaperJam = "Paper Jam = 05:010001\n";
const std::string kTonerLow = "Printer Supplies = 0A:500001\n";
const std::string kStudioPrinter =
    "[Printer Studio]\nId = 2\nMac = 0020004A2C01\nProtocols = 0x2000000\nAdapter = 4\nIp = 127.0.0.1\n"
    "Classes = 0x2\nClass = 5\nModel = Korvane ColorPro 9\nInputs = 1:Tray 1\nOutputs = 1:Finisher\n";
const std::string kBasementPrinter =
    "[Printer Basement]\nId = 3\nMac = 0020004A3D02\nPortType = 1\nClasses = 0x800\nClass = none\n"
    "Model = Korvane Dot 24\nInput = 03:0A0300\n";

const PrinterFields kReception{"0020004A1B0C", "Korvane LaserLine 4000", "127.0.0.1", "", "Portova Q1"};
const PrinterFields kStudio{"0020004A2C01", "Korvane ColorPro 9", "127.0.0.1", "", "Portova M3"};
const PrinterFields kBasement{"0020004A3D02", "Korvane Dot 24", "", "Parallel 1", ""};

class AdapterEndToEndTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(receiver_.Start({})) << receiver_.Errors(); }

  // Settings that find the TCP/IP and local printers, watch every alert
  // category and send to the receiver on port as deliveryKeys say.
  void WriteSettings(std::uint16_t port, const std::string& deliveryKeys = "RetryInterval=1\n") {
    const std::filesystem::path folder = dir_.Root() / "root/etc/korevnts";
    std::filesystem::create_directories(folder);
    WriteFile((folder / "KorEvntS.ini").string(),
              "[Tivoli Adapter Configuration File]\nServerLocation=127.0.0.1\nServerPort=" + std::to_string(port) +
                  "\nBufEvtPath=" + CachePath() + "\n" + deliveryKeys +
                  "\n"
                  "[Printers To Be Enumerated]\nAll NetWare Printers=No\nAll TCP/IP Printers=Yes\n"
                  "All DLC Printers=No\nAll Local Printers=Yes\n\n"
                  "[Printer Alerts To Be Monitored]\nInput=Yes\nOutput=Yes\nPaper Jam=Yes\nPrinter Supplies=Yes\n"
                  "Operator Intervention Required=Yes\nPrinter Warnings=Yes\nDevice Needs Service=Yes\n"
                  "Configuration Change=Yes\nOffline=Yes\nCheck Printer Communication In How Many Seconds ?=16\n\n"
                  "[Enumeration]\nEnumerate Only Defined Ports=No\nLook For New Printers In How Many Hours ?=24\n");
  }

  // The engine sees the new fleet within a quarter of a second.
  void WriteFleet(const std::string& fleet) { WriteFile(dir_.Path("fleet.ini"), fleet); }

  static void WriteFile(const std::string& path, const std::string& content) {
    ASSERT_TRUE(platform::WriteFileAtomically(path, content).ok()) << path;
  }

  void StartService(std::vector<std::string> hostOptions = {}, std::optional<std::string> watchdogUsec = {}) {
    platform::ChildSetup setup;
    setup.outputPath = dir_.Path("host.out");
    setup.errorPath = dir_.Path("service.err");
    setup.environment = {{"KOREVNTS_ROOT", Root().string()},
                         {"KORBCE_FLEET", dir_.Path("fleet.ini")},
                         {"KORBCE_LOG", dir_.Path("korbce.log")}};
    if (watchdogUsec) setup.environment.emplace_back("WATCHDOG_USEC", *watchdogUsec);
    hostOptions.insert(hostOptions.end(), {"--", kBinDir + "/KorEventSvc"});
    ASSERT_TRUE(host_.Start(kBinDir + "/service-host", hostOptions, setup));
  }

  // Sends the stop control; the service's exit status as service-host
  // reports it, or nothing when it has not ended within a few seconds.
  std::optional<int> StopService() {
    host_.RequestStop();
    return host_.Wait(10000);
  }

  // Waits until the service's status line, after "Running: ", is the text
  // with the receiver's port for "<port>".
  bool WaitForStatusLine(std::string text, std::uint16_t port) {
    text.replace(text.find("<port>"), 6, std::to_string(port));
    return Eventually([&] { return HostOutput().find("status: STATUS=Running: " + text + "\n") != std::string::npos; });
  }

  // Waits for the service to report itself running.
  bool WaitUntilRunning() {
    return Eventually([&] { return HostOutput().find("status: READY=1; STATUS=Running\n") != std::string::npos; });
  }

  // The events received for the printer, oldest first.
  std::vector<std::string> EventsOf(const PrinterFields& printer) const {
    std::vector<std::string> events = receiver_.Events();
    std::erase_if(events, [&](const std::string& event) {
      return event.find(";printer_model='" + printer.model + "';") == std::string::npos;
    });
    return events;
  }
  bool WaitForEventsOf(const PrinterFields& printer, std::size_t count) const {
    return Eventually([&] { return EventsOf(printer).size() >= count; });
  }

  // The engine's call log lines that begin with the function's name, or
  // with the name and its first arguments.
  Lines EngineCalls(const std::string& call) const {
    Lines calls = SplitLines(ReadText(dir_.Path("korbce.log")));
    std::erase_if(calls, [&](const std::string& line) { return line.rfind(call + " ", 0) != 0; });
    return calls;
  }

  std::filesystem::path Root() const { return dir_.Root() / "root"; }
  std::string CachePath() const { return dir_.Path("cache.dat"); }
  std::string HostOutput() const { return ReadText(dir_.Path("host.out")); }
  std::string Diagnostics() const {
    return "service-host:\n" + HostOutput() + "trace:\n" + ReadText(dir_.Path("service.err"));
  }

  ScratchDirectory dir_{"adapter-e2e"};
  Receiver receiver_{dir_, "receiver"};
  platform::ChildProcess host_;
};

TEST_F(AdapterEndToEndTest, TheFirstReportsGiveOneEventPerAlertAndTheServiceStopsCleanly) {
  WriteSettings(receiver_.Port());
  WriteFleet(kReceptionPrinter + kPaperJam + kTonerLow + kStudioPrinter + kBasementPrinter);
  StartService({}, "2000000");

  // One report's events are sent in the order they were composed.
  ASSERT_TRUE(WaitForEventsOf(kReception, 2) && WaitForEventsOf(kBasement, 1)) << Diagnostics();
  EXPECT_EQ(EventsOf(kReception), (Lines{Event("CRITICAL", "Paper Jam At Input - Upper Tray", kReception),
                                         Event("WARNING", "Toner Low - Toner Cartridge", kReception)}));
  EXPECT_EQ(EventsOf(kBasement), (Lines{Event("WARNING", "Paper Input Low - Dual Feeder 1", kBasement)}));
  EXPECT_EQ(EventsOf(kStudio), Lines{});

  EXPECT_EQ(EngineCalls("BceRegisterApp"), (Lines{"BceRegisterApp window=\"Vigilix Window\" -> 1"}));
  EXPECT_EQ(EngineCalls("BceEnumPrinters"), (Lines{"BceEnumPrinters app=1 mask=0x80000802 -> 0"}));
  Lines captures = EngineCalls("BceCaptureAlerts");
  std::sort(captures.begin(), captures.end());
  Lines expected;
  for (const char* printer : {"1", "2", "3"}) {
    expected.push_back(std::string("BceCaptureAlerts app=1 printer=") + printer +
                       " categories=0x1FF window=\"Vigilix Window\" reserved=0 -> 0");
  }
  EXPECT_EQ(captures, expected);

  ASSERT_TRUE(WaitUntilRunning()) << Diagnostics();
  EXPECT_TRUE(WaitForStatusLine("3 printers (0 not answering); 3 events sent, 0 cached; TEC server 127.0.0.1:<port> "
                                "connected", receiver_.Port()))
      << Diagnostics();
  // The sender and the engine make progress, so the watchdog hears of it.
  EXPECT_TRUE(Eventually([&] { return HostOutput().find("status: WATCHDOG=1\n") != std::string::npos; }))
      << Diagnostics();
  EXPECT_EQ(EventLogEntries(Root()), (Lines{"KorEvntS Information 103 The KorEvntS service was started."}));
  EXPECT_EQ(StopService(), 0) << Diagnostics();
  const Lines out = SplitLines(HostOutput());
  EXPECT_EQ(out.back(), "service-host: " + kBinDir + "/KorEventSvc exited with status 0");
  EXPECT_NE(std::find(out.begin(), out.end(), "status: STOPPING=1; STATUS=Stopped"), out.end()) << HostOutput();
  EXPECT_EQ(EventLogEntries(Root()), (Lines{"KorEvntS Information 103 The KorEvntS service was started.",
                                            "KorEvntS Information 104 The KorEvntS service was stopped."}));
  EXPECT_EQ(receiver_.Events().size(), 3u);
}

TEST_F(AdapterEndToEndTest, FleetChangesGiveResolvedOfflineReadyAndCommunicationEvents) {
  WriteSettings(receiver_.Port());
  const std::string others = kStudioPrinter + kBasementPrinter;
  WriteFleet(kReceptionPrinter + kPaperJam + kTonerLow + others);
  StartService();
  ASSERT_TRUE(WaitForEventsOf(kReception, 2)) << Diagnostics();

  WriteFleet(kReceptionPrinter + kTonerLow + others);
  ASSERT_TRUE(WaitForEventsOf(kReception, 3)) << Diagnostics();
  EXPECT_EQ(EventsOf(kReception).back(), Event("CRITICAL", "Paper Jam At Input - Upper Tray(Resolved)", kReception));

  const std::string reception = kReceptionPrinter + kTonerLow;
  WriteFleet(reception + kStudioPrinter + "Offline = Yes\n" + kBasementPrinter);
  ASSERT_TRUE(WaitForEventsOf(kStudio, 1)) << Diagnostics();
  WriteFleet(reception + others);
  ASSERT_TRUE(WaitForEventsOf(kStudio, 2)) << Diagnostics();

  WriteFleet(reception + kStudioPrinter + "Online = No\n" + kBasementPrinter);
  ASSERT_TRUE(WaitForEventsOf(kStudio, 3)) << Diagnostics();
  EXPECT_TRUE(WaitForStatusLine("3 printers (1 not answering); 7 events sent, 0 cached; TEC server 127.0.0.1:<port> "
                                "connected", receiver_.Port()))
      << Diagnostics();
  WriteFleet(reception + others);
  ASSERT_TRUE(WaitForEventsOf(kStudio, 4)) << Diagnostics();
  EXPECT_EQ(EventsOf(kStudio), (Lines{Event("WARNING", "Offline", kStudio), Event("WARNING", "Ready", kStudio),
                                      Event("WARNING", "Printer Not Communicating", kStudio),
                                      Event("HARMLESS", "Printer Communication Restored", kStudio)}));

  EXPECT_EQ(StopService(), 0) << Diagnostics();
  EXPECT_EQ(EventsOf(kReception).size(), 3u);
  EXPECT_EQ(EventsOf(kBasement).size(), 1u);
  EXPECT_EQ(EventsOf(kStudio).size(), 4u);
}

TEST_F(AdapterEndToEndTest, UserControl128SavesTheStartValueAndOtherCodesAreRefused) {
  WriteSettings(receiver_.Port());
  WriteFleet(kReceptionPrinter);
  const std::filesystem::path registry = Root() / "var/lib/korevnts/registry";
  std::filesystem::create_directories(registry.parent_path());
  WriteFile(registry.string(),
            "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\KorEvntS\\Parameters]\n"
            "\"Start\"=dword:00000005\n\"Inc\"=dword:00000002\n");
  StartService({"--control", "0@1", "--control", "1@1.2"});

  const std::string saved =
      "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\KorEvntS\\Status]\n\"Current\"=dword:00000005\n";
  ASSERT_TRUE(Eventually([&] { return ReadText(registry).find(saved) != std::string::npos; }))
      << ReadText(registry) << Diagnostics();
  ASSERT_TRUE(Eventually([&] { return EventLogEntries(Root()).size() >= 2; })) << Diagnostics();
  EXPECT_EQ(StopService(), 0) << Diagnostics();

  // The increment is added when the service stops, but only SaveStatus writes.
  EXPECT_NE(ReadText(registry).find(saved), std::string::npos) << ReadText(registry);
  EXPECT_NE(ReadText(registry).find("\"Start\"=dword:00000005\n\"Inc\"=dword:00000002\n"), std::string::npos);
  EXPECT_EQ(EventLogEntries(Root()),
            (Lines{"KorEvntS Information 103 The KorEvntS service was started.",
                   "KorEvntS Error 106 The service control manager sent an invalid request to KorEvntS.",
                   "KorEvntS Information 104 The KorEvntS service was stopped."}));
  const std::string trace = ReadText(dir_.Path("service.err"));
  EXPECT_NE(trace.find("): Saving 'Current' as 5\n"), std::string::npos) << trace;
}

TEST_F(AdapterEndToEndTest, ARegistrationRefusedByTheEngineStopsTheStartUp) {
  WriteSettings(receiver_.Port());
  WriteFleet("[Engine]\nRegisterFails = Yes\n\n" + kReceptionPrinter + kPaperJam);
  StartService();

  // The service stops by itself, OnInit waiting for the adapter's start-up, and
  // the process ends with a failure that service-host passes on.
  EXPECT_EQ(host_.Wait(10000), kStartFailedExitStatus) << Diagnostics();
  EXPECT_EQ(SplitLines(HostOutput()).back(), "service-host: " + kBinDir + "/KorEventSvc exited with status " +
                                                 std::to_string(kStartFailedExitStatus));
  EXPECT_EQ(EventLogEntries(Root()),
            (Lines{"KorEvntS Information 110 The service KorEvntS could not start because the TEC Handler failed to "
                   "initialize.",
                   "KorEvntS Error 105 The KorEvntS service failed intialization."}));
  EXPECT_EQ(EngineCalls("BceRegisterApp"), (Lines{"BceRegisterApp window=\"Vigilix Window\" -> 0"}));
  EXPECT_EQ(EngineCalls("BceEnumPrinters"), Lines{});
  EXPECT_EQ(EngineCalls("BceCaptureAlerts"), Lines{});
  EXPECT_EQ(HostOutput().find("READY=1"), std::string::npos) << HostOutput();
  EXPECT_EQ(receiver_.Events(), Lines{});
}

TEST_F(AdapterEndToEndTest, AStopWhileDiscoveryHoldsTheStartEndsTheServiceWithinSeconds) {
  WriteSettings(receiver_.Port());
  WriteFleet("[Engine]\nEnumDelay = 120000\n\n" + kReceptionPrinter + kPaperJam);
  StartService();
  ASSERT_TRUE(Eventually([&] { return !EngineCalls("BceRegisterApp").empty(); })) << Diagnostics();
  std::this_thread::sleep_for(300ms);  // into the enumeration, which takes two minutes

  host_.RequestStop();
  EXPECT_EQ(host_.Wait(8000), 0) << Diagnostics();
  const std::string out = HostOutput();
  EXPECT_EQ(out.find("READY=1"), std::string::npos) << out;
  EXPECT_NE(out.find("status: STOPPING=1; STATUS=Stop pending\n"), std::string::npos) << out;
  EXPECT_NE(out.find("status: STOPPING=1; STATUS=Stopped\n"), std::string::npos) << out;
  EXPECT_EQ(EventLogEntries(Root()), (Lines{"KorEvntS Information 104 The KorEvntS service was stopped."}));
  EXPECT_EQ(EngineCalls("BceCaptureAlerts"), Lines{});
  EXPECT_EQ(receiver_.Events(), Lines{});
}

TEST_F(AdapterEndToEndTest, EventsCachedWhileTheServerIsDownAreSentBeforeLaterOnes) {
  Receiver refusing(dir_, "refusing");
  ASSERT_TRUE(refusing.Start({"--refuse"}));
  WriteSettings(refusing.Port());
  WriteFleet(kReceptionPrinter + kPaperJam);
  StartService();

  const std::string jam = Event("CRITICAL", "Paper Jam At Input - Upper Tray", kReception);
  ASSERT_TRUE(Eventually([&] { return ReadText(CachePath()) == jam; })) << ReadText(CachePath()) << Diagnostics();
  EXPECT_TRUE(WaitForStatusLine("1 printer (0 not answering); 0 events sent, 1 cached; TEC server 127.0.0.1:<port> "
                                "not connected", refusing.Port()))
      << Diagnostics();

  ASSERT_TRUE(refusing.Stop());
  Receiver back(dir_, "back");
  ASSERT_TRUE(back.Start({}, refusing.Port())) << back.Errors();
  WriteFleet(kReceptionPrinter + kPaperJam + kTonerLow);
  ASSERT_TRUE(back.WaitForEvents(2)) << Diagnostics();
  EXPECT_EQ(back.Events(), (Lines{jam, Event("WARNING", "Toner Low - Toner Cartridge", kReception)}));
  EXPECT_TRUE(Eventually([&] { return ReadText(CachePath()).empty(); })) << ReadText(CachePath());
  EXPECT_TRUE(WaitForStatusLine("1 printer (0 not answering); 2 events sent, 0 cached; TEC server 127.0.0.1:<port> "
                                "connected", refusing.Port()))
      << Diagnostics();

  EXPECT_EQ(StopService(), 0) << Diagnostics();
  EXPECT_EQ(back.Events().size(), 2u);
}

TEST_F(AdapterEndToEndTest, AStopWhileTheSenderWaitsForALostServerEndsAtOnceAndKeepsTheEvent) {
  WriteSettings(receiver_.Port(), "ConnectionMode=co\nRetryInterval=120\n");
  WriteFleet(kReceptionPrinter + kPaperJam);
  StartService();
  ASSERT_TRUE(receiver_.WaitForEvents(1)) << Diagnostics();
  ASSERT_TRUE(receiver_.Stop());

  // Once the printer has told its supplies, the new alert's event soon reaches
  // the sender, which finds its connection closed and waits two minutes
  // before it tries the server again.
  WriteFleet(kReceptionPrinter + kPaperJam + kTonerLow);
  ASSERT_TRUE(Eventually([&] { return !EngineCalls("BceSendBidi app=1 printer=1 reserved=0 command=11").empty(); }))
      << Diagnostics();
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(StopService(), 0) << Diagnostics();
  EXPECT_EQ(ReadText(CachePath()), Event("WARNING", "Toner Low - Toner Cartridge", kReception));
}

}  // namespace
