#pragma once
// The user's hand on an open dialog: what a person does with mouse and
// keyboard. Both backends deliver user actions through it, and tests drive
// the headless backend with it. Every action is refused (false) when the
// control is missing, disabled or of another kind, or the dialog has ended.

#include <string_view>
#include <vector>

namespace platform {

class Dialog;

class DialogDriver {
 public:
  explicit DialogDriver(Dialog& dialog) : dialog_(dialog) {}
  Dialog& Target() const { return dialog_; }

  // Replaces an edit's text, cut to its limit as typing would.
  bool Type(int id, std::string_view text);
  // Presses a button, or ticks or clears an automatic check box.
  bool Click(int id);
  // Selects exactly these rows of a list view.
  bool SelectRows(int id, const std::vector<int>& rows);
  bool ClickColumnHeader(int id, int column);
  bool Focus(int id);
  // Escape or the window's close box.
  bool Cancel();

 private:
  bool Usable(int id) const;

  Dialog& dialog_;
};

}  // namespace platform
