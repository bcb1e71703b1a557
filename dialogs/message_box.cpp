#include "dialogs/message_box.h"

#include "dialogs/dialog_backend.h"
#include "platform/critical_section.h"
#include "platform/path_search.h"

namespace platform {

namespace {
CriticalSection titleMutex;
std::string applicationTitle GUARDED_BY(titleMutex);
}  // namespace

int MessageBox(std::string_view text, std::string_view caption, MessageBoxButtons buttons, MessageBoxIcon icon) {
  return CurrentDialogBackend().ShowMessageBox(text, caption, buttons, icon);
}

void SetApplicationTitle(std::string title) {
  ScopedLock lock(titleMutex);
  applicationTitle = std::move(title);
}

std::string ApplicationTitle() {
  {
    ScopedLock lock(titleMutex);
    if (!applicationTitle.empty()) return applicationTitle;
  }
  const std::string program = ProgramPath();
  return program.substr(program.find_last_of('/') + 1);
}

}  // namespace platform
