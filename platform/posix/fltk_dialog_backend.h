#pragma once
// Dialogs as FLTK windows laid out from their templates, for people.

#include "dialogs/dialog_backend.h"

namespace platform {

class FltkDialogBackend : public DialogBackend {
 public:
  // -1 without a display.
  int RunModal(Dialog& dialog) override;
  // Without a display the text goes to standard error and the first button is the answer.
  int ShowMessageBox(std::string_view text, std::string_view caption, MessageBoxButtons buttons,
                     MessageBoxIcon icon) override;
};

}  // namespace platform
