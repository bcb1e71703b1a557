#pragma once
// One open dialog's window on Windows: keeps the real controls in step with
// the dialog's controls and hands what the user does to a DialogDriver.
// Changes made while the view handles a message are gathered and shown once
// the handling is over, so that a control is never redrawn half-way through.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "dialogs/dialog.h"
#include "dialogs/dialog_driver.h"

namespace platform {

class Win32DialogView : public DialogView {
 public:
  explicit Win32DialogView(Dialog& dialog) : dialog_(dialog), driver_(dialog) {}

  // The dialog's window has been made (WM_INITDIALOG): runs the dialog's start.
  // False when the start gave the focus to a control itself.
  bool Initialize(void* window);
  // The dialog procedure's share of the window's messages. True when handled;
  // result is what the message answers.
  bool HandleCommand(int id, int code);
  bool HandleNotify(const void* header, std::intptr_t& result);
  void WindowDestroyed() { window_ = nullptr; }

  void ControlChanged(int id) override;
  void CaptionChanged() override;
  void FocusChanged(int id) override;

 private:
  struct ListState {
    std::vector<ListView::Column> columns;
    std::vector<ListView::Row> rows;
  };

  // Gathers changes while the dialog handles one message, then shows them.
  class Batch {
   public:
    explicit Batch(Win32DialogView& view) : view_(view) { ++view_.batchDepth_; }
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

   private:
    Win32DialogView& view_;
  };

  void* Item(int id) const;
  void SyncControl(int id);
  void SyncList(void* list, const ListView& rows, ListState& shown);
  void SyncColumns(void* list, const ListView& rows, ListState& shown);
  void ApplyFocus(int id);
  void FinishBatch();
  void OnListSelectionChanged(int id);

  Dialog& dialog_;
  DialogDriver driver_;
  void* window_ = nullptr;
  int batchDepth_ = 0;
  int syncing_ = 0;  // changes made to the controls by the view itself, not by the user
  std::set<int> dirty_;
  int pendingFocus_ = kNoControlId;
  std::map<int, ListState> lists_;
};

}  // namespace platform
