// Printer discovery against the engine stand-in libkorbce.so serving a fleet
// file: subnets, the network-information exchange, enumeration by classes and
// by spooler ports, and host names of the TCP/IP printers.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/ipv4_text.h"
#include "platform/environment.h"
#include "platform/file_io.h"
#include "platform/host_lookup.h"
#include "platform/spooler_ports.h"
#include "service/printer_discovery.h"
#include "settings/settings_readers.h"

namespace {

// A reply record: flag 1, value 0x01020304, the texts "first", "ab", "xyz";
// then one of 15 bytes, which is ignored.
constexpr const char* kFleet =
    "[Engine]\r\n"
    "NetInfoReplies = 00000000010000000403020166697273740061620078797A00, 000000000100000004030201666972\r\n"
    "[Printer Reception]\r\nId = 1\r\nMac = 0020004A1B0C\r\nProtocols = 0x2\r\nAdapter = 129\r\n"
    "Ip = 127.0.0.1\r\nClasses = 0x2\r\nSpoolerPort = socket://127.0.0.1:9100\r\n"
    "[Printer Basement]\r\nId = 2\r\nMac = 0020004A1B0D\r\nPortType = 1\r\nClasses = 0x800\r\n"
    "SpoolerPort = parallel:/dev/lp0\r\n"
    "[Printer Annex]\r\nId = 3\r\nProtocols = 0x2000000\r\nAdapter = 4\r\nIp = 127.0.0.1\r\nClasses = 0x2\r\n";

class DiscoveryEndToEndTest : public ::testing::Test {
 protected:
  // The process has one engine, which reads the variables at its first call:
  // every test of the suite shares the fleet file and the log.
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/discovery_e2e_XXXXXX";
    directory_ = mkdtemp(pattern);
    ASSERT_TRUE(platform::WriteFileAtomically(directory_ + "/korbce.ini", kFleet).ok());
    platform::SetEnvironmentVariable("KORBCE_FLEET", directory_ + "/korbce.ini");
    platform::SetEnvironmentVariable("KORBCE_LOG", directory_ + "/korbce.log");
  }
  static void TearDownTestSuite() { std::filesystem::remove_all(directory_); }

  void SetUp() override {
    std::filesystem::remove(directory_ + "/korbce.log");
    settings_.settingsPath = directory_ + "/KorEvntS.ini";
    discovery_.SetApplicationId(1);
  }
  void TearDown() override { platform::ClearSpoolerPortsForTesting(); }

  void UseSettings(const std::string& content) {
    ASSERT_TRUE(platform::WriteFileAtomically(settings_.settingsPath, content).ok());
    settings_.EnumerationMask = ReadEnumerationMask(settings_.settingsPath);
    settings_.onlyDefinedPorts = ReadEnumerateOnlyDefinedPorts(settings_.settingsPath);
  }

  std::vector<std::string> LogLines(const std::string& function) {
    std::ifstream log(directory_ + "/korbce.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) {
      if (line.rfind(function + " ", 0) == 0) lines.push_back(line);
    }
    return lines;
  }

  static inline std::string directory_;
  AdapterSettings settings_;
  PrinterTable table_;
  PrinterDiscovery discovery_{table_, settings_};
};

TEST_F(DiscoveryEndToEndTest, SubnetsAndClassesFindTheTcpIpPrintersWithTheirNames) {
  UseSettings(
      "[Printers To Be Enumerated]\r\nAll TCP/IP Printers=Yes\r\n"
      "[Enumeration]\r\nLook On How Many Subnets ?=1\r\nSubnet 1=10.1.0.0\r\nSubnet Mask 1=255.255.0.0\r\n");

  discovery_.ConfigureSubnets();
  ASSERT_TRUE(discovery_.DiscoverPrinters(settings_.EnumerationMask));

  auto exchanges = LogLines("BceExchangeNetInfo");
  ASSERT_EQ(exchanges.size(), 2u);
  EXPECT_NE(exchanges[0].find("request=24 buffer=010000000000010A0000FFFF93010000000000000000000000000000 length=28"),
            std::string::npos)
      << exchanges[0];
  EXPECT_NE(exchanges[1].find("request=27 buffer=0100000000000000 length=8"), std::string::npos) << exchanges[1];
  auto applied = LogLines("BceSetNetInfo");
  ASSERT_EQ(applied.size(), 1u);
  EXPECT_NE(applied[0].find("kind=2 block=1100000004030201000078797A00000000 length=17"), std::string::npos)
      << applied[0];

  EXPECT_EQ(LogLines("BceEnumPrinters").at(0), "BceEnumPrinters app=1 mask=0x80000002 -> 0");
  ASSERT_EQ(table_.Count(), 2u);
  EXPECT_EQ(table_.GetMacAddressText(1), "0020004A1B0C");
  EXPECT_EQ(table_.GetAdapterProductName(1), "Portova Q1");
  EXPECT_EQ(table_.GetIpAddressText(1), "127.0.0.1");
  EXPECT_EQ(table_.GetIpAddressText(3), "127.0.0.1");
  EXPECT_EQ(table_.GetAdapterProductName(3), "Portova M3");
  auto loopbackName = platform::ReverseLookup(*common::ParseIPv4NetworkOrder("127.0.0.1"));
  if (loopbackName) {
    EXPECT_EQ(table_.GetHostName(1), *loopbackName);
    EXPECT_EQ(table_.GetHostName(3), *loopbackName);
  }
  EXPECT_EQ(table_.GetMacAddressText(2), "");  // a local printer, not of the TCP/IP class
}

TEST_F(DiscoveryEndToEndTest, DefinedPortsFindThePrinterOnEachPort) {
  UseSettings(
      "[Printers To Be Enumerated]\r\nAll TCP/IP Printers=No\r\n[Enumeration]\r\nEnumerate Only Defined Ports=Yes\r\n");
  platform::SetSpoolerPortsForTesting(
      std::vector<std::string>{"parallel:/dev/lp0", "socket://127.0.0.1:9100", "usb://none"});

  ASSERT_TRUE(discovery_.DiscoverPrinters(settings_.EnumerationMask));

  auto asked = LogLines("BceEnumSpecificPort");
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(asked[0], "BceEnumSpecificPort app=1 classes=0xFFF port=\"parallel:/dev/lp0\" -> 0");
  EXPECT_TRUE(LogLines("BceEnumPrinters").empty());
  std::vector<std::uint16_t> ids(4);
  ids.resize(table_.CopyIds(ids));
  EXPECT_EQ(ids, (std::vector<std::uint16_t>{2, 1}));
  EXPECT_EQ(table_.GetPortName(2), "Parallel 1");
  EXPECT_EQ(table_.GetIpAddressText(2), "");
  EXPECT_EQ(LogLines("BceGetPrinterAddrEx").size(), 1u);
}

}  // namespace
