// The alert-capture library, served by the engine: fleet edits become decoded
// alert reports.

#include <gtest/gtest.h>

#include "bce/bce.h"
#include "engine_fixture.h"
#include "platform/environment.h"
#include "vigilix/vigilix.h"

namespace korbce {
namespace {

struct Alert {
  std::int32_t code;
  std::string text;
  bool operator==(const Alert&) const = default;
};

struct Report {
  std::uint16_t printer;
  std::string model;
  std::vector<Alert> alerts;
};

std::mutex reportsMutex;
std::vector<Report> reports;

std::uint16_t CollectReport(_VIGILIX_RETURN* report) {
  Report copy{report->wPrinter, report->pszModel, {}};
  for (int i = 0; i < report->wAlertCount; ++i) {
    copy.alerts.push_back({report->pAlerts[i].nCode, report->pAlerts[i].pszText});
  }
  std::lock_guard lock(reportsMutex);
  reports.push_back(std::move(copy));
  return 1;
}

// Dispatches the library's window messages until a report has come.
std::optional<Report> NextReport() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    platform::Message message;
    while (platform::PeekMessage(message)) platform::DispatchMessage(message);
    {
      std::lock_guard lock(reportsMutex);
      if (!reports.empty()) {
        Report first = reports.front();
        reports.erase(reports.begin());
        return first;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return std::nullopt;
}

class VigilixIntegrationTest : public EngineFixture {};

TEST_F(VigilixIntegrationTest, FleetEditsReachTheCallbackAsDecodedAlerts) {
  const std::string printer = "[Printer Hall]\nId = 20\nClass = 1\nModel = KX-100\nInputs = 10:Upper Tray\n";
  WriteFleet(printer + "Input = 03:0A0300\n");
  ASSERT_TRUE(platform::SetEnvironmentVariable("KORBCE_FLEET", fleetPath_));

  const platform::WindowHandle window = VXCreate();
  ASSERT_NE(window, nullptr);
  const std::int16_t application = BceRegisterApp(window);
  ASSERT_GE(application, 1);
  ASSERT_EQ(VXInit(CollectReport, application, 1), 1);
  ALERTS alerts{0x1FF};
  ASSERT_EQ(VXRegisterPrinter(20, &alerts), 1);

  auto report = NextReport();
  ASSERT_TRUE(report);
  EXPECT_EQ(report->printer, 20);
  EXPECT_EQ(report->model, "KX-100");
  EXPECT_EQ(report->alerts, (std::vector<Alert>{{2, "Paper Input Low - Upper Tray"}}));

  WriteFleet(printer + "Online = No\n");
  report = NextReport();
  ASSERT_TRUE(report);
  EXPECT_EQ(report->alerts, (std::vector<Alert>{{VX_CODE_COMM_LOST, "Printer Not Communicating"}}));

  WriteFleet(printer + "Offline = Yes\n");
  report = NextReport();
  ASSERT_TRUE(report);
  std::vector<Alert> expected{{VX_CODE_OFFLINE, "Offline"}, {VX_CODE_COMM_RESTORED, "Printer Communication Restored"}};
  if (report->alerts.size() == 1) {  // the two notifications were taken one at a time
    EXPECT_EQ(report->alerts, std::vector<Alert>{expected[1]});
    report = NextReport();
    ASSERT_TRUE(report);
    expected.pop_back();
  }
  EXPECT_EQ(report->alerts, expected);
  platform::DestroyWindow(window);
}

}  // namespace
}  // namespace korbce
