#include "settings/settings_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "settings/settings_readers.h"
#include "tests/settings/settings_file_fixture.h"

namespace {

SettingsFileValues SampleValues() {
  SettingsFileValues values;
  values.serverLocation = "tec.example.net";
  values.serverPort = 5529;
  values.tcpIp = true;
  values.dlc = true;
  values.alertCategories = ALERT_INPUT | ALERT_PAPER_JAM | ALERT_OFFLINE;
  values.checkSeconds = 60;
  values.rediscoveryHours = 2;
  values.subnets = {{"10.1.0.0", "255.255.0.0"}, {"192.168.7.0", "255.255.255.0"}};
  return values;
}

}  // namespace

using SettingsWriter = SettingsFileTest;

TEST_F(SettingsWriter, WritesTheExpectedFileByteForByte) {
  std::string path = (directory_ / "KorEvntS.ini").string();
  ASSERT_TRUE(WriteSettingsFile(path, SampleValues()).ok());
  EXPECT_EQ(ReadBytes(path), ReadBytes(SETTINGS_TEST_DATA_DIR "/expected_settings.ini"));
}

TEST_F(SettingsWriter, ReplacesTheWholeFile) {
  std::string path =
      WriteFile(std::string(20000, 'x') + "\r\n[Printers To Be Enumerated]\r\nAll Local Printers=Yes\r\n");
  ASSERT_TRUE(WriteSettingsFile(path, SampleValues()).ok());
  EXPECT_EQ(ReadBytes(path), FormatSettingsFile(SampleValues()));
}

TEST_F(SettingsWriter, ServiceReadsWhatTheAppletSaved) {
  std::string path = (directory_ / "KorEvntS.ini").string();
  SettingsFileValues values = SampleValues();
  values.netWare = true;
  values.onlyDefinedPorts = true;
  ASSERT_TRUE(WriteSettingsFile(path, values).ok());

  EXPECT_EQ(ReadEnumerationMask(path), ENUM_NEW_ON_STARTUP | ENUM_NETWARE | ENUM_TCPIP | ENUM_DLC);
  ALERTS alerts{0};
  ReadAlertSelection(path, alerts);
  EXPECT_EQ(alerts.dwCategories, ALERT_INPUT | ALERT_PAPER_JAM | ALERT_OFFLINE);
  EXPECT_TRUE(ReadEnumerateOnlyDefinedPorts(path));
  EXPECT_EQ(ReadCheckInterval(path), 60u);
  AdapterSettings settings;
  EXPECT_TRUE(ArmRediscovery(path, settings, 0));
  EXPECT_EQ(settings.nextDiscoveryTime, 7200);
  std::optional<SubnetList> list = ReadSubnetList(path);
  ASSERT_TRUE(list);
  ASSERT_EQ(list->Count(), 2u);
  EXPECT_EQ(list->Address(0), 0x0A010000u);
  EXPECT_EQ(list->Mask(0), 0xFFFF0000u);
  EXPECT_EQ(list->Address(1), 0xC0A80700u);
  EXPECT_EQ(list->Mask(1), 0xFFFFFF00u);
}

TEST_F(SettingsWriter, SubnetKeysOnlyWithTcpIpAndAtLeastOneSubnet) {
  SettingsFileValues values = SampleValues();
  values.tcpIp = false;
  std::string text = FormatSettingsFile(values);
  EXPECT_EQ(text.find("Subnet"), std::string::npos);
  EXPECT_TRUE(
      text.ends_with("[Enumeration]\r\nEnumerate Only Defined Ports=No\r\n"
                     "Look For New Printers In How Many Hours ?=2\r\n"));

  values.tcpIp = true;
  values.subnets.clear();
  EXPECT_EQ(FormatSettingsFile(values).find("Subnet"), std::string::npos);
}

TEST_F(SettingsWriter, ValuesCannotAddLines) {
  SettingsFileValues values = SampleValues();
  values.serverLocation = "tec\r\n[Enumeration]\r\nLook On How Many Subnets ?=9";
  values.subnets = {{"10.0.0.0\nSubnet 2=1.1.1.1", "255.0.0.0"}};
  std::string text = FormatSettingsFile(values);
  EXPECT_NE(text.find("\r\nServerLocation=tec\r\nServerPort=5529\r\n"), std::string::npos);
  EXPECT_TRUE(text.ends_with("Look On How Many Subnets ?=1\r\nSubnet 1=10.0.0.0\r\nSubnet Mask 1=255.0.0.0\r\n"));
  EXPECT_EQ(text.find("=9"), std::string::npos);
}

TEST_F(SettingsWriter, FailedWriteTellsWhyAndLeavesTheOldFileWhole) {
  SettingsFileValues values = SampleValues();
  platform::FileResult missingDirectory = WriteSettingsFile((directory_ / "no" / "KorEvntS.ini").string(), values);
  EXPECT_FALSE(missingDirectory.ok());
  EXPECT_EQ(missingDirectory.error, platform::FileError::NotFound);

  // A directory in the file's place cannot be replaced by a file.
  std::filesystem::path blocked = directory_ / "blocked.ini";
  std::filesystem::create_directories(blocked / "inside");
  platform::FileResult result = WriteSettingsFile(blocked.string(), values);
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.systemError, 0);
  EXPECT_TRUE(std::filesystem::is_directory(blocked / "inside"));
  for (const auto& entry : std::filesystem::directory_iterator(directory_)) {
    EXPECT_TRUE(entry.path() == blocked) << "left behind: " << entry.path();
  }
}
