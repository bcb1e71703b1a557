#pragma once
// Message boxes, shown by the current dialog backend.

#include <string>
#include <string_view>

namespace platform {

// Results of message boxes and dialogs; also the ids of the OK and Cancel buttons.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

enum class MessageBoxButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageBoxIcon { None, Error, Warning, Information, Question };

// Shows a modal message box and returns the id of the button chosen.
int MessageBox(std::string_view text, std::string_view caption, MessageBoxButtons buttons = MessageBoxButtons::Ok,
               MessageBoxIcon icon = MessageBoxIcon::None);

// The caption of the framework's own message boxes (validation, file errors):
// the application's title, by default the program's file name.
void SetApplicationTitle(std::string title);
std::string ApplicationTitle();

}  // namespace platform
