#pragma once
// A dialog backend without a window system, for tests. Each dialog that
// opens runs the next queued script, which acts through a DialogDriver as a
// user would; a dialog still open afterwards is cancelled. Message boxes are
// recorded and answered from a queue (else with their first button).

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/dialog_backend.h"
#include "dialogs/dialog_driver.h"

namespace platform {

struct MessageBoxRecord {
  std::string text;
  std::string caption;
  MessageBoxButtons buttons = MessageBoxButtons::Ok;
  MessageBoxIcon icon = MessageBoxIcon::None;
  int answer = 0;
};

class HeadlessDialogBackend : public DialogBackend {
 public:
  using Script = std::function<void(DialogDriver&)>;

  void QueueDialog(Script script) { scripts_.push_back(std::move(script)); }
  void QueueMessageBoxAnswer(int answer) { answers_.push_back(answer); }

  const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes_; }
  void ClearMessageBoxes() { messageBoxes_.clear(); }
  // Resource ids of the dialogs run so far, in order; and how many found no script.
  const std::vector<int>& DialogsRun() const { return dialogsRun_; }
  int UnscriptedDialogs() const { return unscripted_; }
  std::size_t PendingScripts() const { return scripts_.size(); }

  int RunModal(Dialog& dialog) override;
  int ShowMessageBox(std::string_view text, std::string_view caption, MessageBoxButtons buttons,
                     MessageBoxIcon icon) override;

 private:
  std::deque<Script> scripts_;
  std::deque<int> answers_;
  std::vector<MessageBoxRecord> messageBoxes_;
  std::vector<int> dialogsRun_;
  int unscripted_ = 0;
};

}  // namespace platform
