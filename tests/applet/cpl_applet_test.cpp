#include <gtest/gtest.h>

#include <cstring>

#include "applet/applet_app.h"
#include "applet/resource.h"
#include "applet_test_support.h"
#include "platform/control_panel.h"

KOR_CPL_EXPORT std::intptr_t CPlApplet(void* controlPanelWindow, std::uint32_t message, std::intptr_t param1,
                                       std::intptr_t param2);

namespace {

using namespace platform;

using CplAppletTest = AppletTest;

TEST_F(CplAppletTest, AnswersEveryMessage) {
  EXPECT_EQ(CPlApplet(nullptr, CPL_INIT, 0, 0), 1);
  EXPECT_EQ(CPlApplet(nullptr, CPL_GETCOUNT, 0, 0), 1);

  CPLINFO old;
  std::memset(&old, 0xAB, sizeof old);
  EXPECT_EQ(CPlApplet(nullptr, CPL_INQUIRE, 0, reinterpret_cast<std::intptr_t>(&old)), 0);
  EXPECT_EQ(old.idIcon, static_cast<std::int32_t>(0xABABABAB));

  NEWCPLINFO info;
  std::memset(&info, 0xAB, sizeof info);
  EXPECT_EQ(CPlApplet(nullptr, CPL_NEWINQUIRE, 0, reinterpret_cast<std::intptr_t>(&info)), 0);
  EXPECT_EQ(info.dwSize, sizeof(NEWCPLINFO));
  EXPECT_EQ(info.dwFlags, 0u);
  EXPECT_EQ(info.dwHelpContext, 0u);
  EXPECT_EQ(info.lData, 0);
  EXPECT_EQ(info.hIcon, static_cast<platform::CplIcon>(IDI_APPLET));
  EXPECT_STREQ(info.szName, "KorEvntS Configuration");
  EXPECT_STREQ(info.szInfo, "Korvane Event Adapter for Tivoli Configuration");
  EXPECT_STREQ(info.szHelpFile, "");
  EXPECT_EQ(CPlApplet(nullptr, CPL_NEWINQUIRE, 0, 0), 1);  // no record: refused, no crash

  EXPECT_EQ(CPlApplet(nullptr, CPL_SELECT, 0, 0), 1);
  EXPECT_EQ(CPlApplet(nullptr, CPL_STOP, 0, 0), 1);
  EXPECT_EQ(CPlApplet(nullptr, CPL_EXIT, 0, 0), 0);
  // Started by file name, a control panel opens the applet only after a 0 here.
  EXPECT_EQ(CPlApplet(nullptr, CPL_STARTWPARMSA, 0, 0), 0);
  EXPECT_EQ(CPlApplet(nullptr, CPL_STARTWPARMSW, 0, 0), 0);
  EXPECT_EQ(CPlApplet(nullptr, 99, 0, 0), 1);
  EXPECT_EQ(CPlApplet(nullptr, 0, 0, 0), 1);
}

TEST_F(CplAppletTest, DoubleClickRunsTheDialogAndMembersLastWhileTheLibraryIsLoaded) {
  CConfigDlg& dialog = TheApp().Applet().Dialog();
  dialog.SetFileSearch(Search());
  WriteSettings(Lines({"[Printer Alerts To Be Monitored]", "Check Printer Communication In How Many Seconds ?=45"}));
  backend.QueueDialog([](DialogDriver& user) {
    EXPECT_EQ(user.Target().ItemText(IDC_SECONDS), "45");
    user.Click(kIdCancel);
  });
  EXPECT_EQ(CPlApplet(nullptr, CPL_DBLCLK, 0, 0), 0);

  WriteSettings(Lines({"[Printer Alerts To Be Monitored]", "Input=Yes"}));
  backend.QueueDialog([](DialogDriver& user) {
    EXPECT_EQ(user.Target().ItemText(IDC_SECONDS), "45");
    EXPECT_TRUE(user.Target().IsChecked(IDC_INPUT));
    EXPECT_EQ(user.Target().ListViewOf(IDC_SUBNET_LIST)->ItemCount(), 0);
    user.Click(kIdOk);
  });
  EXPECT_EQ(CPlApplet(nullptr, CPL_DBLCLK, 0, 0), 0);
  EXPECT_EQ(backend.DialogsRun(), (std::vector<int>{IDD_CONFIG, IDD_CONFIG}));
  EXPECT_NE(Settings().find("Seconds ?=45\r\n"), std::string::npos);
}

}  // namespace
