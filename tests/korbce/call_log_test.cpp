// The call log: one line per call, arguments in order, then the result.

#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "vigilix/vigilix.h"

namespace korbce {
namespace {

std::uint16_t IgnoreRecord(const std::uint8_t*) { return 1; }
void IgnoreReply(const std::uint8_t*, std::uint32_t) {}

class CallLogTest : public EngineFixture {};

TEST_F(CallLogTest, EveryCallAppendsOneLineWithItsArgumentsAndResult) {
  WriteFleet(
      "[Printer a]\nId = 3\nIp = 127.0.0.1\nClasses = 2\nSpoolerPort = LPT1:\nClass = 7\n"
      "[Printer b]\nId = 4\nOnline = No\n");
  StartEngine(0, true);
  NotificationWindow window;
  ALERTS alerts{0x1FF};
  std::uint8_t block[680] = {};
  std::uint8_t reply[323];
  std::uint32_t length = sizeof reply;
  const std::uint8_t request[] = {0x00, 0xB2};
  const std::uint8_t subnets[] = {1, 0, 0, 0, 10, 0, 1, 0};
  const std::uint8_t netInfo[] = {17, 0, 0, 0, 0xAB};

  engine_->RegisterApp(window.Handle());
  engine_->EnumPrinters(1, 0x80000002, IgnoreRecord);
  engine_->EnumSpecificPort(1, 0xFFF, "LPT1:", IgnoreRecord);
  engine_->GetPrinterAddrEx(3, 0, block, 2);
  engine_->GetPrinterAddrEx(9, 0, block, 2);
  engine_->ExchangeNetInfo(0xFFFF, 2, 24, subnets, sizeof subnets, 0, 0, IgnoreReply);
  engine_->SetNetInfo(0xFFFF, 2, 2, netInfo, sizeof netInfo);
  engine_->MonitorPrinter(1, 0xFFFF, 1, 30);
  engine_->CaptureAlerts(1, 3, &alerts, window.Handle(), 0);
  engine_->SendBidi(1, 3, 0, 86, reply, &length, request, sizeof request);
  length = sizeof reply;
  engine_->SendBidi(1, 4, 0, 4, reply, &length, nullptr, 0);
  engine_->CheckFleet();

  EXPECT_EQ(Log(),
            "BceRegisterApp window=\"korbce test\" -> 1\n"
            "BceEnumPrinters app=1 mask=0x80000002 -> 0\n"
            "BceEnumSpecificPort app=1 classes=0xFFF port=\"LPT1:\" -> 0\n"
            "BceGetPrinterAddrEx printer=3 reserved=0 block=\"127.0.0.1\" kind=2 -> 0\n"
            "BceGetPrinterAddrEx printer=9 reserved=0 block=\"\" kind=2 -> 2\n"
            "BceExchangeNetInfo target=0xFFFF protocol=2 request=24 buffer=010000000A000100 length=8 reserved1=0 "
            "reserved2=0 -> 0\n"
            "BceSetNetInfo target=0xFFFF protocol=2 kind=2 block=11000000AB length=5 -> 0\n"
            "BceMonitorPrinter app=1 printer=65535 mode=1 seconds=30 -> 0\n"
            "BceCaptureAlerts app=1 printer=3 categories=0x1FF window=\"korbce test\" reserved=0 -> 0\n"
            "BceSendBidi app=1 printer=3 reserved=0 command=86 reply=0000000007 replyLength=5 request=00B2 "
            "requestLength=2 -> 0\n"
            "BceSendBidi app=1 printer=4 reserved=0 command=4 reply= replyLength=323 request= requestLength=0 -> 3\n");
}

TEST_F(CallLogTest, TextsStayOnOneLineAndAnUnwritableLogIsReportedOnce) {
  EXPECT_EQ(CallLine("F").Text("t", "a\"b\\c\nd").Text("n", nullptr).Bytes("b", nullptr, 3).Finish(-1),
            "F t=\"a\\\"b\\\\c\\x0Ad\" n=null b=null -> -1\n");

  WriteFleet("[Printer a]\nId = 3\n");
  logPath_ = (directory_ / "missing" / "calls.log").string();
  StartEngine(0, true);
  EXPECT_EQ(engine_->MonitorPrinter(1, 0xFFFF, 1, 30), 0);
  EXPECT_EQ(engine_->MonitorPrinter(1, 0xFFFF, 1, 30), 0);
  const std::string trace = Trace();
  const std::string report = "korbce: cannot append to the call log " + logPath_;
  EXPECT_NE(trace.find(report), std::string::npos);
  EXPECT_EQ(trace.find(report), trace.rfind(report));
}

}  // namespace
}  // namespace korbce
