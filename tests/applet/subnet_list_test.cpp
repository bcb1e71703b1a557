#include <gtest/gtest.h>

#include "applet/resource.h"
#include "applet_test_support.h"

namespace {

using platform::DialogDriver;
using platform::kIdCancel;
using platform::kIdOk;

using Rows = std::vector<std::pair<std::string, std::string>>;

Rows RowsOf(platform::Dialog& dialog) {
  Rows rows;
  const platform::ListView* list = dialog.ListViewOf(IDC_SUBNET_LIST);
  for (int row = 0; row < list->ItemCount(); ++row) rows.emplace_back(list->ItemText(row, 0), list->ItemText(row, 1));
  return rows;
}

class SubnetListTest : public AppletTest {
 protected:
  void SetUp() override {
    AppletTest::SetUp();
    dialog.SetFileSearch(Search());
  }

  void WriteSubnets(const std::vector<std::string>& lines) {
    std::string text = Lines({"[Printers To Be Enumerated]", "All TCP/IP Printers=Yes", "[Enumeration]"});
    for (const std::string& line : lines) text += line + "\r\n";
    WriteSettings(text);
  }

  // Queues the add-subnet dialog: types the parts given (empty: keep the
  // preset), then presses the button.
  void QueueAdd(std::vector<std::string> subnet, std::vector<std::string> mask, int button = kIdOk) {
    backend.QueueDialog([=](DialogDriver& add) {
      const int subnetEdits[] = {IDC_SUBNET_1, IDC_SUBNET_2, IDC_SUBNET_3, IDC_SUBNET_4};
      const int maskEdits[] = {IDC_MASK_1, IDC_MASK_2, IDC_MASK_3, IDC_MASK_4};
      for (std::size_t part = 0; part < subnet.size(); ++part) add.Type(subnetEdits[part], subnet[part]);
      for (std::size_t part = 0; part < mask.size(); ++part) add.Type(maskEdits[part], mask[part]);
      add.Click(button);
    });
  }

  CConfigDlg dialog;
};

TEST_F(SubnetListTest, AddWithThePresetsAndADuplicateSubnet) {
  WriteSubnets({});
  backend.QueueDialog([this](DialogDriver& user) {
    backend.QueueDialog([](DialogDriver& add) {
      platform::Dialog& d = add.Target();
      EXPECT_EQ(d.Caption(), "Add Subnet");
      EXPECT_EQ(d.FocusedId(), kIdOk);
      EXPECT_EQ(d.ItemText(IDC_SUBNET_LABEL), "Subnet:");
      EXPECT_EQ(d.ItemText(IDC_MASK_LABEL), "Subnet Mask:");
      EXPECT_EQ(d.ItemText(IDC_SUBNET_1), "0");
      EXPECT_EQ(d.ItemText(IDC_MASK_3), "255");
      EXPECT_EQ(d.ItemText(IDC_MASK_4), "0");
      add.Type(IDC_SUBNET_2, "1234");
      EXPECT_EQ(d.ItemText(IDC_SUBNET_2), "123");
      add.Type(IDC_SUBNET_2, "0");
      add.Click(kIdOk);
    });
    EXPECT_TRUE(user.Click(IDC_ADD));
    EXPECT_EQ(RowsOf(user.Target()), (Rows{{"0.0.0.0", "255.255.255.0"}}));
    QueueAdd({}, {"255", "0", "0", "0"});
    user.Click(IDC_ADD);
    QueueAdd({"10", "", "0", "1"}, {}, kIdOk);
    user.Click(IDC_ADD);
    QueueAdd({"172"}, {}, kIdCancel);
    user.Click(IDC_ADD);
    EXPECT_EQ(RowsOf(user.Target()), (Rows{{"0.0.0.0", "255.255.255.0"}, {"10..0.1", "255.255.255.0"}}));
    user.Click(kIdOk);
  });
  dialog.DoModal();
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(Settings().ends_with(Lines({"Look On How Many Subnets ?=2", "Subnet 1=0.0.0.0",
                                          "Subnet Mask 1=255.255.255.0", "Subnet 2=10..0.1",
                                          "Subnet Mask 2=255.255.255.0"})));
}

TEST_F(SubnetListTest, RemoveTakesEverySelectedRowAndKeepsTheOrder) {
  WriteSubnets({"Look On How Many Subnets ?=4", "Subnet 1=10.0.1.0", "Subnet Mask 1=m1", "Subnet 2=10.0.2.0",
                "Subnet Mask 2=m2", "Subnet 3=10.0.3.0", "Subnet Mask 3=m3", "Subnet 4=10.0.4.0", "Subnet Mask 4=m4"});
  backend.QueueDialog([](DialogDriver& user) {
    EXPECT_TRUE(user.Click(IDC_REMOVE));  // nothing selected: nothing happens
    EXPECT_EQ(RowsOf(user.Target()).size(), 4u);
    user.SelectRows(IDC_SUBNET_LIST, {0, 2});
    user.Click(IDC_REMOVE);
    EXPECT_EQ(RowsOf(user.Target()), (Rows{{"10.0.2.0", "m2"}, {"10.0.4.0", "m4"}}));
    user.Click(kIdOk);
  });
  dialog.DoModal();
  EXPECT_TRUE(Settings().ends_with(Lines({"Look On How Many Subnets ?=2", "Subnet 1=10.0.2.0", "Subnet Mask 1=m2",
                                          "Subnet 2=10.0.4.0", "Subnet Mask 2=m4"})));
}

TEST_F(SubnetListTest, ColumnClicksSortAsTextAndToggleTheDirection) {
  WriteSubnets({"Look On How Many Subnets ?=3", "Subnet 1=9.0.0.0", "Subnet Mask 1=255.0.0.0", "Subnet 2=10.0.0.0",
                "Subnet Mask 2=255.255.0.0", "Subnet 3=172.16.0.0", "Subnet Mask 3=255.240.0.0"});
  backend.QueueDialog([this](DialogDriver& user) {
    platform::Dialog& d = user.Target();
    EXPECT_EQ(RowsOf(d)[0].first, "10.0.0.0");  // text order: 10 before 9
    user.ClickColumnHeader(IDC_SUBNET_LIST, 1);
    // As text, 255.240 comes before 255.255.
    EXPECT_EQ(RowsOf(d), (Rows{{"9.0.0.0", "255.0.0.0"}, {"172.16.0.0", "255.240.0.0"}, {"10.0.0.0", "255.255.0.0"}}));
    EXPECT_EQ(dialog.m_listSubnets.SortColumn(), 1);
    user.ClickColumnHeader(IDC_SUBNET_LIST, 1);
    EXPECT_FALSE(dialog.m_listSubnets.IsAscending());
    EXPECT_EQ(RowsOf(d), (Rows{{"10.0.0.0", "255.255.0.0"}, {"172.16.0.0", "255.240.0.0"}, {"9.0.0.0", "255.0.0.0"}}));
    // A new row goes where the control's own order puts it, before the first greater label.
    QueueAdd({"11"}, {});
    user.Click(IDC_ADD);
    EXPECT_EQ(RowsOf(d)[1].first, "11.0.0.0");
    user.ClickColumnHeader(IDC_SUBNET_LIST, 0);
    EXPECT_TRUE(dialog.m_listSubnets.IsAscending());
    EXPECT_EQ(RowsOf(d)[0].first, "10.0.0.0");
    EXPECT_EQ(RowsOf(d)[3].first, "9.0.0.0");
    user.ClickColumnHeader(IDC_SUBNET_LIST, 0);
    EXPECT_EQ(RowsOf(d)[0].first, "9.0.0.0");
    user.Click(kIdOk);
  });
  dialog.DoModal();
  // Saved in the order shown, numbered from 1.
  EXPECT_TRUE(Settings().ends_with(Lines({"Look On How Many Subnets ?=4", "Subnet 1=9.0.0.0", "Subnet Mask 1=255.0.0.0",
                                          "Subnet 2=172.16.0.0", "Subnet Mask 2=255.240.0.0", "Subnet 3=11.0.0.0",
                                          "Subnet Mask 3=255.255.255.0", "Subnet 4=10.0.0.0",
                                          "Subnet Mask 4=255.255.0.0"})));
}

TEST_F(SubnetListTest, LoadingSkipsMasksWithoutSubnetsKeepsDuplicatesAndRejectsBadCounts) {
  WriteSubnets({"Look On How Many Subnets ?=3", "Subnet 1=10.0.0.0", "Subnet Mask 1=255.0.0.0",
                "Subnet Mask 2=255.255.0.0", "Subnet 3=10.0.0.0"});
  backend.QueueDialog([](DialogDriver& user) {
    EXPECT_EQ(RowsOf(user.Target()), (Rows{{"10.0.0.0", "255.0.0.0"}, {"10.0.0.0", ""}}));
    user.Click(kIdOk);
  });
  dialog.DoModal();
  EXPECT_TRUE(Settings().ends_with(Lines({"Look On How Many Subnets ?=2", "Subnet 1=10.0.0.0",
                                          "Subnet Mask 1=255.0.0.0", "Subnet 2=10.0.0.0", "Subnet Mask 2="})));

  for (const char* count : {"0", "256", "-1", "many"}) {
    WriteSubnets({std::string("Look On How Many Subnets ?=") + count, "Subnet 1=10.0.0.0"});
    backend.QueueDialog(
        [&](DialogDriver& user) { EXPECT_TRUE(RowsOf(user.Target()).empty()) << count; });
    dialog.DoModal();
  }
}

TEST_F(SubnetListTest, AFullListRefusesAnotherSubnet) {
  std::vector<std::string> lines{"Look On How Many Subnets ?=255"};
  for (int number = 1; number <= 255; ++number) {
    lines.push_back("Subnet " + std::to_string(number) + "=10.0." + std::to_string(number) + ".0");
    lines.push_back("Subnet Mask " + std::to_string(number) + "=255.255.255.0");
  }
  WriteSubnets(lines);
  backend.QueueDialog([](DialogDriver& user) {
    EXPECT_EQ(RowsOf(user.Target()).size(), 255u);
    user.Click(IDC_ADD);
    EXPECT_EQ(RowsOf(user.Target()).size(), 255u);
    user.Click(kIdOk);
  });
  dialog.DoModal();
  EXPECT_EQ(backend.DialogsRun(), std::vector<int>{IDD_CONFIG});  // the add-subnet dialog never opened
  EXPECT_EQ(Messages(), std::vector<std::string>{
                            "The service searches no more than 255 subnets. Remove one before adding another."});
  EXPECT_NE(Settings().find("Look On How Many Subnets ?=255\r\n"), std::string::npos);
}

}  // namespace
