#pragma once
// Dialogs as Win32 dialog boxes made from their templates, and message boxes
// of the system.

#include "dialogs/dialog_backend.h"

namespace platform {

class Win32DialogBackend : public DialogBackend {
 public:
  // -1 when the dialog box cannot be made (no desktop, a template the system refuses).
  int RunModal(Dialog& dialog) override;
  // 0 when the message box cannot be shown.
  int ShowMessageBox(std::string_view text, std::string_view caption, MessageBoxButtons buttons,
                     MessageBoxIcon icon) override;
};

}  // namespace platform
