// Notifications posted after fleet edits, and communication monitoring.

#include <gtest/gtest.h>

#include <atomic>

#include "engine_fixture.h"
#include "vigilix/vigilix.h"

namespace korbce {
namespace {

using Notifications = std::vector<Notification>;

std::string Printer(int id, std::string_view keys = "") {
  return "[Printer " + std::to_string(id) + "]\nId = " + std::to_string(id) + "\n" + std::string(keys);
}

Notification Alerts(platform::WParam printer, platform::LParam mask) { return {WM_VX_ALERTS, printer, mask}; }
Notification Lost(platform::WParam printer) { return {WM_VX_COMM_LOST, printer, 0}; }
Notification Restored(platform::WParam printer) { return {WM_VX_COMM_RESTORED, printer, 0}; }

class NotificationTest : public EngineFixture {
 protected:
  // Writes the fleet and runs one check, as the engine's thread would.
  Notifications AfterEdit(const std::string& fleet, NotificationWindow& window) {
    WriteFleet(fleet);
    engine_->CheckFleet();
    return window.Take();
  }

  NotificationWindow window_;
  ALERTS alerts_{0x1FF};
};

TEST_F(NotificationTest, TheFirstReportComesAtTheNextCheckAfterTheCaptureRequest) {
  WriteFleet(Printer(3, "Paper Jam = 05:0A0300\nOffline = Yes\n"));
  StartEngine();
  EXPECT_NE(engine_->CaptureAlerts(1, 9, &alerts_, window_.Handle(), 0), 0) << "not in the fleet";
  EXPECT_NE(engine_->CaptureAlerts(1, 3, nullptr, window_.Handle(), 0), 0);
  EXPECT_NE(engine_->CaptureAlerts(1, 3, &alerts_, nullptr, 0), 0);
  ASSERT_EQ(engine_->CaptureAlerts(1, 3, &alerts_, window_.Handle(), 0), 0);
  EXPECT_EQ(window_.Take(), Notifications{});
  engine_->CheckFleet();
  EXPECT_EQ(window_.Take(), Notifications{Alerts(3, ALERT_PAPER_JAM | ALERT_OFFLINE)});
  engine_->CheckFleet();
  EXPECT_EQ(window_.Take(), Notifications{}) << "nothing changed";

  ASSERT_EQ(engine_->CaptureAlerts(1, 3, &alerts_, window_.Handle(), 0), 0);
  engine_->CheckFleet();
  EXPECT_EQ(window_.Take(), Notifications{Alerts(3, ALERT_PAPER_JAM | ALERT_OFFLINE)}) << "a new request reports again";
}

TEST_F(NotificationTest, MaskChangesAndEntryChangesWithinACategoryAreNotified) {
  WriteFleet(Printer(3) + Printer(4, "Input = 03:0A0300\n"));
  StartEngine();
  ASSERT_EQ(engine_->CaptureAlerts(1, 3, &alerts_, window_.Handle(), 0), 0);
  ASSERT_EQ(engine_->CaptureAlerts(1, 4, &alerts_, window_.Handle(), 0), 0);
  engine_->CheckFleet();
  EXPECT_EQ(window_.Take(), (Notifications{Alerts(3, 0), Alerts(4, ALERT_INPUT)}));

  const std::string four = Printer(4, "Input = 03:0A0300\n");
  EXPECT_EQ(AfterEdit(Printer(3, "Paper Jam = 05:0A0300\n") + four, window_), Notifications{Alerts(3, 0x4)});
  EXPECT_EQ(AfterEdit(Printer(3, "Paper Jam = 05:0B0300\n") + four, window_), Notifications{Alerts(3, 0x4)})
      << "another entry in the same category";
  EXPECT_EQ(AfterEdit(Printer(3, "Paper Jam = 05:0B0300,0A0300\n") + four, window_), Notifications{Alerts(3, 0x4)});
  EXPECT_EQ(AfterEdit(Printer(3, "Paper Jam = 06:0B0300,0A0300\n") + four, window_), Notifications{Alerts(3, 0x4)})
      << "another group";
  EXPECT_EQ(AfterEdit(Printer(3, "Paper Jam = 06:0B0300,0A0300\nModel = M\nClass = 2\n") + four, window_),
            Notifications{})
      << "nothing of the alerts changed";
  EXPECT_EQ(AfterEdit(Printer(3, "Paper Jam = 06:0B0300,0A0300\nOffline = Yes\n") + four, window_),
            Notifications{Alerts(3, 0x104)});
  EXPECT_EQ(AfterEdit(Printer(3, "Paper Jam = 06:\nOffline = No\n") + four, window_),
            Notifications{Alerts(3, 0)})
      << "a category without entries is not active";
  EXPECT_EQ(AfterEdit(Printer(3, "Printer Supplies = 0B:010101\n") + Printer(4), window_),
            (Notifications{Alerts(3, ALERT_SUPPLIES), Alerts(4, 0)}));
}

TEST_F(NotificationTest, CategoriesChangedByTheCallerApplyAtTheNextCheck) {
  WriteFleet(Printer(3, "Input = 03:0A0300\nPaper Jam = 05:0A0300\n"));
  StartEngine();
  ASSERT_EQ(engine_->CaptureAlerts(1, 3, &alerts_, window_.Handle(), 0), 0);
  engine_->CheckFleet();
  EXPECT_EQ(window_.Take(), Notifications{Alerts(3, ALERT_INPUT | ALERT_PAPER_JAM)});

  alerts_.dwCategories = 0x1FF & ~ALERT_PAPER_JAM;
  engine_->CheckFleet();
  EXPECT_EQ(window_.Take(), Notifications{Alerts(3, ALERT_INPUT)});
  EXPECT_EQ(AfterEdit(Printer(3, "Input = 03:0A0300\nPaper Jam = 05:0B0300\n"), window_), Notifications{})
      << "a change in a category not asked for";
  alerts_.dwCategories = 0x1FF;
  engine_->CheckFleet();
  EXPECT_EQ(window_.Take(), Notifications{Alerts(3, ALERT_INPUT | ALERT_PAPER_JAM)});
  alerts_.dwCategories = 0;
  engine_->CheckFleet();
  EXPECT_EQ(window_.Take(), Notifications{Alerts(3, 0)});
}

TEST_F(NotificationTest, MonitoringReportsPrintersThatStopAndResumeAnswering) {
  WriteFleet(Printer(3) + Printer(4));
  StartEngine();
  NotificationWindow unmonitored;
  ALERTS unmonitoredAlerts{0x1FF};
  EXPECT_EQ(engine_->MonitorPrinter(1, 0xFFFF, 1, 30), 0);
  ASSERT_EQ(engine_->CaptureAlerts(1, 3, &alerts_, window_.Handle(), 0), 0);
  ASSERT_EQ(engine_->CaptureAlerts(1, 4, &alerts_, window_.Handle(), 0), 0);
  ASSERT_EQ(engine_->CaptureAlerts(2, 3, &unmonitoredAlerts, unmonitored.Handle(), 0), 0);
  engine_->CheckFleet();
  EXPECT_EQ(window_.Take(), (Notifications{Alerts(3, 0), Alerts(4, 0)}));
  EXPECT_EQ(unmonitored.Take(), Notifications{Alerts(3, 0)});

  EXPECT_EQ(AfterEdit(Printer(3, "Online = No\n") + Printer(4), window_), Notifications{Lost(3)});
  std::uint8_t reply[323];
  std::uint32_t length = sizeof reply;
  EXPECT_NE(engine_->SendBidi(1, 3, 0, 4, reply, &length, nullptr, 0), 0);
  EXPECT_EQ(AfterEdit(Printer(3, "Online = No\nPaper Jam = 05:0A0300\n") + Printer(4), window_), Notifications{})
      << "a printer that does not answer tells nothing of its alerts";
  EXPECT_EQ(AfterEdit(Printer(3, "Paper Jam = 05:0A0300\n") + Printer(4), window_),
            (Notifications{Restored(3), Alerts(3, ALERT_PAPER_JAM)}));
  EXPECT_EQ(AfterEdit(Printer(3, "Paper Jam = 05:0A0300\n"), window_), Notifications{Lost(4)})
      << "a printer gone from the fleet no longer answers";
  EXPECT_EQ(unmonitored.Take(), Notifications{Alerts(3, ALERT_PAPER_JAM)});

  EXPECT_EQ(engine_->MonitorPrinter(1, 0xFFFF, 0, 30), 0);
  EXPECT_EQ(AfterEdit(Printer(3, "Paper Jam = 05:0A0300\nOnline = No\n") + Printer(4), window_), Notifications{});
  EXPECT_NE(engine_->MonitorPrinter(1, 0xFFFF, 7, 30), 0);
}

TEST_F(NotificationTest, CapturesAndMonitoringAreKeptByApplicationAndPrinter) {
  WriteFleet(Printer(3) + Printer(4));
  StartEngine();
  NotificationWindow replaced;
  ASSERT_EQ(engine_->CaptureAlerts(1, 4, &alerts_, replaced.Handle(), 0), 0);
  ASSERT_EQ(engine_->CaptureAlerts(1, 3, &alerts_, window_.Handle(), 0), 0);
  ASSERT_EQ(engine_->CaptureAlerts(1, 4, &alerts_, window_.Handle(), 0), 0);
  engine_->CheckFleet();
  EXPECT_EQ(window_.Take(), (Notifications{Alerts(3, 0), Alerts(4, 0)})) << "in the order of the printers";
  EXPECT_EQ(replaced.Take(), Notifications{}) << "a new request of the same application replaces the earlier";

  EXPECT_EQ(engine_->MonitorPrinter(1, 3, 1, 30), 0);
  EXPECT_EQ(engine_->MonitorPrinter(1, 3, 1, 30), 0);
  EXPECT_EQ(engine_->MonitorPrinter(2, 0xFFFF, 1, 30), 0) << "every printer, but of another application";
  EXPECT_EQ(AfterEdit(Printer(3, "Online = No\n") + Printer(4, "Online = No\n"), window_), Notifications{Lost(3)});
  EXPECT_EQ(AfterEdit(Printer(3) + Printer(4), window_), (Notifications{Restored(3), Alerts(3, 0)}));
  EXPECT_EQ(engine_->MonitorPrinter(1, 3, 0, 30), 0);
  EXPECT_EQ(AfterEdit(Printer(3, "Online = No\n") + Printer(4), window_), Notifications{})
      << "one stop ends a monitoring asked twice";
}

TEST_F(NotificationTest, APrinterSilentWhenCapturedIsReportedLostThenItsAlertsWhenItAnswers) {
  WriteFleet(Printer(3, "Online = No\nInput = 03:0A0300\n"));
  StartEngine();
  EXPECT_EQ(engine_->MonitorPrinter(1, 3, 1, 30), 0);
  ASSERT_EQ(engine_->CaptureAlerts(1, 3, &alerts_, window_.Handle(), 0), 0);
  engine_->CheckFleet();
  EXPECT_EQ(window_.Take(), Notifications{Lost(3)});
  EXPECT_EQ(AfterEdit(Printer(3, "Input = 03:0A0300\n"), window_),
            (Notifications{Restored(3), Alerts(3, ALERT_INPUT)}));
}

TEST_F(NotificationTest, MonitoringAskedWhileAPrinterIsSilentReportsItLostAtTheNextCheck) {
  WriteFleet(Printer(3));
  StartEngine();
  ASSERT_EQ(engine_->CaptureAlerts(1, 3, &alerts_, window_.Handle(), 0), 0);
  engine_->CheckFleet();
  EXPECT_EQ(window_.Take(), Notifications{Alerts(3, 0)});
  EXPECT_EQ(AfterEdit(Printer(3, "Online = No\n"), window_), Notifications{})
      << "unmonitored, a silent printer tells nothing";
  engine_->CheckFleet();
  EXPECT_EQ(engine_->MonitorPrinter(1, 3, 1, 30), 0);
  engine_->CheckFleet();
  EXPECT_EQ(window_.Take(), Notifications{Lost(3)}) << "though the printer's state is unchanged";
}

TEST_F(NotificationTest, TheEnginesOwnThreadChecksTheFleetFile) {
  WriteFleet(Printer(3));
  StartEngine(kDefaultCheckIntervalMs);
  EXPECT_EQ(engine_->MonitorPrinter(1, 0xFFFF, 1, 1), 0);
  const auto requested = std::chrono::steady_clock::now();
  ASSERT_EQ(engine_->CaptureAlerts(1, 3, &alerts_, window_.Handle(), 0), 0);
  const auto limit = std::chrono::seconds(5);
  EXPECT_EQ(window_.WaitFor(1, limit), Notifications{Alerts(3, 0)});
  EXPECT_GE(std::chrono::steady_clock::now() - requested, std::chrono::milliseconds(kDefaultCheckIntervalMs))
      << "the first report leaves the caller one check interval to register the printer";
  WriteFleet(Printer(3, "Output = 04:010203\n"));
  EXPECT_EQ(window_.WaitFor(1, limit), Notifications{Alerts(3, ALERT_OUTPUT)});
  WriteFleet(Printer(3, "Output = 04:010203\nOnline = No\n"));
  EXPECT_EQ(window_.WaitFor(1, limit), Notifications{Lost(3)});
  WriteFleet(Printer(3, "Output = 04:010203\n"));
  EXPECT_EQ(window_.WaitFor(2, limit), (Notifications{Restored(3), Alerts(3, ALERT_OUTPUT)}))
      << "the loss cleared what the printer had told; its unchanged state is told again";
}

TEST_F(NotificationTest, AWindowThatIsGoneIsLetGo) {
  WriteFleet(Printer(3));
  StartEngine();
  {
    NotificationWindow shortLived;
    ASSERT_EQ(engine_->CaptureAlerts(2, 3, &alerts_, shortLived.Handle(), 0), 0);
  }
  ASSERT_EQ(engine_->CaptureAlerts(1, 3, &alerts_, window_.Handle(), 0), 0);
  engine_->CheckFleet();
  EXPECT_EQ(window_.Take(), Notifications{Alerts(3, 0)});
}

}  // namespace
}  // namespace korbce
