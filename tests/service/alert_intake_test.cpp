// The alert callback: reports compared with the active alerts, and the events
// that reach the queue.

#include "service/alert_intake.h"

#include <gtest/gtest.h>

#include <vector>

#include "service/alert_key.h"

namespace {

using Strings = std::vector<std::string>;

PrinterEnumRecord Printer(std::uint16_t id) {
  PrinterEnumRecord record;
  const std::uint8_t mac[] = {0x00, 0x80, 0xA1, 0xB2, 0xC3, 0x0D};
  std::copy(std::begin(mac), std::end(mac), record.bytes.begin() + PrinterEnumRecordLayout::kMacAddress);
  WriteLe16(record.bytes.data() + PrinterEnumRecordLayout::kEnumPrinterId, id);
  WriteLe16(record.bytes.data() + PrinterEnumRecordLayout::kPortType, 1);
  return record;
}

// One report built from (code, text) pairs.
class Report {
 public:
  Report(std::uint16_t printer, std::vector<std::pair<std::int32_t, std::string>> entries, std::string model = "Laser")
      : model_(std::move(model)), texts_(entries.size()) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
      texts_[i] = entries[i].second;
      entries_.push_back({entries[i].first, texts_[i].data(), static_cast<std::uint32_t>(texts_[i].size() + 1)});
    }
    report_ = {printer, model_.data(), static_cast<std::uint32_t>(model_.size() + 1),
               static_cast<std::uint16_t>(entries_.size()), entries_.data()};
  }
  _VIGILIX_RETURN* Get() { return &report_; }

 private:
  std::string model_;
  std::vector<std::string> texts_;
  std::vector<ALERT_ENTRY> entries_;
  _VIGILIX_RETURN report_{};
};

class AlertIntakeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    table_.AddOrUpdate(Printer(7));
    table_.AddOrUpdate(Printer(8));
    BindAlertCallback(&table_, &queue_);
  }
  void TearDown() override { BindAlertCallback(nullptr, nullptr); }

  // Sends a report through the callback; returns the events it queued, in the
  // order the sender takes them, as "severity msg" pairs.
  Strings Deliver(Report report) {
    EXPECT_EQ(AlertCallback(report.Get()), 0);
    EXPECT_TRUE(queue_.QueueEvent().IsSignalled());
    Strings events;
    queue_.Drain([&](const std::string& event) { events.push_back(Summary(event)); });
    return events;
  }
  static std::string Summary(const std::string& event) {
    const std::size_t severity = event.find(";severity=") + 10;
    const std::size_t msg = event.find(";msg='", severity);
    return event.substr(severity, msg - severity) + " " + event.substr(msg + 6, event.find("';printer_address") - msg - 6);
  }
  Strings Active(std::uint16_t printer) {
    Strings keys;
    table_.ForEachRecordOf(printer, [&](PrinterRecord& record) { keys.assign(record.activeAlerts.begin(), record.activeAlerts.end()); });
    return keys;
  }

  PrinterTable table_;
  EventQueue queue_;
};

TEST_F(AlertIntakeTest, NewRepeatedChangedAndResolvedAlerts) {
  EXPECT_EQ(Deliver(Report(7, {{3, "Paper Jam"}, {2, "Toner Low"}})), (Strings{"MINOR Paper Jam", "WARNING Toner Low"}));
  EXPECT_EQ(Active(7), (Strings{"Toner Low;-;2", "Paper Jam;-;3"}));
  EXPECT_EQ(table_.GetPrinterModel(7), "Laser");
  EXPECT_EQ(Deliver(Report(7, {{2, "Toner Low"}, {3, "Paper Jam"}})), Strings{});
  // Same text, new code: the old alert is resolved and the new one raised.
  EXPECT_EQ(Deliver(Report(7, {{3, "Paper Jam"}, {4, "Toner Low"}})),
            (Strings{"CRITICAL Toner Low", "WARNING Toner Low(Resolved)"}));
  EXPECT_EQ(Deliver(Report(7, {{-2000, "Ready"}})),
            (Strings{"CRITICAL Toner Low(Resolved)", "MINOR Paper Jam(Resolved)"}));
  EXPECT_TRUE(Active(7).empty());
  EXPECT_TRUE(Active(8).empty());
}

TEST_F(AlertIntakeTest, OfflineReadyAndCommunicationChanges) {
  EXPECT_EQ(Deliver(Report(7, {{-2000, "Ready"}})), Strings{});  // online at start
  EXPECT_EQ(Deliver(Report(7, {{-1000, "Offline"}})), (Strings{"WARNING Offline"}));
  EXPECT_EQ(Deliver(Report(7, {{-1000, "Offline"}})), Strings{});
  EXPECT_EQ(Deliver(Report(7, {{-2000, "Ready"}})), (Strings{"WARNING Ready"}));
  // Both in one report: the state before the report decides, one toggle.
  EXPECT_EQ(Deliver(Report(7, {{-2000, "Ready"}, {-1000, "Offline"}})), (Strings{"WARNING Offline"}));
  EXPECT_EQ(table_.IsOffline(7), 1);

  EXPECT_EQ(Deliver(Report(8, {{-3000, "Printer Not Communicating"}})), (Strings{"WARNING Printer Not Communicating"}));
  EXPECT_EQ(Deliver(Report(8, {{-3000, "Printer Not Communicating"}})), Strings{});
  EXPECT_EQ(Deliver(Report(8, {{-4000, "Printer Communication Restored"}})),
            (Strings{"HARMLESS Printer Communication Restored"}));
  EXPECT_TRUE(Active(8).empty());
}

TEST_F(AlertIntakeTest, EventsLeaveInTheOrderTheyWereComposedAcrossReports) {
  ASSERT_EQ(AlertCallback(Report(7, {{3, "A"}, {3, "B"}}).Get()), 0);
  ASSERT_EQ(AlertCallback(Report(8, {{-1000, "Offline"}, {5, "C"}}).Get()), 0);
  // A jam and its end, both reported before the sender drains the queue.
  ASSERT_EQ(AlertCallback(Report(7, {{3, "A"}, {3, "B"}, {4, "Jam"}}).Get()), 0);
  ASSERT_EQ(AlertCallback(Report(7, {{3, "A"}, {3, "B"}}).Get()), 0);
  Strings events;
  queue_.Drain([&](const std::string& event) { events.push_back(Summary(event)); });
  EXPECT_EQ(events, (Strings{"MINOR A", "MINOR B", "WARNING Offline", "FATAL C", "CRITICAL Jam",
                             "CRITICAL Jam(Resolved)"}));
}

TEST_F(AlertIntakeTest, EventsCarryThePrinterAndOddTextsStayInTheirValue) {
  ASSERT_EQ(AlertCallback(Report(7, {{2, "Tray 'A';-;5 empty"}}, "Model\x01X").Get()), 0);
  EXPECT_EQ(queue_.Front(),
            "Korvane_Printer_Alert;source=Korvane_Printers;severity=WARNING;msg='Tray ''A'';-;5 empty';"
            "printer_address='0080A1B2C30D';printer_model='ModelX';origin='';hostname='';"
            "port_attachment='Parallel 1';adapter_product='';END\n\x01");
  EXPECT_EQ(Deliver(Report(7, {{120, "Odd"}})),
            (Strings{"WARNING Tray ''A'';-;5 empty", "UNKNOWN Odd", "WARNING Tray ''A'';-;5 empty(Resolved)"}));
}

TEST_F(AlertIntakeTest, UnknownPrintersAndEmptyReportsOnlyWakeTheSender) {
  EXPECT_EQ(Deliver(Report(99, {{3, "Paper Jam"}})), Strings{});
  EXPECT_EQ(AlertCallback(nullptr), 0);
  EXPECT_TRUE(queue_.QueueEvent().IsSignalled());
  BindAlertCallback(nullptr, nullptr);
  queue_.QueueEvent().Reset();
  EXPECT_EQ(AlertCallback(Report(7, {{3, "Paper Jam"}}).Get()), 0);
  EXPECT_TRUE(queue_.Empty());
}

}  // namespace
