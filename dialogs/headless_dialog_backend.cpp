#include "dialogs/headless_dialog_backend.h"

#include "dialogs/dialog.h"

namespace platform {

int HeadlessDialogBackend::RunModal(Dialog& dialog) {
  dialogsRun_.push_back(dialog.Template().resourceId);
  dialog.Create(nullptr, DialogBaseUnits{});
  if (!dialog.HasEnded()) {
    DialogDriver driver(dialog);
    if (scripts_.empty()) {
      ++unscripted_;
    } else {
      Script script = std::move(scripts_.front());
      scripts_.pop_front();
      script(driver);
    }
    if (!dialog.HasEnded()) driver.Cancel();
    if (!dialog.HasEnded()) dialog.EndDialog(kIdCancel);
  }
  const int result = dialog.Result();
  dialog.Destroy();
  return result;
}

int HeadlessDialogBackend::ShowMessageBox(std::string_view text, std::string_view caption, MessageBoxButtons buttons,
                                          MessageBoxIcon icon) {
  int answer = buttons == MessageBoxButtons::YesNo || buttons == MessageBoxButtons::YesNoCancel ? kIdYes : kIdOk;
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  messageBoxes_.push_back({std::string(text), std::string(caption), buttons, icon, answer});
  return answer;
}

}  // namespace platform
