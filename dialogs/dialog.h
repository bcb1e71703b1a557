#pragma once
// Modal dialogs made from a template. A Dialog object outlives its windows:
// each DoModal makes the controls anew from the template, runs OnInitDialog,
// and lets the user work until EndDialog. The program reaches the controls by
// id; the user's actions arrive through a DialogDriver.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/dialog_template.h"
#include "dialogs/list_view.h"
#include "dialogs/message_box.h"

namespace platform {

class DataExchange;

// The live state of one control of an open dialog.
struct DialogControl {
  ControlTemplate layout;
  std::string text;
  bool checked = false;
  bool enabled = true;
  std::size_t textLimit = 0;  // edits: most characters the user can type, 0 for no limit
  ListView* list = nullptr;   // list views: the rows

  bool TakesFocus() const;
};

// What a backend shows of one open dialog; told of every change.
class DialogView {
 public:
  virtual ~DialogView() = default;
  virtual void ControlChanged(int id) = 0;
  virtual void CaptionChanged() = 0;
  virtual void FocusChanged(int id) = 0;
};

class Dialog {
 public:
  explicit Dialog(DialogTemplate layout);
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally with the current backend. Returns the result given
  // to EndDialog (kIdOk, kIdCancel, ...), or -1 when no window could be made.
  int DoModal();
  void EndDialog(int result);
  bool IsOpen() const { return open_; }
  bool HasEnded() const { return ended_; }
  const DialogTemplate& Template() const { return template_; }

  // Controls of the open dialog; a missing id reads as empty and ignores changes.
  std::string Caption() const { return caption_; }
  void SetCaption(std::string caption);
  std::string ItemText(int id) const;
  void SetItemText(int id, std::string text);
  bool IsChecked(int id) const;
  void SetChecked(int id, bool checked);
  bool IsItemEnabled(int id) const;
  void EnableItem(int id, bool enabled);
  void LimitText(int id, std::size_t maxChars);
  int FocusedId() const { return focusedId_; }
  void SetFocus(int id);
  ListView* ListViewOf(int id);
  const DialogControl* Control(int id) const;
  const std::vector<DialogControl>& Controls() const { return controls_; }
  const DialogBaseUnits& BaseUnits() const { return units_; }

  // Members into controls (false) or controls into members with their checks
  // (true). False when a field failed: its message was shown and it has the
  // focus; the transfer stopped there.
  bool UpdateData(bool saveAndValidate = true);

  // A message box with the application's title, owned by this dialog.
  int ShowMessage(std::string_view text, MessageBoxButtons buttons = MessageBoxButtons::Ok,
                  MessageBoxIcon icon = MessageBoxIcon::Warning);

  // For backends: makes the controls and runs OnInitDialog (view may be null),
  // and takes the window down after the modal run.
  void Create(DialogView* view, const DialogBaseUnits& units);
  void Destroy();
  int Result() const { return result_; }

  // The user's command: a button clicked, a check box ticked, Escape (kIdCancel).
  virtual void OnCommand(int id);

 protected:
  // Every window shows the rows of this list object in list view id.
  void BindListView(int id, ListView& list);

  // Transfers members into controls; true sets the focus to the first control
  // of the tab order.
  virtual bool OnInitDialog();
  virtual void DoDataExchange(DataExchange& exchange);
  // Transfers and checks, then ends with kIdOk; stays open when a field fails.
  virtual void OnOK();
  virtual void OnCancel();

 private:
  DialogControl* FindControl(int id);
  void Changed(int id);
  ListView* ListFor(const ControlTemplate& layout);

  DialogTemplate template_;
  std::map<int, ListView*> boundLists_;
  std::vector<std::unique_ptr<ListView>> ownLists_;
  std::vector<DialogControl> controls_;
  std::string caption_;
  DialogView* view_ = nullptr;
  DialogBaseUnits units_;
  int focusedId_ = kNoControlId;
  int result_ = -1;
  bool open_ = false;
  bool ended_ = false;
};

}  // namespace platform
