#pragma once
// Where dialogs and message boxes appear: a window system, or the headless
// backend that tests drive. One backend serves the whole process.

#include <string_view>

#include "dialogs/message_box.h"

namespace platform {

class Dialog;

class DialogBackend {
 public:
  virtual ~DialogBackend() = default;
  // Creates the dialog's window, runs it until it ends and takes it down.
  // Returns the dialog's result, or -1 when no window could be made.
  virtual int RunModal(Dialog& dialog) = 0;
  virtual int ShowMessageBox(std::string_view text, std::string_view caption, MessageBoxButtons buttons,
                             MessageBoxIcon icon) = 0;
};

// The backend of the system's own windows: FLTK on X11, dialog windows on
// Windows.
DialogBackend& WindowDialogBackend();

// The installed backend, else the window backend.
DialogBackend& CurrentDialogBackend();
// Installs backend for the whole process; null restores the window backend.
// The caller keeps the backend alive while it is installed.
void SetDialogBackend(DialogBackend* backend);

}  // namespace platform
