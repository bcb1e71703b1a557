// The conditions of network printers, served by the engine and decoded by the
// alert-capture library through the shipped printer database: every printer
// condition comes out as the message and severity the console shows.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
#include <thread>

#include "bce/bce.h"
#include <unistd.h>

#include <filesystem>

#include "platform/file_io.h"
#include "messages/window.h"
#include "korbce/fleet/fleet.h"
#include "korbce/snmp/printer_conditions.h"
#include "platform/environment.h"
#include "tests/korbce/snmp_snapshot_builders.h"
#include "vigilix/vigilix.h"

namespace korbce::snmp {
namespace {

using namespace testing;

constexpr std::int32_t kCriticalSeverity = 4;  // "CRITICAL" on the console
constexpr std::int32_t kWarningSeverity = 2;   // "WARNING"
constexpr std::uint8_t kSnmpDeviceClass = 20;

struct Reported {
  std::int32_t code;
  std::string text;
  bool operator==(const Reported&) const = default;
};

void PrintTo(const Reported& alert, std::ostream* out) { *out << "{" << alert.code << ", \"" << alert.text << "\"}"; }

Reported Critical(std::string text) { return {kCriticalSeverity, std::move(text)}; }
Reported Warning(std::string text) { return {kWarningSeverity, std::move(text)}; }
const Reported kReady{VX_CODE_READY, "Ready"};
const Reported kOffline{VX_CODE_OFFLINE, "Offline"};

std::mutex reportsMutex;
std::map<std::uint16_t, std::vector<Reported>> reports;

std::uint16_t CollectReport(_VIGILIX_RETURN* report) {
  std::vector<Reported> alerts;
  for (int i = 0; i < report->wAlertCount; ++i) alerts.push_back({report->pAlerts[i].nCode, report->pAlerts[i].pszText});
  std::lock_guard lock(reportsMutex);
  reports[report->wPrinter] = std::move(alerts);
  return 0;
}

std::string Hex(std::uint8_t byte) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", byte);
  return text;
}

std::string LocationPairs(const std::vector<Location>& locations) {
  std::string pairs;
  for (const Location& location : locations) pairs += std::to_string(location.key) + ":" + location.name + ";";
  return pairs;
}

// The printer as a section of the engine's fleet file, of the SNMP device class.
std::string FleetSection(std::uint16_t id, const PrinterConditions& conditions) {
  std::string section = "[Printer snmp " + std::to_string(id) + "]\nId = " + std::to_string(id) +
                        "\nClass = " + std::to_string(kSnmpDeviceClass) + "\nModel = " + conditions.model +
                        "\nInputs = " + LocationPairs(conditions.inputs) +
                        "\nOutputs = " + LocationPairs(conditions.outputs) +
                        "\nOffline = " + (conditions.offline ? "Yes" : "No") + "\n";
  for (std::size_t bit = 0; bit < kCategoryCount; ++bit) {
    const CategoryStatus& status = conditions.categories[bit];
    if (status.entries.empty()) continue;
    section += std::string(kCategoryKeys[bit]) + " = " + Hex(status.group) + ":";
    for (const DetailEntry& entry : status.entries) section += Hex(entry[0]) + Hex(entry[1]) + Hex(entry[2]) + ",";
    section += "\n";
  }
  return section;
}

struct Case {
  std::string name;
  PrinterSnapshot snapshot;
  std::vector<Reported> expected;
  bool configChanged = false;
  std::uint32_t supplyLowPercent = kDefaultSupplyLowPercent;
  bool flapping = false;
};

Case Row(std::string name, std::vector<AlertRow> alerts, std::vector<Reported> expected) {
  PrinterSnapshot snapshot = OfficePrinter();
  snapshot.alerts = std::move(alerts);
  return {std::move(name), std::move(snapshot), std::move(expected)};
}

Case Bits(std::string name, unsigned first, unsigned second, std::vector<Reported> expected) {
  PrinterSnapshot snapshot = OfficePrinter();
  snapshot.detectedErrorState = ErrorState(first, second);
  return {std::move(name), std::move(snapshot), std::move(expected)};
}

// The engine and the library are the process's own: one fleet file, one
// capture window and one library worker serve every test.
class ServedFleet : public ::testing::Environment {
 public:
  void SetUp() override {
    directory_ = std::filesystem::temp_directory_path() / ("snmp-conditions-" + std::to_string(::getpid()));
    std::filesystem::create_directories(directory_);
    fleetPath_ = (directory_ / "korbce.ini").string();
    ASSERT_TRUE(platform::WriteFileAtomically(fleetPath_, "").ok());
    ASSERT_TRUE(platform::SetEnvironmentVariable("KORBCE_FLEET", fleetPath_));
    window_ = VXCreate();
    ASSERT_NE(window_, nullptr);
    const std::int16_t application = BceRegisterApp(window_);
    ASSERT_GE(application, 1);
    ASSERT_EQ(VXInit(CollectReport, application, 1), 1);
  }
  void TearDown() override {
    if (window_ != nullptr) platform::DestroyWindow(window_);
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
  }
  static const std::string& FleetPath() { return fleetPath_; }

 private:
  static inline std::string fleetPath_;
  std::filesystem::path directory_;
  platform::WindowHandle window_ = nullptr;
};

const auto* const kServedFleet = ::testing::AddGlobalTestEnvironment(new ServedFleet);

class SnmpConditionsDecodeTest : public ::testing::Test {
 protected:
  // Serves every case as one printer of a fresh id and checks the report of each.
  void ExpectReports(const std::vector<Case>& cases) {
    static std::uint16_t nextId = 100;
    const std::uint16_t firstId = nextId;
    nextId = static_cast<std::uint16_t>(nextId + cases.size());
    std::string fleet;
    for (std::size_t i = 0; i < cases.size(); ++i) {
      const MappingSettings settings{cases[i].supplyLowPercent, {}, cases[i].flapping};
      fleet += FleetSection(Id(firstId, i), MapConditions(cases[i].snapshot, cases[i].configChanged, settings));
    }
    ASSERT_TRUE(platform::WriteFileAtomically(ServedFleet::FleetPath(), fleet).ok());
    ALERTS alerts{0x1FF};
    for (std::size_t i = 0; i < cases.size(); ++i) ASSERT_EQ(VXRegisterPrinter(Id(firstId, i), &alerts), 1);

    WaitForReports(firstId, cases.size());
    std::lock_guard lock(reportsMutex);
    for (std::size_t i = 0; i < cases.size(); ++i) {
      EXPECT_EQ(reports[Id(firstId, i)], cases[i].expected) << cases[i].name;
    }
  }

 private:
  static std::uint16_t Id(std::uint16_t first, std::size_t i) { return static_cast<std::uint16_t>(first + i); }

  static void WaitForReports(std::uint16_t firstId, std::size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
      platform::Message message;
      while (platform::PeekMessage(message)) platform::DispatchMessage(message);
      {
        std::lock_guard lock(reportsMutex);
        std::size_t arrived = 0;
        for (std::size_t i = 0; i < count; ++i) arrived += reports.count(Id(firstId, i));
        if (arrived == count) return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
};

TEST_F(SnmpConditionsDecodeTest, PaperSourcesOutputBinsAndJams) {
  ExpectReports({
      Row("input empty", {Alert(8, 2, 808)}, {Critical("Paper Input Empty - Tray 2")}),
      Row("subunit empty", {Alert(8, 1, 13)}, {Critical("Paper Input Empty - Tray 1")}),
      Row("input low", {Alert(8, 1, 807, kWarning)}, {Warning("Paper Input Low - Tray 1")}),
      Row("subunit almost empty", {Alert(8, 2, 12, kWarning)}, {Warning("Paper Input Low - Tray 2")}),
      Row("tray missing", {Alert(8, 2, 801)}, {Critical("Paper Tray Missing - Tray 2")}),
      Row("subunit missing", {Alert(8, 3, 9)}, {Critical("Paper Tray Missing - Bypass Tray")}),
      Row("bin full", {Alert(9, 1, 903)}, {Critical("Output Bin Full - Top Bin")}),
      Row("subunit full", {Alert(9, 2, 15)}, {Critical("Output Bin Full - Finisher Bin")}),
      Row("bin almost full", {Alert(9, 1, 902, kWarning)}, {Warning("Output Bin Nearly Full - Top Bin")}),
      Row("subunit almost full", {Alert(9, 2, 14, kWarning)}, {Warning("Output Bin Nearly Full - Finisher Bin")}),
      Row("input jam", {Alert(8, 1, 8)}, {Critical("Paper Jam At Input - Tray 1")}),
      Row("output jam", {Alert(9, 1, 8)}, {Critical("Paper Jam At Output - Top Bin")}),
      Row("media path jam", {Alert(13, 1, 8)}, {Critical("Internal Paper Jam")}),
      Row("finisher jam", {Alert(30, 1, 8)}, {Critical("Paper Jam At Finisher")}),
      Row("finisher supply jam", {Alert(31, 1, 8)}, {Critical("Paper Jam At Finisher")}),
      Row("staple jam", {Alert(30, 1, 30208)}, {Critical("Staple Jam At Finisher")}),
      Row("jam elsewhere", {Alert(5, 1, 8)}, {Critical("Paper Jam")}),
      Row("two jams", {Alert(8, 1, 8), Alert(8, 2, 8)},
          {Critical("Paper Jam At Input - Tray 1"), Critical("Paper Jam At Input - Tray 2")}),
      Row("paper requested", {Alert(8, 3, 810, kWarning), Alert(8, 1, 809, kWarning)},
          {Warning("Load Paper or Envelope - Bypass Tray"), Warning("Load Paper or Envelope - Tray 1")}),
  });
}

TEST_F(SnmpConditionsDecodeTest, SuppliesByTypeAndColorant) {
  PrinterSnapshot inkjet = OfficePrinter();
  inkjet.supplies = {Supply(1, 6, 2), Supply(2, 11, 0), Supply(3, 10, 4)};
  inkjet.alerts = {Alert(11, 1, 1105, kWarning), Alert(11, 2, 1102), Alert(11, 3, 1113, kWarning)};
  ExpectReports({
      Row("black toner low", {Alert(11, 1, 1104, kWarning)}, {Warning("Toner Low - Black Cartridge")}),
      Row("colour toner low", {Alert(11, 2, 1104, kWarning), Alert(11, 3, 1104, kWarning), Alert(11, 4, 1104, kWarning)},
          {Warning("Toner Low - Cyan Cartridge"), Warning("Toner Low - Magenta Cartridge"),
           Warning("Toner Low - Yellow Cartridge")}),
      Row("unnamed toner low", {Alert(11, 9, 1104, kWarning)}, {Warning("Toner Low - Toner Cartridge")}),
      Row("toner empty", {Alert(11, 1, 1101)}, {Critical("Supply Empty - Black Cartridge")}),
      Row("cartridge missing", {Alert(11, 3, 1115)}, {Critical("Supply Missing - Magenta Cartridge")}),
      Row("waste full", {Alert(11, 5, 1109)}, {Critical("Waste Bottle Full")}),
      Row("waste almost full", {Alert(11, 5, 1107, kWarning)}, {Warning("Waste Bottle Full or Missing")}),
      Row("drum over", {Alert(11, 6, 1112)}, {Critical("Photoconductor Unit Life Exhausted")}),
      Row("drum almost over", {Alert(11, 6, 1111, kWarning)}, {Warning("Photoconductor Unit Life Warning")}),
      Row("staples empty", {Alert(11, 8, 1101)}, {Critical("Supply Empty - Staples")}),
      {"ink, oil and developer", inkjet,
       {Warning("Supply Low - Cyan Cartridge"), Critical("Supply Empty - Oil Bottle"),
        Warning("Supply Low - Yellow Cartridge")}},
  });
}

TEST_F(SnmpConditionsDecodeTest, CoversServiceWarningsOfflineAndConfiguration) {
  PrinterSnapshot down = OfficePrinter();
  down.deviceStatus = 5;
  down.printerStatus = 1;
  ExpectReports({
      Row("cover open", {Alert(6, 1, 3)}, {Critical("Cover Open")}),
      Row("interlock open", {Alert(30, 1, 5)}, {Critical("Cover Open")}),
      Row("door open", {Alert(5, 1, 501)}, {Critical("Cover Open")}),
      Row("field service", {Alert(1, 1, 2, kWarning, 5)}, {Critical("Service Required")}),
      Row("life over", {Alert(10, 1, 11)}, {Critical("Service Required")}),
      Row("motor failure", {Alert(10, 1, 33)}, {Critical("Service Required")}),
      Row("fuser", {Alert(10, 1, 1003)}, {Critical("Service Required - Fuser")}),
      Row("unknown critical", {Alert(13, 1, 1303)}, {Warning("Unknown Warning Alert - alert 1303")}),
      Row("unknown binary change", {Alert(15, 1, 1507, kBinaryChange)}, {Warning("Unknown Warning Alert - alert 1507")}),
      Row("unknown warning", {Alert(10, 1, 1005, kWarning)}, {kReady}),
      Row("offline alert", {Alert(5, 1, 22, kWarning)}, {kOffline}),
      {"printer down", down, {kOffline}},
      Bits("offline bit", 0x02, 0, {kOffline}),
      {"configuration changed", OfficePrinter(), {kReady}, true},
      Row("everything at once", {Alert(11, 1, 1104, kWarning), Alert(6, 1, 3), Alert(8, 1, 8), Alert(9, 1, 903)},
          {Critical("Output Bin Full - Top Bin"), Critical("Paper Jam At Input - Tray 1"),
           Warning("Toner Low - Black Cartridge"), Critical("Cover Open")}),
  });
}

TEST_F(SnmpConditionsDecodeTest, WhatMustNotRaiseAlerts) {
  PrinterSnapshot levels = OfficePrinter();
  for (InputRow& input : levels.inputs) input.level = -3;
  for (SupplyRow& supply : levels.supplies) supply.level = -3;
  levels.supplies[4].level = -1;
  PrinterSnapshot bypassBits = OfficePrinter();
  bypassBits.alerts = {Alert(8, 3, 808)};
  bypassBits.detectedErrorState = ErrorState(0x40, 0x04);
  std::vector<AlertRow> notices;
  for (const std::int32_t code : {4, 6, 19, 20, 23, 24, 503, 504, 507, 1801}) notices.push_back(Alert(5, 1, code));
  ExpectReports({
      Row("bypass empty", {Alert(8, 3, 808)}, {kReady}),
      Row("bypass low", {Alert(8, 3, 807, kWarning), Alert(8, 3, 12, kWarning)}, {kReady}),
      {"bypass empty with its bits", bypassBits, {kReady}},
      {"levels some remaining and unknown", levels, {kReady}},
      Row("state notices", notices, {kReady}),
      Row("jam row and jammed bit", {Alert(8, 1, 8)}, {Critical("Paper Jam At Input - Tray 1")}),
  });
}

TEST_F(SnmpConditionsDecodeTest, ErrorStateBitsOfPrintersWithoutAnAlertTable) {
  PrinterSnapshot jamBoth = OfficePrinter();
  jamBoth.alerts = {Alert(8, 1, 8)};
  jamBoth.detectedErrorState = ErrorState(0x04, 0);
  ExpectReports({
      Bits("jammed", 0x04, 0, {Critical("Paper Jam")}),
      Bits("noPaper", 0x40, 0, {Critical("Paper Input Empty")}),
      Bits("inputTrayEmpty", 0, 0x04, {Critical("Paper Input Empty")}),
      Bits("lowPaper", 0x80, 0, {Warning("Paper Input Low")}),
      Bits("lowToner", 0x20, 0, {Warning("Toner Low")}),
      Bits("noToner", 0x10, 0, {Critical("Supply Empty")}),
      Bits("doorOpen", 0x08, 0, {Critical("Cover Open")}),
      Bits("outputFull", 0, 0x08, {Critical("Output Bin Full")}),
      Bits("outputNearFull", 0, 0x10, {Warning("Output Bin Nearly Full")}),
      Bits("serviceRequested", 0x01, 0, {Critical("Service Required")}),
      Bits("overduePreventMaint", 0, 0x02, {Warning("Scheduled Maintenance")}),
      Bits("inputTrayMissing", 0, 0x80, {Critical("Paper Tray Missing")}),
      Bits("markerSupplyMissing", 0, 0x20, {Critical("Supply Missing")}),
      Bits("outputTrayMissing", 0, 0x40, {Warning("Unknown Warning Alert")}),
      {"jam row and jammed bit", jamBoth, {Critical("Paper Jam At Input - Tray 1")}},
      Bits("jammed, lowToner and offline", 0x26, 0, {Critical("Paper Jam"), Warning("Toner Low"), kOffline}),
  });
}

PrinterSnapshot InState(std::int32_t deviceStatus, std::vector<AlertRow> alerts = {},
                        std::vector<ConsoleLine> console = {}) {
  PrinterSnapshot snapshot = OfficePrinter();
  snapshot.deviceStatus = deviceStatus;
  snapshot.alerts = std::move(alerts);
  snapshot.console = std::move(console);
  return snapshot;
}

TEST_F(SnmpConditionsDecodeTest, DeviceStatesNobodyExplainsSpeakThePrintersOwnWords) {
  const std::vector<ConsoleLine> panel = {{1, " \t\r\n"}, {2, "\x1bReplace\r\n  Fuser Kit\0garbage"}};
  AlertRow fuserKit = Alert(10, 1, 1005, kWarning);
  fuserKit.description = "Fuser kit low";
  PrinterSnapshot downIdle = InState(5);
  downIdle.printerStatus = 3;
  downIdle.console = {{1, "Call service 50.2"}};
  PrinterSnapshot warmingUp = InState(3);
  warmingUp.printerStatus = 5;
  ExpectReports({
      {"warning, nothing said", InState(3), {Warning("Unknown Warning Alert")}},
      {"warning, front panel", InState(3, {}, panel), {Warning("Unknown Warning Alert - Replace Fuser Kit")}},
      {"warning, row no rule names", InState(3, {fuserKit}, panel), {Warning("Unknown Warning Alert - Fuser kit low")}},
      {"unknown row, front panel", InState(2, {[] {
                                                   AlertRow row = Alert(13, 1, 1303);
                                                   row.description.clear();
                                                   return row;
                                                 }()},
                                              panel),
       {Warning("Unknown Warning Alert - Replace Fuser Kit")}},
      {"down, idle, no bit", downIdle, {Critical("Unknown Error--Operator Required - Call service 50.2")}},
      {"warning explained by a jam", InState(3, {Alert(8, 1, 8)}), {Critical("Paper Jam At Input - Tray 1")}},
      {"warning in power saver", InState(3, {Alert(5, 1, 503)}), {kReady}},
      {"warning while warming up", warmingUp, {kReady}},
      {"running with a front panel", InState(2, {}, panel), {kReady}},
      {"flapping", InState(2, {Alert(8, 1, 8)}),
       {Critical("Paper Jam At Input - Tray 1"), Warning("Unknown Warning Alert - alerts changing at every poll")},
       false, kDefaultSupplyLowPercent, true},
  });
}

TEST_F(SnmpConditionsDecodeTest, ErrorStateBitsAndLevelsNameTheSupplyAndTheTray) {
  const auto with = [](unsigned first, unsigned second, auto change) {
    PrinterSnapshot snapshot = OfficePrinter();
    snapshot.detectedErrorState = ErrorState(first, second);
    change(snapshot);
    return snapshot;
  };
  const auto none = [](PrinterSnapshot&) {};
  const PrinterSnapshot magentaLow = with(0x20, 0, [](PrinterSnapshot& p) { p.supplies[2].level = 9; });
  const PrinterSnapshot blackOut = with(0x10, 0, [](PrinterSnapshot& p) {
    p.supplies[0].level = 0;
    p.supplies[4].level = 0;  // waste toner box: empty is fine
  });
  const PrinterSnapshot trays = with(0x80, 0, [](PrinterSnapshot& p) {
    p.inputs[1].level = 20;
    p.inputs[2].level = 0;  // bypass
  });
  PrinterSnapshot trayOut = with(0x40, 0, [](PrinterSnapshot& p) { p.inputs[0].level = 0; });
  trayOut.alerts = {Alert(8, 1, 8)};  // a jam there says nothing of its level
  PrinterSnapshot inks = OfficePrinter();
  inks.supplies = {Supply(1, 6, 2, 3), Supply(2, 5, 4, 0), Supply(3, 3, 3, 11), Supply(4, 3, 1, -3)};
  PrinterSnapshot photo = OfficePrinter();
  photo.supplies = {Supply(1, 6, 0, 3), Supply(2, 6, 7, 0), Supply(3, 3, 0, 2)};
  photo.supplies[0].description = "Light Cyan Ink";
  photo.supplies[1].description = "Photo Black\r\n";
  photo.supplies[2].description.clear();
  PrinterSnapshot rowWins = with(0x50, 0, [](PrinterSnapshot& p) {
    p.supplies[0].level = 0;
    p.inputs[0].level = 0;
  });
  rowWins.alerts = {Alert(11, 1, 1104, kWarning), Alert(8, 1, 807, kWarning)};
  ExpectReports({
      {"lowToner, magenta at 9 %", magentaLow, {Warning("Toner Low - Magenta Cartridge")}},
      {"lowToner, none low", with(0x20, 0, none), {Warning("Toner Low")}},
      {"noToner, black at 0", blackOut, {Critical("Supply Empty - Black Cartridge")}},
      {"lowPaper, tray 2 at 4 %", trays, {Warning("Paper Input Low - Tray 2")}},
      {"noPaper, tray 1 at 0", trayOut, {Critical("Paper Input Empty - Tray 1"), Critical("Paper Jam At Input - Tray 1")}},
      {"lowPaper, no level known", with(0x80, 0, [](PrinterSnapshot& p) { p.inputs[0].maxCapacity = -2; }),
       {Warning("Paper Input Low")}},
      {"levels alone", inks, {Warning("Supply Low - Cyan Cartridge"), Critical("Supply Empty - Yellow Cartridge")}},
      {"levels turned off", inks, {kReady}, false, 0},
      {"supplies only their words name", photo,
       {Warning("Supply Low - Light Cyan Ink"), Critical("Supply Empty - Photo Black"),
        Warning("Toner Low - Toner Cartridge")}},
      {"levels at 20 %", inks, {Warning("Supply Low - Cyan Cartridge"), Critical("Supply Empty - Yellow Cartridge"),
                               Warning("Toner Low - Magenta Cartridge")}, false, 20},
      {"the row wins over the level and the bit", rowWins,
       {Warning("Paper Input Low - Tray 1"), Critical("Paper Input Empty"), Warning("Toner Low - Black Cartridge"),
        Critical("Supply Empty")}},
  });
}

}  // namespace
}  // namespace korbce::snmp
