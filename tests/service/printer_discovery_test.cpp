#include "service/printer_discovery.h"

#include <gtest/gtest.h>
#include "tests/support/scratch.h"

#include <string>
#include <vector>

#include "platform/file_io.h"
#include "platform/host_lookup.h"
#include "platform/spooler_ports.h"
#include "settings/settings_readers.h"
#include "tests/service/fake_engine.h"

namespace {

using fake_engine::FakeEngine;
using fake_engine::MakeNetInfoReply;
using fake_engine::MakePrinter;
using Numbers = std::vector<std::uint64_t>;
using Bytes = std::vector<std::uint8_t>;

constexpr std::int16_t kAppId = 42;

class PrinterDiscoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_.settingsPath = directory_ / "KorEvntS.ini";
    engine_.Reset();
    discovery_.SetApplicationId(kAppId);
    platform::SetReverseLookupForTesting([](std::uint32_t) { return std::optional<std::string>("printer.local"); });
  }
  void TearDown() override {
    platform::ClearSpoolerPortsForTesting();
    platform::SetReverseLookupForTesting({});
    engine_.Reset();
  }

  // Writes the settings file and reads what the caller of discovery reads.
  void UseSettings(const std::string& lines) {
    std::string content;
    for (char c : lines) content += c == '\n' ? std::string("\r\n") : std::string(1, c);
    ASSERT_TRUE(platform::WriteFileAtomically(settings_.settingsPath, content).ok());
    settings_.EnumerationMask = ReadEnumerationMask(settings_.settingsPath);
    settings_.onlyDefinedPorts = ReadEnumerateOnlyDefinedPorts(settings_.settingsPath);
  }

  bool Discover() { return discovery_.DiscoverPrinters(settings_.EnumerationMask); }

  Numbers EnumeratedMask() {
    auto calls = engine_.CallsTo("BceEnumPrinters");
    return calls.size() == 1 ? calls[0].numbers : Numbers{};
  }

  test_support::ScratchDirectory directory_{"printer-discovery-test"};
  AdapterSettings settings_;
  FakeEngine& engine_ = FakeEngine::Instance();
  PrinterTable table_;
  PrinterDiscovery discovery_{table_, settings_};
};

TEST_F(PrinterDiscoveryTest, EnumerationMaskReachesTheEngineUnchanged) {
  UseSettings(
      "[Printers To Be Enumerated]\nAll NetWare Printers=No\nAll TCP/IP Printers=No\nAll DLC Printers=No\n"
      "New Enumeration On Startup=No\n");
  EXPECT_TRUE(Discover());
  EXPECT_EQ(EnumeratedMask(), (Numbers{kAppId, 0}));

  engine_.Reset();
  UseSettings("[Printers To Be Enumerated]\nAll TCP/IP Printers=Yes\n");
  EXPECT_TRUE(Discover());
  EXPECT_EQ(EnumeratedMask(), (Numbers{kAppId, 0x80000002}));

  engine_.Reset();
  UseSettings("[Printers To Be Enumerated]\nAll Network Printers=Yes\nAll Local Printers=Yes\n");
  EXPECT_TRUE(Discover());
  EXPECT_EQ(EnumeratedMask(), (Numbers{kAppId, 0x80000BFF}));
  EXPECT_TRUE(engine_.CallsTo("BceEnumSpecificPort").empty());
}

TEST_F(PrinterDiscoveryTest, FoundPrintersFillTheTableAndTcpIpPrintersGetHostNames) {
  UseSettings("[Printers To Be Enumerated]\nAll TCP/IP Printers=Yes\n");
  engine_.printers = {MakePrinter(3, PROTOCOL_TCPIP, 1, 0), MakePrinter(8, 0, 0, 1),
                      MakePrinter(3, PROTOCOL_TCPIP_ALT, 16, 0)};
  engine_.addressTexts[3] = "127.0.0.1";
  EXPECT_TRUE(Discover());

  ASSERT_EQ(table_.Count(), 2u);
  EXPECT_EQ(table_.GetAdapterProductName(3), "Portova M2");  // the second record for id 3
  EXPECT_EQ(table_.GetIpAddressText(3), "127.0.0.1");
  EXPECT_EQ(table_.GetHostName(3), "printer.local");
  EXPECT_EQ(table_.GetPortName(8), "Parallel 1");
  EXPECT_EQ(table_.GetHostName(8), "");
  ASSERT_EQ(engine_.CallsTo("BceGetPrinterAddrEx").size(), 1u);
}

TEST_F(PrinterDiscoveryTest, FailedEnumerationReturnsFalseAndResolvesNothing) {
  UseSettings("[Printers To Be Enumerated]\nAll TCP/IP Printers=Yes\n");
  engine_.printers = {MakePrinter(3, PROTOCOL_TCPIP)};
  engine_.addressTexts[3] = "127.0.0.1";
  engine_.enumResult = 7;
  EXPECT_FALSE(Discover());
  EXPECT_TRUE(engine_.CallsTo("BceGetPrinterAddrEx").empty());
  EXPECT_EQ(table_.GetHostName(3), "");
}

TEST_F(PrinterDiscoveryTest, DefinedPortsAreEachAskedForEveryClass) {
  UseSettings(
      "[Printers To Be Enumerated]\nAll NetWare Printers=Yes\nAll TCP/IP Printers=No\nAll DLC Printers=Yes\n"
      "[Enumeration]\nEnumerate Only Defined Ports=Yes\n");
  platform::SetSpoolerPortsForTesting(std::vector<std::string>{"socket://127.0.0.1:9100", "parallel:/dev/lp0", "x"});
  engine_.portPrinters["socket://127.0.0.1:9100"] = {MakePrinter(11, PROTOCOL_TCPIP)};
  engine_.portPrinters["parallel:/dev/lp0"] = {MakePrinter(12, 0, 0, 1)};
  engine_.addressTexts[11] = "127.0.0.1";
  engine_.enumPortResult = 9;  // failures on single ports are ignored

  EXPECT_TRUE(Discover());

  auto asked = engine_.CallsTo("BceEnumSpecificPort");
  ASSERT_EQ(asked.size(), 3u);
  const char* expectedPorts[] = {"socket://127.0.0.1:9100", "parallel:/dev/lp0", "x"};
  for (std::size_t i = 0; i < asked.size(); ++i) {
    EXPECT_EQ(asked[i].numbers, (Numbers{kAppId, 0xFFF}));
    EXPECT_EQ(asked[i].text, expectedPorts[i]);
  }
  EXPECT_TRUE(engine_.CallsTo("BceEnumPrinters").empty());
  EXPECT_EQ(table_.Count(), 2u);
  EXPECT_EQ(table_.GetHostName(11), "printer.local");
}

TEST_F(PrinterDiscoveryTest, SpoolerThatCannotBeAskedFailsDiscovery) {
  UseSettings("[Enumeration]\nEnumerate Only Defined Ports=Yes\n");
  table_.AddOrUpdate(PrinterEnumRecord::FromBytes(MakePrinter(1, PROTOCOL_TCPIP).data()));
  engine_.addressTexts[1] = "127.0.0.1";
  platform::SetSpoolerPortsForTesting(std::nullopt);
  EXPECT_FALSE(Discover());
  platform::SetSpoolerPortsForTesting(std::vector<std::string>(200, std::string(30, 'p')));  // over 5,000 bytes
  EXPECT_FALSE(Discover());
  EXPECT_TRUE(engine_.Calls().empty());
  EXPECT_EQ(table_.GetHostName(1), "");
}

TEST_F(PrinterDiscoveryTest, TwoSubnetsGoToTheEngineAsOneBlockThenTheQuery) {
  UseSettings(
      "[Enumeration]\nLook On How Many Subnets ?=2\nSubnet 1=10.1.0.0\nSubnet Mask 1=255.255.0.0\n"
      "Subnet 2=192.168.7.0\nSubnet Mask 2=255.255.255.0\n");
  discovery_.ConfigureSubnets();

  auto calls = engine_.CallsTo("BceExchangeNetInfo");
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].numbers, (Numbers{0xFFFF, 2, 24, 40, 0, 0}));
  Bytes expected(40, 0);
  for (auto [offset, value] : {std::pair<std::size_t, std::uint32_t>{0, 2},
                               {4, 0x0A010000},
                               {8, 0xFFFF0000},
                               {12, 403},
                               {16, 0xC0A80700},
                               {20, 0xFFFFFF00},
                               {24, 403}}) {
    WriteLe32(expected.data() + offset, value);
  }
  EXPECT_EQ(calls[0].buffer, expected);
  EXPECT_EQ(calls[1].numbers, (Numbers{0xFFFF, 2, 27, 8, 0, 0}));
  EXPECT_EQ(calls[1].buffer, (Bytes{1, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(PrinterDiscoveryTest, NoSubnetListMeansNoExchange) {
  engine_.netInfoReplies = {MakeNetInfoReply(1, 1, std::string("a\0b\0c\0", 6))};
  for (const char* settings : {"[Enumeration]\nLook On How Many Subnets ?=0\nSubnet 1=10.0.0.0\n",
                               "[Enumeration]\nLook On How Many Subnets ?=256\n", "[Enumeration]\n",
                               "[Enumeration]\nLook On How Many Subnets ?=lots\n"}) {
    UseSettings(settings);
    discovery_.ConfigureSubnets();
  }
  EXPECT_TRUE(engine_.Calls().empty());
}

TEST_F(PrinterDiscoveryTest, RepliesBecomeNetInfoBlocksAndBadRecordsAreSkipped) {
  UseSettings("[Enumeration]\nLook On How Many Subnets ?=1\nSubnet 1=10.0.0.0\nSubnet Mask 1=255.0.0.0\n");
  Bytes valid = MakeNetInfoReply(1, 0x01020304, std::string("first\0ab\0xyz\0", 13));
  Bytes unflagged = MakeNetInfoReply(0, 5, std::string("a\0b\0c\0", 6));
  Bytes shortRecord(valid.begin(), valid.begin() + 15);
  engine_.netInfoReplies = {shortRecord, unflagged, {}, valid};

  discovery_.ConfigureSubnets();

  auto sent = engine_.CallsTo("BceSetNetInfo");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].numbers, (Numbers{0xFFFF, 2, 2, 17}));
  EXPECT_EQ(sent[0].buffer, (Bytes{17, 0, 0, 0, 4, 3, 2, 1, 0, 0, 'x', 'y', 'z', 0, 0, 0, 0}));
  EXPECT_EQ(discovery_.PendingNetInfoCount(), 0u);
}

TEST_F(PrinterDiscoveryTest, EntriesOfAFailedExchangeWaitForTheNextSuccessfulOne) {
  UseSettings("[Enumeration]\nLook On How Many Subnets ?=1\nSubnet 1=10.0.0.0\nSubnet Mask 1=255.0.0.0\n");
  engine_.netInfoReplies = {MakeNetInfoReply(1, 1, std::string("a\0b\0old\0", 8))};
  engine_.queryResult = 1;
  discovery_.ConfigureSubnets();
  EXPECT_TRUE(engine_.CallsTo("BceSetNetInfo").empty());
  EXPECT_EQ(discovery_.PendingNetInfoCount(), 1u);

  engine_.netInfoReplies = {MakeNetInfoReply(1, 2, std::string("a\0b\0new\0", 8))};
  engine_.queryResult = 0;
  discovery_.ConfigureSubnets();

  auto sent = engine_.CallsTo("BceSetNetInfo");
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].buffer[4], 1);
  EXPECT_EQ(std::string(sent[0].buffer.begin() + 10, sent[0].buffer.begin() + 13), "old");
  EXPECT_EQ(sent[1].buffer[4], 2);
  EXPECT_EQ(discovery_.PendingNetInfoCount(), 0u);
}

}  // namespace
