// The exported C functions serve the fleet that KORBCE_FLEET names and log to
// KORBCE_LOG. They share the process's one engine, so one test covers them.

#include <gtest/gtest.h>

#include "bce/bce.h"
#include "engine_fixture.h"
#include "platform/environment.h"
#include "vigilix/vigilix.h"

namespace korbce {
namespace {

std::vector<std::uint16_t> enumerated;

std::uint16_t RecordId(const std::uint8_t* record) {
  enumerated.push_back(ReadLe16(record + PrinterEnumRecordLayout::kEnumPrinterId));
  return 1;
}

class ExportedFunctionsTest : public EngineFixture {};

TEST_F(ExportedFunctionsTest, TheProcessEngineServesTheFleetOfTheEnvironment) {
  WriteFleet("[Printer a]\nId = 3\nClasses = 2\nModel = Korvane\nInput = 03:0A0300\n");
  ASSERT_TRUE(platform::SetEnvironmentVariable("KORBCE_FLEET", fleetPath_));
  ASSERT_TRUE(platform::SetEnvironmentVariable("KORBCE_LOG", logPath_));

  NotificationWindow window;
  const std::int16_t application = BceRegisterApp(window.Handle());
  ASSERT_GE(application, 1);
  EXPECT_EQ(BceEnumPrinters(application, 0x80000002, RecordId), 0);
  EXPECT_EQ(enumerated, std::vector<std::uint16_t>{3});
  std::uint8_t reply[323];
  std::uint32_t length = sizeof reply;
  EXPECT_EQ(BceSendBidi(application, 3, 0, 16, reply, &length, nullptr, 0), 0);
  EXPECT_EQ(length, 35u + 8u);
  EXPECT_STREQ(reinterpret_cast<const char*>(reply + 35), "Korvane");

  ALERTS alerts{0x1FF};
  const std::uint64_t roundsBefore = BceCheckRounds();
  EXPECT_EQ(BceMonitorPrinter(application, 0xFFFF, 1, 1), 0);
  EXPECT_EQ(BceCaptureAlerts(application, 3, &alerts, window.Handle(), 0), 0);
  EXPECT_EQ(window.WaitFor(1, std::chrono::seconds(5)), (std::vector<Notification>{{WM_VX_ALERTS, 3, ALERT_INPUT}}));
  WriteFleet("[Printer a]\nId = 3\nOnline = No\n");
  EXPECT_EQ(window.WaitFor(1, std::chrono::seconds(5)), (std::vector<Notification>{{WM_VX_COMM_LOST, 3, 0}}));
  // The notifications came from the engine's thread, which counts its rounds.
  EXPECT_GT(BceCheckRounds(), roundsBefore);

  EXPECT_THAT(Log(), ::testing::StartsWith("BceRegisterApp window=\"korbce test\" -> " + std::to_string(application) +
                                           "\nBceEnumPrinters app=" + std::to_string(application) +
                                           " mask=0x80000002 -> 0\nBceSendBidi "));
}

}  // namespace
}  // namespace korbce
