#include <gtest/gtest.h>

#include "dialogs/data_exchange.h"
#include "dialogs/dialog.h"
#include "dialogs/file_error_message.h"
#include "dialogs/headless_dialog_backend.h"
#include "dialogs/string_table.h"

namespace {

using namespace platform;

constexpr int kNumberEdit = 100;
constexpr int kTextEdit = 101;
constexpr int kCheck = 102;
constexpr int kLabel = 103;
constexpr int kLaterNumber = 104;
constexpr int kDisabledButton = 105;

DialogTemplate TestTemplate() {
  using enum ControlClass;
  return {7,
          "Test",
          "MS Sans Serif",
          8,
          100,
          60,
          true,
          {{kIdOk, DefaultPushButton, 0, {10, 40, 30, 14}, "OK"},
           {kIdCancel, PushButton, 0, {50, 40, 30, 14}, "Cancel"},
           {kLabel, Static, 0, {5, 5, 40, 8}, "label"},
           {kNumberEdit, Edit, 0, {5, 15, 20, 12}, ""},
           {kTextEdit, Edit, kEditAutoHScroll, {30, 15, 20, 12}, ""},
           {kCheck, CheckBox, 0, {55, 15, 40, 10}, "check"},
           {kLaterNumber, Edit, 0, {5, 28, 20, 12}, ""},
           {kDisabledButton, PushButton, kStyleDisabled, {60, 28, 30, 10}, "off"}}};
}

class TestDialog : public Dialog {
 public:
  TestDialog() : Dialog(TestTemplate()) {}
  std::uint32_t number = 5;
  std::string text = "ab";
  int checked = 1;
  std::uint32_t laterNumber = 9;
  std::vector<int> commands;

  void OnCommand(int id) override {
    commands.push_back(id);
    Dialog::OnCommand(id);
  }

 protected:
  void DoDataExchange(DataExchange& exchange) override {
    exchange.Number(kNumberEdit, number);
    exchange.MinMax(number, 0, 999);
    exchange.Text(kTextEdit, text);
    exchange.MaxChars(text, 3);
    exchange.Check(kCheck, checked);
    exchange.Number(kLaterNumber, laterNumber);
  }
};

class DialogFrameworkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDialogBackend(&backend);
    savedTitle = ApplicationTitle();
    SetApplicationTitle("FrameworkTest");
  }
  void TearDown() override {
    SetDialogBackend(nullptr);
    SetApplicationTitle(savedTitle);
  }

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const MessageBoxRecord& box : backend.MessageBoxes()) texts.push_back(box.text);
    return texts;
  }

  HeadlessDialogBackend backend;
  std::string savedTitle;
};

TEST(ParseUnsignedTest, AcceptsDecimalWithBlanksAndRejectsTheRest) {
  std::uint32_t value = 0;
  EXPECT_TRUE(ParseUnsigned(" \t42  ", value));
  EXPECT_EQ(value, 42u);
  EXPECT_TRUE(ParseUnsigned("+7", value));
  EXPECT_EQ(value, 7u);
  EXPECT_TRUE(ParseUnsigned("99999999999", value));
  EXPECT_EQ(value, 0xFFFFFFFFu);
  value = 3;
  for (const char* bad : {"", "   ", "-1", "4x", "1 2", "0x10", "+", "1.5"}) {
    EXPECT_FALSE(ParseUnsigned(bad, value)) << bad;
  }
  EXPECT_EQ(value, 3u);
}

TEST(FormatMessageTextTest, ReplacesNumberedArguments) {
  EXPECT_EQ(FormatMessageText("between %1 and %2.", {"0", "999"}), "between 0 and 999.");
  EXPECT_EQ(FormatMessageText("%2%1 100%% %3", {"a", "b"}), "ba 100% ");
  const StringTable table{{5, "five"}};
  EXPECT_EQ(table.Load(5), "five");
  EXPECT_EQ(table.Load(6), "");
}

TEST(FileErrorMessageTest, NamesTheFileWithTheCause) {
  const std::string path = "/etc/korevnts/KorEvntS.ini";
  EXPECT_EQ(FileErrorMessage({FileError::AccessDenied, 13}, path), "Access to " + path + " was denied.");
  EXPECT_EQ(FileErrorMessage({FileError::SharingViolation, 16}, path),
            "A sharing violation occurred while accessing " + path + ".");
  EXPECT_EQ(FileErrorMessage({FileError::DiskFull, 28}, path), "Disk full while accessing " + path + ".");
  EXPECT_EQ(FileErrorMessage({FileError::Other, 5}, path), "An unexpected error occurred while accessing " + path + ".");
}

TEST_F(DialogFrameworkTest, ModalRunLoadsMembersAndOkSavesThem) {
  TestDialog dialog;
  backend.QueueDialog([](DialogDriver& user) {
    Dialog& d = user.Target();
    EXPECT_EQ(d.ItemText(kNumberEdit), "5");
    EXPECT_EQ(d.ItemText(kTextEdit), "ab");
    EXPECT_TRUE(d.IsChecked(kCheck));
    EXPECT_EQ(d.ItemText(kLabel), "label");
    EXPECT_EQ(d.FocusedId(), kIdOk);  // the first control of the tab order
    EXPECT_EQ(d.Control(kTextEdit)->textLimit, 3u);
    EXPECT_TRUE(user.Type(kNumberEdit, " 12 "));
    EXPECT_TRUE(user.Type(kTextEdit, "xyzzy"));  // typing stops at the limit
    EXPECT_EQ(d.ItemText(kTextEdit), "xyz");
    EXPECT_TRUE(user.Click(kCheck));
    EXPECT_FALSE(user.Click(kDisabledButton));
    EXPECT_FALSE(user.Type(kLabel, "no"));
    EXPECT_TRUE(user.Click(kIdOk));
  });
  EXPECT_EQ(dialog.DoModal(), kIdOk);
  EXPECT_EQ(dialog.number, 12u);
  EXPECT_EQ(dialog.text, "xyz");
  EXPECT_EQ(dialog.checked, 0);
  EXPECT_EQ(dialog.commands, (std::vector<int>{kCheck, kIdOk}));
  EXPECT_FALSE(dialog.IsOpen());
  EXPECT_TRUE(backend.MessageBoxes().empty());
}

TEST_F(DialogFrameworkTest, FailingFieldShowsItsMessageTakesFocusAndStopsTheTransfer) {
  TestDialog dialog;
  backend.QueueDialog([](DialogDriver& user) {
    Dialog& d = user.Target();
    user.Type(kNumberEdit, "-3");
    user.Type(kLaterNumber, "77");
    EXPECT_TRUE(user.Click(kIdOk));
    EXPECT_FALSE(d.HasEnded());
    EXPECT_EQ(d.FocusedId(), kNumberEdit);
    user.Type(kNumberEdit, "1000");
    user.Click(kIdOk);
    EXPECT_EQ(d.FocusedId(), kNumberEdit);
    user.Type(kNumberEdit, "999");
    user.Type(kLaterNumber, "abc");
    user.Click(kIdOk);
    EXPECT_EQ(d.FocusedId(), kLaterNumber);
    EXPECT_FALSE(d.HasEnded());
    user.Cancel();
  });
  EXPECT_EQ(dialog.DoModal(), kIdCancel);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Please enter a positive integer.",
                                                      "Please enter an integer between 0 and 999.",
                                                      "Please enter a positive integer."}));
  EXPECT_EQ(backend.MessageBoxes()[0].caption, "FrameworkTest");
  // The fields before the failing one were taken; the one after it never was.
  EXPECT_EQ(dialog.number, 999u);
  EXPECT_EQ(dialog.laterNumber, 9u);
}

TEST_F(DialogFrameworkTest, TooLongTextFailsWithTheCharacterLimit) {
  TestDialog dialog;
  backend.QueueDialog([](DialogDriver& user) {
    // Typing cannot exceed the limit; the program can.
    user.Target().SetItemText(kTextEdit, "abcd");
    user.Click(kIdOk);
    EXPECT_EQ(user.Target().FocusedId(), kTextEdit);
  });
  EXPECT_EQ(dialog.DoModal(), kIdCancel);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Please enter no more than 3 characters."});
}

TEST_F(DialogFrameworkTest, UnscriptedDialogIsCancelledAndMessageBoxesAnswerFromTheQueue) {
  TestDialog dialog;
  EXPECT_EQ(dialog.DoModal(), kIdCancel);
  EXPECT_EQ(backend.UnscriptedDialogs(), 1);
  EXPECT_EQ(backend.DialogsRun(), std::vector<int>{7});

  backend.QueueMessageBoxAnswer(kIdNo);
  EXPECT_EQ(MessageBox("Sure?", "Q", MessageBoxButtons::YesNo, MessageBoxIcon::Question), kIdNo);
  EXPECT_EQ(MessageBox("Sure?", "Q", MessageBoxButtons::YesNo, MessageBoxIcon::Question), kIdYes);
  EXPECT_EQ(MessageBox("Note", "Q"), kIdOk);
  ASSERT_EQ(backend.MessageBoxes().size(), 3u);
  EXPECT_EQ(backend.MessageBoxes()[0].answer, kIdNo);
  EXPECT_EQ(backend.MessageBoxes()[2].buttons, MessageBoxButtons::Ok);
}

TEST_F(DialogFrameworkTest, ReportFileErrorShowsTheMessage) {
  ReportFileError({FileError::AccessDenied, 13}, "/x/KorEvntS.ini");
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Access to /x/KorEvntS.ini was denied."});
}

TEST_F(DialogFrameworkTest, ControlsAreMadeAnewAtEachOpening) {
  TestDialog dialog;
  backend.QueueDialog([](DialogDriver& user) {
    user.Target().EnableItem(kDisabledButton, true);
    user.Target().SetItemText(kLabel, "changed");
    EXPECT_TRUE(user.Click(kDisabledButton));
  });
  backend.QueueDialog([](DialogDriver& user) {
    EXPECT_FALSE(user.Target().IsItemEnabled(kDisabledButton));
    EXPECT_EQ(user.Target().ItemText(kLabel), "label");
  });
  dialog.DoModal();
  dialog.DoModal();
  EXPECT_EQ(backend.PendingScripts(), 0u);
  EXPECT_EQ(dialog.ItemText(kLabel), "");  // no window, no controls
}

TEST(DialogBaseUnitsTest, QuarterCharacterAcrossEighthDown) {
  const DialogBaseUnits units{8, 16};
  EXPECT_EQ(units.ToPixelsX(4), 8);
  EXPECT_EQ(units.ToPixelsY(8), 16);
  const DialogRect rect = units.ToPixels({10, 20, 30, 40});
  EXPECT_EQ(rect.x, 20);
  EXPECT_EQ(rect.y, 40);
  EXPECT_EQ(rect.width, 60);
  EXPECT_EQ(rect.height, 80);
}

}  // namespace
