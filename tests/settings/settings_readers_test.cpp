#include "settings/settings_readers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/ipv4_text.h"
#include "settings/settings_names.h"
#include "tests/settings/settings_file_fixture.h"

namespace {

std::string Printers(const std::string& lines) { return "[Printers To Be Enumerated]\r\n" + lines; }
std::string Alerts(const std::string& lines) { return "[Printer Alerts To Be Monitored]\r\n" + lines; }
std::string Enumeration(const std::string& lines) { return "[Enumeration]\r\n" + lines; }

}  // namespace

using SettingsReaders = SettingsFileTest;

TEST_F(SettingsReaders, EnumerationMaskEdgeCases) {
  EXPECT_EQ(ReadEnumerationMask(WriteFile("")), ENUM_NEW_ON_STARTUP);
  EXPECT_EQ(ReadEnumerationMask(
                WriteFile(Printers("All Local Printers=No\r\nAll Network Printers=No\r\nAll NetWare Printers=No\r\n"
                                   "All TCP/IP Printers=No\r\nAll KorLink Printers=No\r\nAll DLC Printers=No\r\n"
                                   "New Enumeration On Startup=No\r\n"))),
            0u);
  EXPECT_EQ(ReadEnumerationMask(WriteFile(Printers("All TCP/IP Printers=Yes\r\n"))), 0x80000002u);
  EXPECT_EQ(ReadEnumerationMask(WriteFile(Printers("All Network Printers=Yes\r\nAll Local Printers=Yes\r\n"))),
            0x80000BFFu);
  EXPECT_EQ(ReadEnumerationMask(WriteFile(
                Printers("All NetWare Printers=Yes\r\nAll KorLink Printers=Yes\r\nAll DLC Printers=Yes\r\n"))),
            ENUM_NEW_ON_STARTUP | ENUM_NETWARE | ENUM_KORLINK | ENUM_DLC);
  // Only "Yes" turns a class on; only "No" turns the new enumeration off.
  EXPECT_EQ(ReadEnumerationMask(WriteFile(Printers("All TCP/IP Printers=yes\r\nNew Enumeration On Startup=no\r\n"))),
            ENUM_NEW_ON_STARTUP);
  EXPECT_EQ(ReadEnumerationMask(WriteFile(Printers("All TCP/IP Printers=Yes\r\nNew Enumeration On Startup=No\r\n"))),
            ENUM_TCPIP);
}

TEST_F(SettingsReaders, AlertSelectionChangesOnlyTheNineBits) {
  std::string path = WriteFile(
      Alerts("Input=Yes\r\nOutput=No\r\nPaper Jam=Yes\r\nPrinter Supplies=yes\r\nOperator Intervention Required=Yes\r\n"
             "Printer Warnings=\r\nDevice Needs Service=Yes\r\nOffline=Yes\r\n"));
  ALERTS alerts{0xFFFFFE00 | ALERT_OUTPUT | ALERT_SUPPLIES | ALERT_WARNING | ALERT_CONFIG};
  ReadAlertSelection(path, alerts);
  EXPECT_EQ(alerts.dwCategories,
            0xFFFFFE00 | ALERT_INPUT | ALERT_PAPER_JAM | ALERT_OPERATOR | ALERT_SERVICE | ALERT_OFFLINE);

  ALERTS none{ALERT_KEY_CATEGORIES};
  ReadAlertSelection(WriteFile(""), none);
  EXPECT_EQ(none.dwCategories, 0u);
}

TEST_F(SettingsReaders, KeysAndSectionsMatchInAnyLetterCase) {
  std::string path = WriteFile(
      "[printers to be enumerated]\r\nALL TCP/IP PRINTERS=Yes\r\n"
      "[PRINTER ALERTS TO BE MONITORED]\r\npaper jam=Yes\r\ncheck printer communication in how many seconds ?=30\r\n"
      "[enumeration]\r\nENUMERATE ONLY DEFINED PORTS=Yes\r\nlook on how many subnets ?=1\r\nsubnet 1=10.0.0.0\r\n"
      "SUBNET MASK 1=255.0.0.0\r\n");
  EXPECT_EQ(ReadEnumerationMask(path), ENUM_NEW_ON_STARTUP | ENUM_TCPIP);
  ALERTS alerts{0};
  ReadAlertSelection(path, alerts);
  EXPECT_EQ(alerts.dwCategories, ALERT_PAPER_JAM);
  EXPECT_EQ(ReadCheckInterval(path), 30u);
  EXPECT_TRUE(ReadEnumerateOnlyDefinedPorts(path));
  std::optional<SubnetList> list = ReadSubnetList(path);
  ASSERT_TRUE(list);
  EXPECT_EQ(list->Address(0), 0x0A000000u);
  EXPECT_EQ(list->Mask(0), 0xFF000000u);
}

TEST_F(SettingsReaders, CheckIntervalRange) {
  for (const char* value : {"16", "998", " 60 ", "60 seconds", "+100"}) {
    std::string path = WriteFile(Alerts(std::string("Check Printer Communication In How Many Seconds ?=") + value));
    EXPECT_EQ(ReadCheckInterval(path), std::stoul(std::string(value).substr(value[0] == '+' ? 1 : 0))) << value;
  }
  for (const char* value : {"15", "999", "0", "", "abc", "-60", "4294967312", "99999999999999999999"}) {
    std::string path = WriteFile(Alerts(std::string("Check Printer Communication In How Many Seconds ?=") + value));
    EXPECT_EQ(ReadCheckInterval(path), 0u) << value;
  }
  EXPECT_EQ(ReadCheckInterval(WriteFile("")), 0u);
}

TEST_F(SettingsReaders, RediscoveryArmsOnlyForTwoToTwentyFourHours) {
  const std::time_t now = 1'800'000'000;
  AdapterSettings settings;
  EXPECT_TRUE(ArmRediscovery(WriteFile(Enumeration("Look For New Printers In How Many Hours ?=2\r\n")), settings, now));
  EXPECT_EQ(settings.nextDiscoveryTime, now + 7200);
  EXPECT_TRUE(
      ArmRediscovery(WriteFile(Enumeration("Look For New Printers In How Many Hours ?=24\r\n")), settings, now));
  EXPECT_EQ(settings.nextDiscoveryTime, now + 24 * 3600);
  for (const char* value : {"1", "25", "0", "", "x", "-2", "4294967298"}) {
    std::string path = WriteFile(Enumeration(std::string("Look For New Printers In How Many Hours ?=") + value));
    settings.nextDiscoveryTime = 0;
    EXPECT_FALSE(ArmRediscovery(path, settings, now)) << value;
    EXPECT_EQ(settings.nextDiscoveryTime, now) << value;
  }
}

TEST_F(SettingsReaders, DefinedPortsOnlyWhenExactlyYes) {
  EXPECT_TRUE(ReadEnumerateOnlyDefinedPorts(WriteFile(Enumeration("Enumerate Only Defined Ports=Yes\r\n"))));
  EXPECT_FALSE(ReadEnumerateOnlyDefinedPorts(WriteFile(Enumeration("Enumerate Only Defined Ports=yes\r\n"))));
  EXPECT_FALSE(ReadEnumerateOnlyDefinedPorts(WriteFile(Enumeration("Enumerate Only Defined Ports=No\r\n"))));
  EXPECT_FALSE(ReadEnumerateOnlyDefinedPorts(WriteFile("")));
}

TEST_F(SettingsReaders, SubnetListFromTheFile) {
  std::string path =
      WriteFile(Enumeration("Look On How Many Subnets ?=3\r\nSubnet 1=10.0.0.0\r\nSubnet Mask 1=255.0.0.0\r\n"
                            "Subnet 2=printers\r\nSubnet Mask 2=255.255.x.0\r\nSubnet Mask 3=255.255.255.0\r\n"));
  std::optional<SubnetList> list = ReadSubnetList(path);
  ASSERT_TRUE(list);
  ASSERT_EQ(list->Count(), 3u);
  ASSERT_EQ(list->Size(), 52u);
  EXPECT_EQ(list->Address(0), 0x0A000000u);
  EXPECT_EQ(list->Mask(0), 0xFF000000u);
  EXPECT_EQ(list->Address(1), common::kNoIPv4Address);  // letters
  EXPECT_EQ(list->Mask(1), common::kNoIPv4Address);
  EXPECT_EQ(list->Address(2), 0u);  // missing
  EXPECT_EQ(list->Mask(2), 0xFFFFFF00u);
  for (std::uint32_t entry = 0; entry < 3; ++entry) EXPECT_EQ(list->Code(entry), SUBNET_CODE);
}

TEST_F(SettingsReaders, SubnetCountOutOfRangeGivesNoList) {
  for (const char* value : {"0", "256", "-1", "", "many", "4294967297", "99999999999999999999"}) {
    std::string path = WriteFile(Enumeration(std::string("Look On How Many Subnets ?=") + value +
                                             "\r\nSubnet 1=10.0.0.0\r\nSubnet Mask 1=255.0.0.0\r\n"));
    EXPECT_FALSE(ReadSubnetList(path)) << value;
  }
  EXPECT_FALSE(ReadSubnetList(WriteFile("")));
  std::optional<SubnetList> full = ReadSubnetList(WriteFile(Enumeration("Look On How Many Subnets ?=255\r\n")));
  ASSERT_TRUE(full);
  EXPECT_EQ(full->Count(), 255u);
}

TEST_F(SettingsReaders, MissingFileGivesEveryDefault) {
  std::string path = (directory_ / "absent.ini").string();
  EXPECT_EQ(ReadEnumerationMask(path), ENUM_NEW_ON_STARTUP);
  ALERTS alerts{0xFFFFFFFF};
  ReadAlertSelection(path, alerts);
  EXPECT_EQ(alerts.dwCategories, 0xFFFFFE00u);
  EXPECT_FALSE(ReadSubnetList(path));
  EXPECT_FALSE(ReadEnumerateOnlyDefinedPorts(path));
  EXPECT_EQ(ReadCheckInterval(path), 0u);
  AdapterSettings settings;
  EXPECT_FALSE(ArmRediscovery(path, settings, 1000));
  EXPECT_EQ(settings.nextDiscoveryTime, 1000);
}

TEST_F(SettingsReaders, FileThatVanishesBetweenReadsFallsBackToDefaults) {
  std::string path = WriteFile(Alerts("Input=Yes\r\nCheck Printer Communication In How Many Seconds ?=60\r\n") +
                               Enumeration("Look On How Many Subnets ?=1\r\nSubnet 1=10.0.0.0\r\n"));
  ALERTS alerts{0};
  ReadAlertSelection(path, alerts);
  EXPECT_EQ(alerts.dwCategories, ALERT_INPUT);
  EXPECT_EQ(ReadCheckInterval(path), 60u);
  ASSERT_TRUE(ReadSubnetList(path));

  std::filesystem::remove(path);
  ReadAlertSelection(path, alerts);
  EXPECT_EQ(alerts.dwCategories, 0u);
  EXPECT_EQ(ReadCheckInterval(path), 0u);
  EXPECT_FALSE(ReadSubnetList(path));
}

TEST_F(SettingsReaders, LongValuesDoNotHarm) {
  std::string path =
      WriteFile(Printers("All TCP/IP Printers=Yes" + std::string(5000, 'x') + "\r\n") +
                Enumeration("Subnet 1=" + std::string(10000, '9') + "\r\nLook On How Many Subnets ?=1\r\n"));
  EXPECT_EQ(ReadEnumerationMask(path), ENUM_NEW_ON_STARTUP);
  std::optional<SubnetList> list = ReadSubnetList(path);
  ASSERT_TRUE(list);
  EXPECT_EQ(list->Address(0), common::kNoIPv4Address);
}
