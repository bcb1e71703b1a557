#include <gtest/gtest.h>


#include "applet/resource.h"
#include "applet_test_support.h"
#include "platform/computer_name.h"
#include "dialogs/file_error_message.h"
#include "platform/file_io.h"

namespace {

using platform::DialogDriver;
using platform::kIdCancel;
using platform::kIdOk;

const std::string kCanonicalFile = Lines({
    "[Tivoli Adapter Configuration File]",
    "ServerLocation=tec.example.net",
    "ServerPort=5600",
    "",
    "[Printers To Be Enumerated]",
    "All NetWare Printers=Yes",
    "All TCP/IP Printers=Yes",
    "All DLC Printers=No",
    "",
    "[Printer Alerts To Be Monitored]",
    "Input=Yes",
    "Output=No",
    "Paper Jam=Yes",
    "Printer Supplies=Yes",
    "Operator Intervention Required=No",
    "Printer Warnings=Yes",
    "Device Needs Service=No",
    "Configuration Change=Yes",
    "Offline=Yes",
    "Check Printer Communication In How Many Seconds ?=60",
    "",
    "[Enumeration]",
    "Enumerate Only Defined Ports=Yes",
    "Look For New Printers In How Many Hours ?=12",
    "Look On How Many Subnets ?=2",
    "Subnet 1=10.1.0.0",
    "Subnet Mask 1=255.255.0.0",
    "Subnet 2=192.168.7.0",
    "Subnet Mask 2=255.255.255.0",
});

class ConfigDlgTest : public AppletTest {
 protected:
  void SetUp() override {
    AppletTest::SetUp();
    dialog.SetFileSearch(Search());
  }

  // Opens the dialog once and runs script in it.
  int Open(platform::HeadlessDialogBackend::Script script) {
    backend.QueueDialog(std::move(script));
    return dialog.DoModal();
  }

  CConfigDlg dialog;
};

TEST_F(ConfigDlgTest, LoadsTheFileShowsRunTimeTextsAndSavesItByteForByte) {
  WriteSettings(kCanonicalFile);
  const int result = Open([](DialogDriver& user) {
    platform::Dialog& d = user.Target();
    EXPECT_EQ(d.Caption(), "Korvane Event Adapter Configuration");
    EXPECT_EQ(d.FocusedId(), kIdOk);
    EXPECT_EQ(d.ItemText(IDC_SERVER_LOCATION), "tec.example.net");
    EXPECT_EQ(d.ItemText(IDC_SERVER_PORT), "5600");
    EXPECT_EQ(d.ItemText(IDC_HOURS), "12");
    EXPECT_EQ(d.ItemText(IDC_SECONDS), "60");
    EXPECT_TRUE(d.IsChecked(IDC_TCPIP));
    EXPECT_TRUE(d.IsChecked(IDC_NETWARE));
    EXPECT_FALSE(d.IsChecked(IDC_DLC));
    EXPECT_TRUE(d.IsChecked(IDC_INPUT));
    EXPECT_FALSE(d.IsChecked(IDC_OUTPUT));
    EXPECT_TRUE(d.IsChecked(IDC_DEFINED_PORTS));
    EXPECT_TRUE(d.IsItemEnabled(IDC_ADD));
    EXPECT_TRUE(d.IsItemEnabled(IDC_GROUP_SUBNETS));
    EXPECT_EQ(d.ItemText(IDC_HOURS_LABEL), "hours (2 - 24)");
    EXPECT_EQ(d.ItemText(IDC_SECONDS_LABEL), "seconds (15 - 999)");
    EXPECT_EQ(d.ItemText(IDC_LOOK_FOR_LABEL), "Look For New Printers Every:");
    EXPECT_EQ(d.ItemText(IDC_CHECK_LABEL), "Check Printer Communication Every:");
    EXPECT_EQ(d.ItemText(IDC_SERVER_LOCATION_LABEL), "ServerLocation");
    EXPECT_EQ(d.ItemText(IDC_SERVICE), "Device Service Required");
    EXPECT_EQ(d.ItemText(IDC_ADD), "Add");
    EXPECT_EQ(d.ItemText(IDC_GROUP_SUBNETS), "Look For TCP/IP Printers On Subnets:");
    EXPECT_EQ(d.ItemText(IDC_DEFINED_PORTS), "Capture Alerts Only From Defined Ports");
    EXPECT_EQ(d.ItemText(IDC_TCPIP), "TCP/IP");
    platform::ListView* list = d.ListViewOf(IDC_SUBNET_LIST);
    ASSERT_EQ(list->ColumnCount(), 2);
    EXPECT_EQ(list->ColumnAt(0)->heading, "Subnet:");
    EXPECT_EQ(list->ColumnAt(1)->heading, "Subnet Mask:");
    EXPECT_EQ(list->ColumnAt(1)->width, list->ClientWidth() / 2);
    EXPECT_EQ(list->ItemText(1, 1), "255.255.255.0");
    user.Click(kIdOk);
  });
  EXPECT_EQ(result, kIdOk);
  EXPECT_EQ(Settings(), kCanonicalFile);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ConfigDlgTest, LowerCaseFlagsShowTickedAndSaveAsYes) {
  std::string file = kCanonicalFile;
  file.replace(file.find("Output=No"), 9, "Output=yes");
  file.replace(file.find("All DLC Printers=No"), 19, "All DLC Printers=YES");
  WriteSettings(file);
  Open([](DialogDriver& user) {
    EXPECT_TRUE(user.Target().IsChecked(IDC_OUTPUT));
    EXPECT_FALSE(user.Target().IsChecked(IDC_DLC));  // only "Yes" and "yes" count
    user.Click(kIdOk);
  });
  EXPECT_NE(Settings().find("\r\nOutput=Yes\r\n"), std::string::npos);
  EXPECT_NE(Settings().find("\r\nAll DLC Printers=No\r\n"), std::string::npos);
}

TEST_F(ConfigDlgTest, RangeFailuresShowTheirMessagesAndWriteNothing) {
  WriteSettings(kCanonicalFile);
  Open([](DialogDriver& user) {
    platform::Dialog& d = user.Target();
    user.Type(IDC_SERVER_PORT, "70000");
    user.Click(kIdOk);
    EXPECT_EQ(d.FocusedId(), IDC_SERVER_PORT);
    user.Type(IDC_SERVER_PORT, "5529");
    user.Type(IDC_SECONDS, "1000");
    user.Click(kIdOk);
    EXPECT_EQ(d.FocusedId(), IDC_SECONDS);
    user.Type(IDC_SECONDS, "999");
    user.Type(IDC_HOURS, "ten");
    user.Click(kIdOk);
    EXPECT_EQ(d.FocusedId(), IDC_HOURS);
    user.Type(IDC_HOURS, "-1");
    user.Click(kIdOk);
    EXPECT_FALSE(d.HasEnded());
    user.Click(kIdCancel);
  });
  EXPECT_EQ(Messages(), (std::vector<std::string>{
                            "Please enter an integer between 0 and 65535.",
                            "Please enter an integer between 0 and 999.",
                            "Please enter a positive integer.",
                            "Please enter a positive integer.",
                        }));
  EXPECT_EQ(backend.MessageBoxes()[0].caption, "KorEvntC");
  EXPECT_EQ(Settings(), kCanonicalFile);
}

TEST_F(ConfigDlgTest, TypedValuesAtTheEdgesOfTheirRangesAreSaved) {
  WriteSettings(kCanonicalFile);
  Open([](DialogDriver& user) {
    user.Type(IDC_HOURS, " 30 ");
    user.Type(IDC_SECONDS, "15");
    user.Type(IDC_SERVER_PORT, "65535");
    user.Type(IDC_SERVER_LOCATION, "");
    user.Click(kIdOk);
  });
  const std::string saved = Settings();
  EXPECT_NE(saved.find("\r\nLook For New Printers In How Many Hours ?=30\r\n"), std::string::npos);
  EXPECT_NE(saved.find("\r\nCheck Printer Communication In How Many Seconds ?=15\r\n"), std::string::npos);
  EXPECT_NE(saved.find("\r\nServerPort=65535\r\n"), std::string::npos);
  EXPECT_NE(saved.find("\r\nServerLocation=\r\n"), std::string::npos);
}

TEST_F(ConfigDlgTest, OutOfRangeFileValuesAndMissingServerKeys) {
  const std::string name = platform::ComputerName().value_or("");
  ASSERT_FALSE(name.empty());
  WriteSettings(Lines({"[Printer Alerts To Be Monitored]", "Check Printer Communication In How Many Seconds ?=60",
                       "[Enumeration]", "Look For New Printers In How Many Hours ?=30"}));
  Open([&](DialogDriver& user) {
    EXPECT_EQ(user.Target().ItemText(IDC_SERVER_LOCATION), name);
    EXPECT_EQ(user.Target().ItemText(IDC_SERVER_PORT), "5529");
    EXPECT_EQ(user.Target().ItemText(IDC_HOURS), "0");
    EXPECT_EQ(user.Target().ItemText(IDC_SECONDS), "60");
  });
  // Values the file does not set keep those of the previous opening.
  WriteSettings(Lines({"[Tivoli Adapter Configuration File]", "ServerPort=7000", "[Printer Alerts To Be Monitored]",
                       "Check Printer Communication In How Many Seconds ?=1000"}));
  Open([&](DialogDriver& user) {
    EXPECT_EQ(user.Target().ItemText(IDC_SERVER_LOCATION), name);
    EXPECT_EQ(user.Target().ItemText(IDC_SERVER_PORT), "7000");
    EXPECT_EQ(user.Target().ItemText(IDC_SECONDS), "60");
  });
  WriteSettings("garbage\r\n\x01\x02[[[=\r\n=x\r\n[Enumeration\r\nLook On How Many Subnets ?=abc\r\n");
  Open([&](DialogDriver& user) {
    EXPECT_EQ(user.Target().ListViewOf(IDC_SUBNET_LIST)->ItemCount(), 0);
    user.Click(kIdOk);
  });
  EXPECT_EQ(Settings().rfind("[Tivoli Adapter Configuration File]\r\n", 0), 0u);
}

TEST_F(ConfigDlgTest, MissingProtocolLibraryClearsItsBoxAndSavesNo) {
  WriteSettings(kCanonicalFile);
  Uninstall("korip32.dll");
  Uninstall("kornw32.dll");
  Open([](DialogDriver& user) {
    platform::Dialog& d = user.Target();
    EXPECT_FALSE(d.IsChecked(IDC_TCPIP));
    EXPECT_FALSE(d.IsItemEnabled(IDC_TCPIP));
    EXPECT_FALSE(d.IsChecked(IDC_NETWARE));
    EXPECT_FALSE(d.IsItemEnabled(IDC_NETWARE));
    EXPECT_TRUE(d.IsItemEnabled(IDC_DLC));
    EXPECT_FALSE(user.Click(IDC_TCPIP));
    // Subnets could not be saved, so they cannot be edited either.
    EXPECT_FALSE(d.IsItemEnabled(IDC_ADD));
    EXPECT_FALSE(d.IsItemEnabled(IDC_SUBNET_LIST));
    user.Click(kIdOk);
  });
  const std::string saved = Settings();
  EXPECT_NE(saved.find("\r\nAll TCP/IP Printers=No\r\n"), std::string::npos);
  EXPECT_NE(saved.find("\r\nAll NetWare Printers=No\r\n"), std::string::npos);
  EXPECT_EQ(saved.find("Subnet"), std::string::npos);
}

TEST_F(ConfigDlgTest, UntickedTcpIpWritesNoSubnetKeysAndTickingAgainSavesThem) {
  WriteSettings(kCanonicalFile);
  Open([](DialogDriver& user) {
    EXPECT_TRUE(user.Click(IDC_TCPIP));
    EXPECT_FALSE(user.Target().IsItemEnabled(IDC_REMOVE));
    EXPECT_FALSE(user.Target().IsItemEnabled(IDC_GROUP_SUBNETS));
    user.Click(kIdOk);
  });
  EXPECT_EQ(Settings().find("Subnet"), std::string::npos);
  EXPECT_TRUE(Settings().ends_with("Look For New Printers In How Many Hours ?=12\r\n"));

  WriteSettings(kCanonicalFile);
  Open([](DialogDriver& user) {
    user.Click(IDC_TCPIP);
    user.Click(IDC_TCPIP);
    EXPECT_TRUE(user.Target().IsItemEnabled(IDC_ADD));
    user.Click(kIdOk);
  });
  EXPECT_EQ(Settings(), kCanonicalFile);
}

TEST_F(ConfigDlgTest, CancelWritesNothing) {
  WriteSettings(kCanonicalFile);
  Open([](DialogDriver& user) {
    user.Type(IDC_SERVER_LOCATION, "elsewhere");
    user.Click(kIdCancel);
  });
  EXPECT_EQ(Settings(), kCanonicalFile);
  EXPECT_EQ(dialog.m_strServerLocation, "tec.example.net");
}

TEST_F(ConfigDlgTest, WithoutAFileSaveCreatesItInTheSystemDirectory) {
  Open([](DialogDriver& user) {
    EXPECT_EQ(user.Target().ItemText(IDC_SERVER_PORT), "5529");
    user.Click(IDC_INPUT);
    user.Click(kIdOk);
  });
  const std::string created = (directory_ / "root/etc/korevnts/KorEvntS.ini").string();
  EXPECT_EQ(dialog.m_strSettingsPath, created);
  const std::string saved = ReadFile(created);
  EXPECT_NE(saved.find("\r\nServerPort=5529\r\n"), std::string::npos);
  EXPECT_NE(saved.find("\r\nInput=Yes\r\n"), std::string::npos);
}

TEST_F(ConfigDlgTest, UnwritableFileShowsTheFileErrorKeepsTheOldFileAndStaysOpen) {
  WriteSettings(kCanonicalFile);
  // A directory where the file goes stops every user, the superuser too.
  const std::string blocked = (directory_ / "blocked" / "KorEvntS.ini").string();
  std::filesystem::create_directories(std::filesystem::path(blocked) / "keep");
  dialog.SetFileSearch([&](std::string_view name) -> std::optional<std::string> {
    if (name == "KorEvntS.ini") return blocked;
    return Search()(name);
  });
  const platform::FileResult failure = platform::WriteFileAtomically(blocked, "settings");
  ASSERT_FALSE(failure.ok());
  const int result = Open([](DialogDriver& user) {
    user.Click(kIdOk);
    EXPECT_FALSE(user.Target().HasEnded());
    user.Click(kIdCancel);
  });
  EXPECT_EQ(result, kIdCancel);
  EXPECT_EQ(Messages(), std::vector<std::string>{platform::FileErrorMessage(failure, blocked)});
  EXPECT_NE(Messages().front().find(blocked), std::string::npos);
  EXPECT_EQ(Settings(), kCanonicalFile);
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(blocked) / "keep"));
}

}  // namespace
