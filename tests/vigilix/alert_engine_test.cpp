#include "vigilix/alert_engine.h"

#include <gtest/gtest.h>

#include "bce/bce_messages.h"
#include "tests/vigilix/fake_engine.h"
#include "tests/vigilix/report_collector.h"
#include "tests/vigilix/temp_database.h"
#include "vigilix/capture_window.h"

namespace vigilix {
namespace {

using report_collector::Alert;
using report_collector::Report;

constexpr std::int16_t kApplication = 5;
constexpr std::uint16_t kPrinter = 10;

constexpr const char* kDatabase = R"(
[File Version]
Current Version=1.3
[Device Status Alerts: -1]
03..0300=55;0;;;;;;2
03....05=74;1000;;;;;;4
04..0100=45;2000;;;;;;3
05000003=52;0;;;;;;4
06000002=40;-1;;;;;;5
07..0009=71;-1;;;;;;4
07......=82;-1;;;;;;200
08..0001=3;-1;;;;;;1
08..0002=64;-1;;;;;;-1
09....01=-1;-1;;;;;1;0
09....02=-1;-1;;;;;2;0
09....40=-1;-1;;;;;64;0
09....00=-1;-1;;;;;0;0
0A....01=71;0;;;;;;2
0A....09=71;-1;;;;;;1
0B......=48;-1;;;;;;4
[Device Status Alerts: 2]
03..0300=155;0;;;;;;2
)";

class AlertEngineTest : public testing::Test {
 protected:
  void SetUp() override {
    fake_engine::Reset();
    report_collector::Clear();
    engine_->Configure(EngineSettings{report_collector::Callback, database_.Path(), kApplication});
  }

  // Processes one pending entry on this thread and returns its report.
  Report ProcessOne(std::uint32_t mask, std::uint32_t commState = 0, std::uint16_t printer = kPrinter) {
    report_collector::Clear();
    engine_->Process({printer, mask, commState});
    const auto reports = report_collector::Reports();
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_TRUE(report_collector::SizesAlwaysMatched());
    return reports.empty() ? Report{} : reports.front();
  }

  void Answer(std::uint32_t command, std::uint8_t group, const std::vector<fake_engine::StatusEntry>& entries,
              std::uint16_t printer = kPrinter) {
    fake_engine::SetReply(printer, command, fake_engine::StatusAnswer(group, entries));
  }

  TempDatabase database_{kDatabase};
  std::shared_ptr<AlertEngine> engine_ = AlertEngine::Create();
};

TEST_F(AlertEngineTest, WorkedExampleGivesTextLocationAndSeverity) {
  engine_->printerList.Register(kPrinter, kNoDeviceClass, "Model 9");
  fake_engine::SetReply(kPrinter, 4, {0x03, 0x01, 0x0A, 0x03, 0x00, 0x00});
  const Report report = ProcessOne(ALERT_INPUT);
  EXPECT_EQ(report.printer, kPrinter);
  EXPECT_EQ(report.model, "Model 9");
  EXPECT_EQ(report.alerts, (std::vector<Alert>{{2, "Paper Input Low - Dual Feeder 1"}}));
  EXPECT_EQ(fake_engine::BidiCommands(kPrinter), (std::vector<std::uint32_t>{4}));
  EXPECT_EQ(fake_engine::BidiCalls().front().application, kApplication);
  // A printer of class 2 finds its own section first, where message 155 has
  // no text: the location still follows the separator.
  engine_->printerList.Register(kPrinter, 2, "Model 9");
  EXPECT_EQ(ProcessOne(ALERT_INPUT).alerts, (std::vector<Alert>{{2, " - Dual Feeder 1"}}));
}

TEST_F(AlertEngineTest, CategoryBitsAreQueriedLowestFirstWithBitsThreeAndFourSwapped) {
  ProcessOne(ALERT_OPERATOR | ALERT_SUPPLIES);
  EXPECT_EQ(fake_engine::BidiCommands(kPrinter), (std::vector<std::uint32_t>{11, 7}));
  fake_engine::Reset();
  ProcessOne(0xFF);
  EXPECT_EQ(fake_engine::BidiCommands(kPrinter), (std::vector<std::uint32_t>{4, 5, 6, 11, 7, 8, 9, 10}));
}

TEST_F(AlertEngineTest, PseudoAlertsOfEmptyOfflineAndCommunicationReports) {
  EXPECT_EQ(ProcessOne(0).alerts, (std::vector<Alert>{{VX_CODE_READY, "Ready"}}));
  EXPECT_EQ(ProcessOne(0xFFFFFE00).alerts, (std::vector<Alert>{{VX_CODE_READY, "Ready"}}));
  EXPECT_TRUE(fake_engine::BidiCalls().empty());
  EXPECT_EQ(ProcessOne(ALERT_OFFLINE).alerts, (std::vector<Alert>{{VX_CODE_OFFLINE, "Offline"}}));
  EXPECT_EQ(ProcessOne(0, kCommLost).alerts, (std::vector<Alert>{{VX_CODE_COMM_LOST, "Printer Not Communicating"}}));
  Answer(4, 3, {{0x0A, 0x03, 0x00, {}}});
  EXPECT_EQ(ProcessOne(ALERT_INPUT | ALERT_OFFLINE, kCommRestored).alerts,
            (std::vector<Alert>{{2, "Paper Input Low - Dual Feeder 1"},
                                {VX_CODE_OFFLINE, "Offline"},
                                {VX_CODE_COMM_RESTORED, "Printer Communication Restored"}}));
}

TEST_F(AlertEngineTest, EqualTextsKeepTheFirstEntryAndItsCode) {
  // An operator alert reading "Offline" (severity 5) before the offline bit.
  Answer(7, 6, {{0, 0, 2, {}}});
  EXPECT_EQ(ProcessOne(ALERT_OPERATOR | ALERT_OFFLINE).alerts, (std::vector<Alert>{{5, "Offline"}}));
  // "Toner Low" from supplies (bit 3) and from warnings (bit 5).
  Answer(11, 0x0A, {{0, 0, 9, {}}, {0x50, 0, 1, {}}, {0, 0, 9, {}}});
  Answer(8, 7, {{0, 0, 9, {}}});
  EXPECT_EQ(ProcessOne(ALERT_WARNING | ALERT_SUPPLIES).alerts,
            (std::vector<Alert>{{1, "Toner Low"}, {2, "Toner Low - Toner Cartridge"}}));
}

TEST_F(AlertEngineTest, EntriesWithoutTextOrOutsideTheGroupsAddNothing) {
  // Message without text, unknown entry, severity out of range.
  Answer(9, 8, {{0, 0, 1, {}}, {0, 0, 0x77, {}}, {0, 0, 2, {1, 2}}});
  EXPECT_EQ(ProcessOne(ALERT_SERVICE).alerts, (std::vector<Alert>{{3, "Service Required"}}));
  Answer(8, 7, {{1, 2, 3, {}}});
  EXPECT_EQ(ProcessOne(ALERT_WARNING).alerts, (std::vector<Alert>{{3, "Unknown Warning Alert"}}));
  // Group 11 is no alert group, even under a category bit.
  Answer(6, 0x0B, {{1, 2, 3, {}}});
  EXPECT_EQ(ProcessOne(ALERT_PAPER_JAM).alerts, (std::vector<Alert>{{VX_CODE_READY, "Ready"}}));
  // A full-key match has no location byte, so no location.
  Answer(6, 5, {{0, 0, 3, {}}});
  EXPECT_EQ(ProcessOne(ALERT_PAPER_JAM).alerts, (std::vector<Alert>{{4, "Internal Paper Jam"}}));
}

TEST_F(AlertEngineTest, LocationsOfThePrintersOwnSourcesAndBins) {
  fake_engine::SetReply(kPrinter, 18, fake_engine::InputAnswer({{2, "Upper Tray"}}));
  fake_engine::SetReply(kPrinter, 19, fake_engine::OutputAnswer({{1, "Face Down"}}));
  engine_->printerList.Register(kPrinter, kNoDeviceClass, "");
  engine_->printerList.RefreshInputs(kApplication, kPrinter);
  engine_->printerList.RefreshOutputs(kApplication, kPrinter);
  Answer(4, 3, {{2, 0, 5, {}}, {9, 0, 5, {}}});
  Answer(5, 4, {{1, 1, 0, {}}});
  EXPECT_EQ(ProcessOne(ALERT_INPUT | ALERT_OUTPUT).alerts,
            (std::vector<Alert>{{4, "Paper Tray Missing - Upper Tray"}, {4, "Paper Tray Missing"},
                                {3, "Output Bin Full - Face Down"}}));
  // An unregistered printer: no model, class 255, no names of its own.
  Answer(4, 3, {{2, 0, 5, {}}}, 77);
  const Report unknown = ProcessOne(ALERT_INPUT, 0, 77);
  EXPECT_EQ(unknown.model, "");
  EXPECT_EQ(unknown.alerts, (std::vector<Alert>{{4, "Paper Tray Missing"}}));
}

TEST_F(AlertEngineTest, ConfigurationChangesReReadTheListsTheMaskNames) {
  engine_->printerList.Register(kPrinter, kNoDeviceClass, "");
  const auto listQueries = [] {
    std::vector<std::uint32_t> lists;
    for (std::uint32_t command : fake_engine::BidiCommands(kPrinter))
      if (command == 18 || command == 19) lists.push_back(command);
    return lists;
  };
  const std::pair<std::uint8_t, std::vector<std::uint32_t>> cases[] = {
      {0x40, {18, 19}}, {0x01, {18}}, {0x02, {19}}, {0x00, {}}};
  for (const auto& [change, expected] : cases) {
    fake_engine::Reset();
    Answer(10, 9, {{0, 0, change, {}}});
    EXPECT_EQ(ProcessOne(ALERT_CONFIG).alerts, (std::vector<Alert>{{VX_CODE_READY, "Ready"}}));
    EXPECT_EQ(listQueries(), expected) << int(change);
  }
  // A refreshed list serves the next report.
  fake_engine::SetReply(kPrinter, 18, fake_engine::InputAnswer({{4, "Drawer"}}));
  Answer(10, 9, {{0, 0, 0x01, {}}});
  ProcessOne(ALERT_CONFIG);
  EXPECT_EQ(engine_->printerList.InputName(kPrinter, 4), "Drawer");
}

TEST_F(AlertEngineTest, AnswersThatLieAboutTheirLengthAreReadOnlyWithinTheBuffer) {
  // Claims far more bytes than the buffer holds: read within the 323 bytes.
  fake_engine::SetReply(kPrinter, 4, fake_engine::StatusAnswer(3, {{0x0A, 3, 0, {}}}), 100000);
  EXPECT_EQ(ProcessOne(ALERT_INPUT).alerts, (std::vector<Alert>{{2, "Paper Input Low - Dual Feeder 1"}}));
  // Claims fewer bytes than the entry needs, or none at all.
  fake_engine::SetReply(kPrinter, 4, fake_engine::StatusAnswer(3, {{0x0A, 3, 0, {}}}), 5);
  EXPECT_EQ(ProcessOne(ALERT_INPUT).alerts, (std::vector<Alert>{{VX_CODE_READY, "Ready"}}));
  fake_engine::SetReply(kPrinter, 4, fake_engine::StatusAnswer(3, {{0x0A, 3, 0, {}}}), 0);
  EXPECT_EQ(ProcessOne(ALERT_INPUT).alerts, (std::vector<Alert>{{VX_CODE_READY, "Ready"}}));
  // An answer with a count of 255 entries and a lying extra length.
  fake_engine::Bytes lying = fake_engine::StatusAnswer(3, {{0x0A, 3, 0, {}}, {0x0A, 4, 0, {}}});
  lying[1] = 255;
  lying[2 + 4 + 3] = 200;
  fake_engine::SetReply(kPrinter, 4, lying);
  EXPECT_EQ(ProcessOne(ALERT_INPUT).alerts, (std::vector<Alert>{{2, "Paper Input Low - Dual Feeder 1"}}));
}

TEST_F(AlertEngineTest, MessagesCoalescePerPrinterUntilTheWorkerTakesThem) {
  AlertEngine& engine = *engine_;
  HandleCaptureMessage(engine, WM_VX_ALERTS, kPrinter, ALERT_INPUT);
  HandleCaptureMessage(engine, WM_VX_ALERTS, 11, ALERT_OUTPUT);
  EXPECT_EQ(HandleCaptureMessage(engine, WM_VX_ALERTS, kPrinter, ALERT_PAPER_JAM), 1);
  EXPECT_EQ(HandleCaptureMessage(engine, WM_VX_COMM_LOST, kPrinter, 0), 1);
  HandleCaptureMessage(engine, WM_VX_COMM_RESTORED, 12, 0);
  EXPECT_TRUE(engine.workEvent.IsSignalled());
  PendingEntry taken;
  ASSERT_TRUE(engine.pendingList.TakeFirst(taken));
  EXPECT_EQ(taken.printerId, kPrinter);
  EXPECT_EQ(taken.alertMask, ALERT_PAPER_JAM);
  EXPECT_EQ(taken.commState, kCommLost);
  ASSERT_TRUE(engine.pendingList.TakeFirst(taken));
  EXPECT_EQ(taken.printerId, 11);
  EXPECT_EQ(taken.alertMask, ALERT_OUTPUT);
  ASSERT_TRUE(engine.pendingList.TakeFirst(taken));
  EXPECT_EQ(taken.printerId, 12);
  EXPECT_EQ(taken.alertMask, 0u);
  EXPECT_EQ(taken.commState, kCommRestored);
  EXPECT_FALSE(engine.pendingList.TakeFirst(taken));
  // Printer ids are 16-bit: the upper bits of wParam do not make a new printer.
  HandleCaptureMessage(engine, WM_VX_ALERTS, 0x10000 + kPrinter, ALERT_INPUT);
  HandleCaptureMessage(engine, WM_VX_ALERTS, kPrinter, ALERT_OUTPUT);
  EXPECT_EQ(engine.pendingList.Size(), 1u);
  EXPECT_FALSE(engine.quitEvent.IsSignalled());
  HandleCaptureMessage(engine, platform::WM_DESTROY, 0, 0);
  EXPECT_TRUE(engine.quitEvent.IsSignalled());
}

TEST_F(AlertEngineTest, ADatabaseGoneAfterInitLeavesOnlyPseudoAlerts) {
  engine_->Configure(EngineSettings{report_collector::Callback, database_.Path() + ".gone", kApplication});
  Answer(4, 3, {{0x0A, 0x03, 0x00, {}}});
  EXPECT_EQ(ProcessOne(ALERT_INPUT | ALERT_OFFLINE).alerts, (std::vector<Alert>{{VX_CODE_OFFLINE, "Offline"}}));
}

TEST_F(AlertEngineTest, TheWorkerReportsPendingEntriesAndEndsWhenTheWindowGoes) {
  ASSERT_TRUE(engine_->StartWorker());
  ASSERT_TRUE(engine_->StartWorker());
  {
    CaptureWindow window(engine_);
    const platform::WindowHandle handle = window.Create();
    ASSERT_NE(handle, nullptr);
    ASSERT_TRUE(platform::PostMessage(handle, WM_VX_ALERTS, kPrinter, ALERT_OFFLINE));
    ASSERT_TRUE(report_collector::WaitForReports(1, [] {
      platform::Message message;
      while (platform::PeekMessage(message)) platform::DispatchMessage(message);
    }));
    EXPECT_TRUE(engine_->IsWorkerRunning());
  }
  // Letting go of the window object (as unloading does) ends the worker.
  EXPECT_EQ(engine_->WaitForWorker(10000), std::optional<std::uint32_t>(kWorkerExitCode));
  EXPECT_EQ(report_collector::Reports().size(), 1u);
}

TEST(LocationList, AddReplacesTheNameOfAKnownKey) {
  LocationList list;
  list.Add(3, "Tray");
  list.Add(4, "");
  list.Add(3, "Big Tray");
  EXPECT_EQ(list.Size(), 2u);
  EXPECT_EQ(list.Name(3), "Big Tray");
  EXPECT_EQ(list.Name(4), "");
  EXPECT_EQ(list.Name(5), "");
}

}  // namespace
}  // namespace vigilix
