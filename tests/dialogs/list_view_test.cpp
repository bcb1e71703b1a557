#include <gtest/gtest.h>

#include "dialogs/dialog.h"
#include "dialogs/headless_dialog_backend.h"
#include "dialogs/list_view.h"

namespace {

using namespace platform;

std::vector<std::string> Labels(const ListView& list) {
  std::vector<std::string> labels;
  for (int row = 0; row < list.ItemCount(); ++row) labels.push_back(list.ItemText(row, 0));
  return labels;
}

TEST(ListViewTest, SortedListPlacesRowsByLabelWithoutRegardToCase) {
  ListView list;
  list.Attach(kListSortAscending, 200, nullptr);
  list.InsertColumn(0, "A", 100);
  list.InsertColumn(1, "B", 100);
  EXPECT_EQ(list.InsertItem(0, "b"), 0);
  EXPECT_EQ(list.InsertItem(0, "C"), 1);
  EXPECT_EQ(list.InsertItem(5, "a"), 0);
  EXPECT_EQ(list.InsertItem(1, "10.0.0.0"), 0);
  EXPECT_EQ(list.InsertItem(1, "9.0.0.0"), 1);
  EXPECT_EQ(Labels(list), (std::vector<std::string>{"10.0.0.0", "9.0.0.0", "a", "b", "C"}));
  EXPECT_EQ(list.InsertItem(-1, "x"), -1);

  EXPECT_TRUE(list.SetItemText(3, 1, "mask"));
  EXPECT_FALSE(list.SetItemText(3, 2, "no such column"));
  EXPECT_FALSE(list.SetItemText(9, 1, "no such row"));
  EXPECT_EQ(list.ItemText(3, 1), "mask");
  EXPECT_EQ(list.ItemText(2, 1), "");

  EXPECT_EQ(list.FindItem("B"), 3);
  EXPECT_EQ(list.FindItem("9.0.0"), -1);  // whole labels only
  EXPECT_EQ(list.FindItem("b", 3), -1);   // searches after the given row
}

TEST(ListViewTest, UnsortedListInsertsAtTheIndexAndSortsWithAComparison) {
  ListView list;
  list.Attach(0, 100, nullptr);
  list.InsertItem(0, "b");
  list.InsertItem(0, "a");
  list.InsertItem(9, "c");
  EXPECT_EQ(Labels(list), (std::vector<std::string>{"a", "b", "c"}));
  for (int row = 0; row < 3; ++row) list.SetItemData(row, 10 + row);
  list.SetSelected(1, true);
  // Looks rows up by their data while sorting, descending by label.
  list.SortItems([&](std::intptr_t x, std::intptr_t y) {
    return -CompareIgnoreCase(list.ItemText(list.FindItemByData(x), 0), list.ItemText(list.FindItemByData(y), 0));
  });
  EXPECT_EQ(Labels(list), (std::vector<std::string>{"c", "b", "a"}));
  EXPECT_TRUE(list.IsSelected(1));  // selection moves with its row
  EXPECT_EQ(list.ItemData(0), 12);
}

TEST(ListViewTest, SelectionOfSeveralRowsAndDeletion) {
  ListView list;
  int changes = 0;
  list.Attach(0, 100, [&] { ++changes; });
  for (const char* label : {"a", "b", "c", "d"}) list.InsertItem(list.ItemCount(), label);
  list.SetSelected(1, true);
  list.SetSelected(3, true);
  EXPECT_EQ(list.SelectedCount(), 2);
  EXPECT_EQ(list.NextSelected(), 1);
  EXPECT_EQ(list.NextSelected(1), 3);
  EXPECT_EQ(list.NextSelected(3), -1);
  EXPECT_TRUE(list.DeleteItem(1));
  EXPECT_FALSE(list.DeleteItem(7));
  EXPECT_EQ(Labels(list), (std::vector<std::string>{"a", "c", "d"}));
  EXPECT_EQ(list.NextSelected(), 2);
  EXPECT_GT(changes, 6);

  ListView single;
  single.Attach(kListSingleSelection, 100, nullptr);
  single.InsertItem(0, "a");
  single.InsertItem(1, "b");
  single.SetSelected(0, true);
  single.SetSelected(1, true);
  EXPECT_EQ(single.SelectedCount(), 1);
  EXPECT_TRUE(single.IsSelected(1));
}

class ClickCountingList : public ListView {
 public:
  std::vector<int> clicks;
  bool OnColumnClick(int column) override {
    clicks.push_back(column);
    return true;
  }
};

class ListDialog : public Dialog {
 public:
  static constexpr int kList = 50;
  ListDialog()
      : Dialog({9,
                "List",
                "MS Sans Serif",
                8,
                100,
                100,
                true,
                {{kIdOk, ControlClass::DefaultPushButton, 0, {5, 80, 30, 14}, "OK"},
                 {kList, ControlClass::ListView, kListSortAscending, {4, 4, 80, 60}, ""}}}) {
    BindListView(kList, rows);
  }
  ClickCountingList rows;

 protected:
  bool OnInitDialog() override {
    rows.InsertColumn(0, "Name", rows.ClientWidth());
    for (const char* label : {"b", "a", "c"}) rows.InsertItem(0, label);
    return Dialog::OnInitDialog();
  }
};

TEST(ListViewInDialogTest, BoundListIsEmptiedPerOpeningAndGetsTheUsersActions) {
  HeadlessDialogBackend backend;
  SetDialogBackend(&backend);
  ListDialog dialog;
  backend.QueueDialog([&](DialogDriver& user) {
    ListView* list = user.Target().ListViewOf(ListDialog::kList);
    ASSERT_EQ(list, &dialog.rows);
    EXPECT_EQ(list->ClientWidth(), 80 * 6 / 4 - 4);
    EXPECT_EQ(Labels(*list), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(user.SelectRows(ListDialog::kList, {0, 2}));
    EXPECT_EQ(list->SelectedCount(), 2);
    EXPECT_FALSE(user.SelectRows(ListDialog::kList, {3}));
    EXPECT_TRUE(user.ClickColumnHeader(ListDialog::kList, 0));
    EXPECT_FALSE(user.ClickColumnHeader(ListDialog::kList, 1));
    user.Target().EnableItem(ListDialog::kList, false);
    EXPECT_FALSE(user.ClickColumnHeader(ListDialog::kList, 0));
    EXPECT_FALSE(user.SelectRows(ListDialog::kList, {1}));
  });
  backend.QueueDialog([&](DialogDriver& user) {
    EXPECT_EQ(user.Target().ListViewOf(ListDialog::kList)->ItemCount(), 3);
    EXPECT_TRUE(user.Target().IsItemEnabled(ListDialog::kList));
  });
  dialog.DoModal();
  dialog.DoModal();
  EXPECT_EQ(dialog.rows.clicks, std::vector<int>{0});
  SetDialogBackend(nullptr);
}

}  // namespace
