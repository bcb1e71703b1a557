// The Win32 window backend of the dialog framework, driven as a user would
// from another thread: the dialog runs modally on its own thread, the test
// finds its window by title and works its controls with window messages.

#include <gtest/gtest.h>

#include "dialogs/data_exchange.h"
#include "dialogs/dialog.h"
#include "dialogs/dialog_backend.h"
#include "platform/display.h"

#include <windows.h>
#include <commctrl.h>
#undef MessageBox  // the framework's, not the system's ANSI/wide macro

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace {

using namespace platform;

constexpr int kNumberEdit = 100;
constexpr int kTextEdit = 101;
constexpr int kCheck = 102;
constexpr int kLabel = 103;
constexpr int kList = 104;
constexpr int kDisabledButton = 105;
constexpr int kOpenOther = 106;
constexpr auto kPatience = std::chrono::seconds(20);

// Titles carry the process id: tests running beside this one share the desktop.
std::string Unique(const std::string& title) { return title + " " + std::to_string(GetCurrentProcessId()); }

DialogTemplate TestTemplate(const std::string& caption) {
  using enum ControlClass;
  return {7,
          caption,
          "MS Sans Serif",
          8,
          180,
          110,
          true,
          {{kIdOk, DefaultPushButton, 0, {10, 90, 40, 14}, "OK"},
           {kIdCancel, PushButton, 0, {60, 90, 40, 14}, "Cancel"},
           {kLabel, Static, 0, {5, 5, 40, 8}, "label"},
           {kNumberEdit, Edit, kEditCentered | kEditAutoHScroll, {5, 15, 30, 12}, ""},
           {kTextEdit, Edit, kEditAutoHScroll, {40, 15, 30, 12}, ""},
           {kCheck, CheckBox, 0, {75, 15, 50, 10}, "check"},
           {kList, ListView, kListSortAscending | kListBorder, {5, 32, 120, 50}, ""},
           {kDisabledButton, PushButton, kStyleDisabled, {130, 32, 40, 14}, "off"},
           {kOpenOther, PushButton, 0, {130, 50, 40, 14}, "other"}}};
}

// Sorts by the clicked column, descending, and counts the clicks.
class DescendingList : public ListView {
 public:
  int clicks = 0;
  bool OnColumnClick(int column) override {
    ++clicks;
    SortItems([this, column](std::intptr_t a, std::intptr_t b) {
      return CompareIgnoreCase(ItemText(FindItemByData(b), column), ItemText(FindItemByData(a), column));
    });
    return true;
  }
};

class TestDialog : public Dialog {
 public:
  explicit TestDialog(const std::string& caption) : Dialog(TestTemplate(caption)) { BindListView(kList, rows); }
  std::uint32_t number = 5;
  std::string text = "ab";
  int checked = 1;
  std::vector<int> commands;
  DescendingList rows;
  std::function<void()> onOther;

  void OnCommand(int id) override {
    commands.push_back(id);
    if (id == kOpenOther && onOther) onOther();
    Dialog::OnCommand(id);
  }

 protected:
  bool OnInitDialog() override {
    Dialog::OnInitDialog();
    rows.InsertColumn(0, "Name", rows.ClientWidth() / 2);
    rows.InsertColumn(1, "Value", rows.ClientWidth() / 2);
    std::intptr_t data = 0;
    for (const char* name : {"beta", "Gamma", "Alpha"}) {
      const int row = rows.InsertItem(rows.ItemCount(), name);
      rows.SetItemText(row, 1, std::string(name) + "-value");
      rows.SetItemData(row, data++);
    }
    return true;
  }

  void DoDataExchange(DataExchange& exchange) override {
    exchange.Number(kNumberEdit, number);
    exchange.MinMax(number, 0, 999);
    exchange.Text(kTextEdit, text);
    exchange.MaxChars(text, 3);
    exchange.Check(kCheck, checked);
  }
};

template <typename Condition>
bool WaitFor(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// A visible top-level window with this title, or null after the wait.
HWND WaitForWindow(const std::string& title) {
  HWND window = nullptr;
  WaitFor([&] {
    window = FindWindowA(nullptr, title.c_str());
    return window && IsWindowVisible(window);
  });
  return window;
}

bool WaitUntilGone(const std::string& title) { return WaitFor([&] { return !FindWindowA(nullptr, title.c_str()); }); }

// Runs something modal on its own thread, as Control Panel would call the applet.
class ModalThread {
 public:
  explicit ModalThread(std::function<int()> run)
      : thread_([this, run = std::move(run)] {
          threadId_ = GetCurrentThreadId();
          result_ = run();
          done_ = true;
        }) {}
  ~ModalThread() {
    if (thread_.joinable()) thread_.join();
  }
  // The result, once the modal run has ended.
  int Join() {
    EXPECT_TRUE(WaitFor([this] { return done_.load(); })) << "the modal run did not end";
    if (done_) thread_.join();
    return result_;
  }
  HWND Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(threadId_, &info) ? info.hwndFocus : nullptr;
  }

 private:
  std::atomic<DWORD> threadId_{0};
  std::atomic<int> result_{0};
  std::atomic<bool> done_{false};
  std::thread thread_;
};

std::string Text(HWND window) {
  char buffer[256] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

std::string CellText(HWND list, int row, int column) {
  char buffer[256] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return buffer;
}

std::vector<std::string> Labels(HWND list) {
  std::vector<std::string> labels;
  const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) labels.push_back(CellText(list, row, 0));
  return labels;
}

std::string Heading(HWND list, int column) {
  char buffer[64] = {};
  HDITEMA item{};
  item.mask = HDI_TEXT;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  SendMessageA(reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0)), HDM_GETITEMA,
               static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
  return buffer;
}

// A mouse click on a column's header, as the user makes it.
void ClickHeader(HWND list, int column) {
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  RECT cell{};
  SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&cell));
  const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
  SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(header, WM_LBUTTONUP, 0, at);
}

// Where a control sits in its dialog, in dialog units turned into pixels.
RECT PlacedAt(HWND dialog, HWND control) {
  RECT placed{};
  GetWindowRect(control, &placed);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
  return placed;
}

// The dialog manager turns the origin and the size into pixels each on its own.
void ExpectPlaced(HWND dialog, int id, DialogRect at) {
  RECT pixels{at.x, at.y, at.width, at.height};
  MapDialogRect(dialog, &pixels);
  const RECT placed = PlacedAt(dialog, GetDlgItem(dialog, id));
  EXPECT_EQ(placed.left, pixels.left) << id;
  EXPECT_EQ(placed.top, pixels.top) << id;
  EXPECT_EQ(placed.right - placed.left, pixels.right) << id;
  EXPECT_EQ(placed.bottom - placed.top, pixels.bottom) << id;
}

class Win32DialogBackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HasDisplay()) GTEST_SKIP() << "no window can be made on " << DisplayName() << " (under Wine: no X display)";
    SetDialogBackend(nullptr);  // the window backend
    SetApplicationTitle(messageTitle);
  }
  void TearDown() override { SetApplicationTitle(""); }

  const std::string messageTitle = Unique("Win32DialogBackendTest");
};

TEST_F(Win32DialogBackendTest, ControlsFollowTheTemplateAndOkRunsTheDataExchange) {
  const std::string caption = Unique("Backend dialog");
  TestDialog dialog(caption);
  ModalThread modal([&] { return dialog.DoModal(); });
  HWND window = WaitForWindow(caption);
  ASSERT_NE(window, nullptr) << "no window \"" << caption << "\"";

  // The members went into the controls, at the template's places.
  EXPECT_EQ(Text(GetDlgItem(window, kNumberEdit)), "5");
  EXPECT_EQ(Text(GetDlgItem(window, kTextEdit)), "ab");
  EXPECT_EQ(Text(GetDlgItem(window, kLabel)), "label");
  EXPECT_EQ(IsDlgButtonChecked(window, kCheck), UINT{BST_CHECKED});
  EXPECT_EQ(SendDlgItemMessageA(window, kTextEdit, EM_GETLIMITTEXT, 0, 0), 3);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, kDisabledButton)));
  EXPECT_TRUE(GetWindowLongA(GetDlgItem(window, kNumberEdit), GWL_STYLE) & ES_CENTER);
  EXPECT_TRUE(WaitFor([&] { return modal.Focus() == GetDlgItem(window, kIdOk); }));
  ExpectPlaced(window, kNumberEdit, {5, 15, 30, 12});
  ExpectPlaced(window, kList, {5, 32, 120, 50});
  ExpectPlaced(window, kIdCancel, {60, 90, 40, 14});

  // The list view shows the list's columns and its rows in sorted order.
  HWND list = GetDlgItem(window, kList);
  char className[64] = {};
  GetClassNameA(list, className, sizeof className);
  EXPECT_STREQ(className, "SysListView32");
  EXPECT_EQ(GetWindowLongA(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_EQ(Heading(list, 0), "Name");
  EXPECT_EQ(Heading(list, 1), "Value");
  EXPECT_EQ(Labels(list), (std::vector<std::string>{"Alpha", "beta", "Gamma"}));
  EXPECT_EQ(CellText(list, 2, 1), "Gamma-value");

  // A number out of range: the message shows, the field gets the focus, the dialog stays.
  SetDlgItemTextA(window, kNumberEdit, "1000");
  PostMessageA(GetDlgItem(window, kIdOk), BM_CLICK, 0, 0);
  HWND box = WaitForWindow(messageTitle);
  ASSERT_NE(box, nullptr) << "no message box";
  EXPECT_EQ(Text(GetDlgItem(box, 0xFFFF)), "Please enter an integer between 0 and 999.");
  EXPECT_EQ(GetWindow(box, GW_OWNER), window);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitUntilGone(messageTitle));
  EXPECT_TRUE(WaitFor([&] { return modal.Focus() == GetDlgItem(window, kNumberEdit); }));
  EXPECT_TRUE(IsWindow(window));

  // Typing stops at the limit; the check box and a row selection are taken.
  SetDlgItemTextA(window, kNumberEdit, " 42 ");
  SetDlgItemTextA(window, kTextEdit, "xyzzy");
  EXPECT_EQ(Text(GetDlgItem(window, kTextEdit)), "xyz");
  SendDlgItemMessageA(window, kCheck, BM_CLICK, 0, 0);
  EXPECT_EQ(IsDlgButtonChecked(window, kCheck), UINT{BST_UNCHECKED});
  SendMessageA(GetDlgItem(window, kDisabledButton), BM_CLICK, 0, 0);
  LVITEMA selected{};
  selected.stateMask = LVIS_SELECTED;
  selected.state = LVIS_SELECTED;
  SendMessageA(list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&selected));
  PostMessageA(GetDlgItem(window, kIdOk), BM_CLICK, 0, 0);

  EXPECT_EQ(modal.Join(), kIdOk);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(dialog.number, 42u);
  EXPECT_EQ(dialog.text, "xyz");
  EXPECT_EQ(dialog.checked, 0);
  EXPECT_EQ(dialog.commands, (std::vector<int>{kIdOk, kCheck, kIdOk}));
  EXPECT_TRUE(dialog.rows.IsSelected(2));
  EXPECT_EQ(dialog.rows.SelectedCount(), 1);
  EXPECT_FALSE(dialog.IsOpen());
}

TEST_F(Win32DialogBackendTest, HeaderClickSortsEscapeCancelsAndADialogOpenedFromAnotherIsOwnedByIt) {
  const std::string caption = Unique("Sorting dialog");
  const std::string otherCaption = Unique("Other dialog");
  TestDialog dialog(caption);
  TestDialog other(otherCaption);
  HWND ownerSeen = nullptr;
  bool ownerEnabled = true;
  int otherResult = 0;
  dialog.onOther = [&] { otherResult = other.DoModal(); };
  ModalThread modal([&] { return dialog.DoModal(); });
  HWND window = WaitForWindow(caption);
  ASSERT_NE(window, nullptr);
  HWND list = GetDlgItem(window, kList);

  ClickHeader(list, 1);
  EXPECT_EQ(dialog.rows.clicks, 1);
  EXPECT_EQ(Labels(list), (std::vector<std::string>{"Gamma", "beta", "Alpha"}));
  EXPECT_EQ(CellText(list, 0, 1), "Gamma-value");

  PostMessageA(GetDlgItem(window, kOpenOther), BM_CLICK, 0, 0);
  HWND second = WaitForWindow(otherCaption);
  ASSERT_NE(second, nullptr);
  ownerSeen = GetWindow(second, GW_OWNER);
  ownerEnabled = IsWindowEnabled(window);
  SetDlgItemTextA(second, kNumberEdit, "7");
  PostMessageA(second, WM_COMMAND, IDOK, 0);  // the Return key
  EXPECT_TRUE(WaitUntilGone(otherCaption));
  EXPECT_EQ(ownerSeen, window);
  EXPECT_FALSE(ownerEnabled);
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(window) != FALSE; }));

  SetDlgItemTextA(window, kNumberEdit, "8");
  PostMessageA(window, WM_COMMAND, IDCANCEL, 0);  // the Escape key
  EXPECT_EQ(modal.Join(), kIdCancel);
  EXPECT_EQ(otherResult, kIdOk);
  EXPECT_EQ(other.number, 7u);
  EXPECT_EQ(dialog.number, 5u);
}

TEST_F(Win32DialogBackendTest, MessageBoxesShowTheirButtonsAndAnswerWithThePressedOne) {
  const std::string caption = Unique("Question");
  ModalThread question(
      [&] { return MessageBox("Save the changes?", caption, MessageBoxButtons::YesNoCancel, MessageBoxIcon::Question); });
  HWND box = WaitForWindow(caption);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(Text(GetDlgItem(box, 0xFFFF)), "Save the changes?");
  EXPECT_NE(GetDlgItem(box, IDYES), nullptr);
  EXPECT_NE(GetDlgItem(box, IDNO), nullptr);
  EXPECT_NE(GetDlgItem(box, IDCANCEL), nullptr);
  EXPECT_EQ(GetDlgItem(box, IDOK), nullptr);
  PostMessageA(box, WM_COMMAND, IDNO, 0);
  EXPECT_EQ(question.Join(), kIdNo);

  ModalThread note([&] { return MessageBox("Done.", caption, MessageBoxButtons::OkCancel, MessageBoxIcon::Information); });
  box = WaitForWindow(caption);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(GetDlgItem(box, IDYES), nullptr);
  PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(note.Join(), kIdCancel);
}

}  // namespace
