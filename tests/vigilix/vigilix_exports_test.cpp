// The exports end to end: the window, the worker and the callback, with the
// fake engine and the shipped printer database.

#include "vigilix/vigilix.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <chrono>
#include <thread>

#include "bce/bce.h"
#include "messages/window.h"
#include "tests/vigilix/fake_engine.h"
#include "tests/vigilix/report_collector.h"
#include "vigilix/capture_window.h"
#include "vigilix/library.h"

namespace {

using report_collector::Alert;

constexpr std::int16_t kApplication = 3;

// Dispatches the messages waiting for this thread's windows.
void Pump() {
  platform::Message message;
  while (platform::PeekMessage(message)) platform::DispatchMessage(message);
}

template <class Condition>
bool PumpUntil(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

class VigilixExports : public testing::Test {
 protected:
  void SetUp() override {
    fake_engine::Reset();
    report_collector::Clear();
    window_ = VXCreate();
    ASSERT_NE(window_, nullptr);
    ASSERT_EQ(VXInit(report_collector::Callback, kApplication, 0), 1);
  }
  void TearDown() override { report_collector::Release(); }

  void Register(std::uint16_t printer, std::uint8_t deviceClass, const std::string& model) {
    fake_engine::SetReply(printer, 86, fake_engine::ClassAnswer(deviceClass));
    fake_engine::SetReply(printer, 16, fake_engine::ModelAnswer(model));
    ASSERT_EQ(VXRegisterPrinter(printer, &alerts_), 1);
  }

  platform::WindowHandle window_ = nullptr;
  ALERTS alerts_{0x1FF};
};

TEST_F(VigilixExports, WorkedExampleThroughTheWindowTheWorkerAndTheCallback) {
  EXPECT_EQ(platform::GetWindowTitle(window_), "Vigilix Window");
  EXPECT_EQ(platform::GetWindowStyle(window_), 0x28000000u);
  EXPECT_EQ(VXCreate(), window_);
  Register(20, 255, "KX-100");
  const auto captures = fake_engine::CaptureCalls();
  ASSERT_EQ(captures.size(), 1u);
  EXPECT_EQ(captures[0].application, kApplication);
  EXPECT_EQ(captures[0].printer, 20);
  EXPECT_EQ(captures[0].alerts, &alerts_);
  EXPECT_EQ(captures[0].window, window_);
  EXPECT_EQ(fake_engine::BidiCommands(20), (std::vector<std::uint32_t>{86, 16, 18, 19}));
  EXPECT_EQ(fake_engine::BidiCalls()[0].request, (fake_engine::Bytes{0x00, 0xB2}));

  fake_engine::SetReply(20, 4, {0x03, 0x01, 0x0A, 0x03, 0x00, 0x00});
  ASSERT_TRUE(platform::PostMessage(window_, WM_VX_ALERTS, 20, ALERT_INPUT));
  ASSERT_TRUE(report_collector::WaitForReports(1, Pump));
  const auto reports = report_collector::Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].printer, 20);
  EXPECT_EQ(reports[0].model, "KX-100");
  EXPECT_EQ(reports[0].alerts, (std::vector<Alert>{{2, "Paper Input Low - Dual Feeder 1"}}));
  EXPECT_TRUE(report_collector::SizesAlwaysMatched());

  platform::PostMessage(window_, WM_VX_COMM_LOST, 20, 0);
  ASSERT_TRUE(report_collector::WaitForReports(2, Pump));
  EXPECT_EQ(report_collector::Reports()[1].alerts,
            (std::vector<Alert>{{VX_CODE_COMM_LOST, "Printer Not Communicating"}}));
}

TEST_F(VigilixExports, RegisteringAgainUpdatesTheEntry) {
  vigilix::PrinterStateList& printers = vigilix::LibraryEngine().printerList;
  fake_engine::SetReply(21, 18, fake_engine::InputAnswer({{1, "Cassette"}}));
  Register(21, 1, "First");
  const std::size_t size = printers.Size();
  fake_engine::ClearReply(21, 18);
  fake_engine::SetReply(21, 19, fake_engine::OutputAnswer({{2, "Tray Top"}}));
  Register(21, 5, "Second");
  EXPECT_EQ(printers.Size(), size);
  EXPECT_EQ(printers.PrinterFacts(21).model, "Second");
  EXPECT_EQ(printers.PrinterFacts(21).deviceClass, 5);
  // The lists keep what the printer said before when it stops answering.
  EXPECT_EQ(printers.InputName(21, 1), "Cassette");
  EXPECT_EQ(printers.OutputName(21, 2), "Tray Top");

  // No answers at all: class 255 and an empty model, still registered.
  fake_engine::Reset();
  EXPECT_EQ(VXRegisterPrinter(21, &alerts_), 1);
  EXPECT_EQ(printers.PrinterFacts(21).model, "");
  EXPECT_EQ(printers.PrinterFacts(21).deviceClass, 255);
  // A caller's class is kept and its data spares the model query.
  std::uint8_t data[4] = {};
  EXPECT_EQ(VXRegisterPrinter(21, 7, data, &alerts_), 1);
  EXPECT_EQ(printers.PrinterFacts(21).deviceClass, 7);
  EXPECT_EQ(fake_engine::BidiCommands(21), (std::vector<std::uint32_t>{86, 16, 18, 19, 18, 19}));

  // The engine refuses the capture: nothing is added or updated.
  fake_engine::SetCaptureResult(5);
  EXPECT_EQ(VXRegisterPrinter(22, &alerts_), 0);
  EXPECT_EQ(VXRegisterPrinter(21, 3, nullptr, &alerts_), 0);
  EXPECT_EQ(printers.PrinterFacts(22).deviceClass, 255);
  EXPECT_EQ(printers.PrinterFacts(21).deviceClass, 7);
  EXPECT_EQ(printers.Size(), size);
}

TEST_F(VigilixExports, InitAsksForMonitoringOnlyWithAnInterval) {
  EXPECT_TRUE(fake_engine::MonitorCalls().empty());
  ASSERT_EQ(VXInit(report_collector::Callback, kApplication, 30), 1);
  const auto calls = fake_engine::MonitorCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].application, kApplication);
  EXPECT_EQ(calls[0].printer, 0xFFFF);
  EXPECT_EQ(calls[0].mode, 1u);
  EXPECT_EQ(calls[0].seconds, 30u);
  EXPECT_EQ(VXInit(nullptr, kApplication, 30), 0);
  EXPECT_EQ(fake_engine::MonitorCalls().size(), 1u);
}

TEST_F(VigilixExports, AFloodWhileTheCallbackIsSlowCoalescesPerPrinter) {
  report_collector::Hold();
  platform::PostMessage(window_, WM_VX_ALERTS, 30, 0);
  ASSERT_TRUE(PumpUntil([] { return report_collector::CallsStarted() == 1; }));
  for (int i = 0; i < 2000; ++i) {
    platform::PostMessage(window_, WM_VX_ALERTS, 30 + i % 2, ALERT_INPUT);
    if (i % 100 == 0) Pump();
  }
  platform::PostMessage(window_, WM_VX_ALERTS, 30, 0);
  platform::PostMessage(window_, WM_VX_ALERTS, 31, ALERT_OFFLINE);
  Pump();
  EXPECT_EQ(vigilix::LibraryEngine().pendingList.Size(), 2u);
  report_collector::Release();
  ASSERT_TRUE(report_collector::WaitForReports(3, Pump));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  Pump();
  const auto reports = report_collector::Reports();
  ASSERT_EQ(reports.size(), 3u);
  EXPECT_EQ(reports[1].printer, 30);
  EXPECT_EQ(reports[1].alerts, (std::vector<Alert>{{VX_CODE_READY, "Ready"}}));
  EXPECT_EQ(reports[2].printer, 31);
  EXPECT_EQ(reports[2].alerts, (std::vector<Alert>{{VX_CODE_OFFLINE, "Offline"}}));
  EXPECT_EQ(report_collector::MaxConcurrentCalls(), 1);
}

std::atomic<int> otherCalls{0};
std::uint16_t OtherCallback(_VIGILIX_RETURN* report) {
  if (report->wAlertCount >= 1 && report->pAlerts[0].pszText != nullptr) ++otherCalls;
  return 0;
}

TEST_F(VigilixExports, InitAgainWhileTheWorkerDecodesSwapsTheCallbackWhole) {
  otherCalls = 0;
  fake_engine::SetReply(40, 4, {0x03, 0x01, 0x0A, 0x03, 0x00, 0x00});
  std::atomic<bool> stop{false};
  std::thread reinit([&] {
    for (int i = 0; !stop; ++i)
      VXInit(i % 2 ? OtherCallback : report_collector::Callback, kApplication, 0);
  });
  constexpr int kNotifications = 200;
  for (int i = 0; i < kNotifications; ++i) {
    platform::PostMessage(window_, WM_VX_ALERTS, 40 + i % 3, ALERT_INPUT);
    Pump();
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  stop = true;
  reinit.join();
  ASSERT_EQ(VXInit(report_collector::Callback, kApplication, 0), 1);
  // One last notification per printer lands at the collector.
  const std::size_t before = report_collector::Reports().size();
  for (std::uint16_t printer = 40; printer < 43; ++printer)
    platform::PostMessage(window_, WM_VX_ALERTS, printer, ALERT_OFFLINE);
  ASSERT_TRUE(PumpUntil([&] {
    const auto reports = report_collector::Reports();
    std::set<int> printers;
    for (std::size_t i = before; i < reports.size(); ++i)
      if (reports[i].alerts == std::vector<Alert>{{VX_CODE_OFFLINE, "Offline"}}) printers.insert(reports[i].printer);
    return printers.size() == 3;
  }));
  EXPECT_GT(report_collector::Reports().size() + otherCalls, 3u);
  EXPECT_EQ(report_collector::MaxConcurrentCalls(), 1);
  EXPECT_TRUE(report_collector::SizesAlwaysMatched());
}

TEST_F(VigilixExports, DestroyingTheWindowEndsTheWorkerWithItsExitCode) {
  ASSERT_TRUE(platform::DestroyWindow(window_));
  EXPECT_EQ(vigilix::LibraryWindow().Handle(), nullptr);
  EXPECT_EQ(vigilix::LibraryEngine().WaitForWorker(10000), std::optional<std::uint32_t>(777));
  // A new window and VXInit bring a new worker.
  window_ = VXCreate();
  ASSERT_NE(window_, nullptr);
  ASSERT_EQ(VXInit(report_collector::Callback, kApplication, 0), 1);
  EXPECT_TRUE(vigilix::LibraryEngine().IsWorkerRunning());
  platform::PostMessage(window_, WM_VX_ALERTS, 50, ALERT_OFFLINE);
  ASSERT_TRUE(report_collector::WaitForReports(1, Pump));
  EXPECT_EQ(report_collector::Reports()[0].printer, 50);
}

}  // namespace
