#include "platform/win32/win32_dialog_backend.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "dialogs/dialog.h"
#include "platform/win32/in_memory_dialog_template.h"
#include "platform/win32/win32_dialog_view.h"

namespace platform {

namespace {

// The dialogs open on this thread, the last opened last: a dialog or message
// box opened from another is owned by it, which keeps the other disabled.
thread_local std::vector<HWND> openDialogs;

HWND OwnerWindow() { return openDialogs.empty() ? GetActiveWindow() : openDialogs.back(); }

void LoadCommonControls() {
  static const bool loaded = [] {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)loaded;
}

Win32DialogView* ViewOf(HWND window) {
  return reinterpret_cast<Win32DialogView*>(GetWindowLongPtrA(window, DWLP_USER));
}

INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* view = reinterpret_cast<Win32DialogView*>(lParam);
    SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(view));
    openDialogs.push_back(window);
    return view->Initialize(window) ? TRUE : FALSE;
  }
  Win32DialogView* view = ViewOf(window);
  if (!view) return FALSE;
  switch (message) {
    case WM_COMMAND:
      return view->HandleCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_NOTIFY: {
      std::intptr_t result = 0;
      if (!view->HandleNotify(reinterpret_cast<const NMHDR*>(lParam), result)) return FALSE;
      SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
      return TRUE;
    }
    case WM_DESTROY:
      view->WindowDestroyed();
      std::erase(openDialogs, window);
      return FALSE;
    default:
      return FALSE;
  }
}

UINT ButtonsStyle(MessageBoxButtons buttons) {
  switch (buttons) {
    case MessageBoxButtons::OkCancel:
      return MB_OKCANCEL;
    case MessageBoxButtons::YesNo:
      return MB_YESNO;
    case MessageBoxButtons::YesNoCancel:
      return MB_YESNOCANCEL;
    case MessageBoxButtons::Ok:
      break;
  }
  return MB_OK;
}

UINT IconStyle(MessageBoxIcon icon) {
  switch (icon) {
    case MessageBoxIcon::Error:
      return MB_ICONERROR;
    case MessageBoxIcon::Warning:
      return MB_ICONWARNING;
    case MessageBoxIcon::Information:
      return MB_ICONINFORMATION;
    case MessageBoxIcon::Question:
      return MB_ICONQUESTION;
    case MessageBoxIcon::None:
      break;
  }
  return 0;
}

int Answer(int pressed) {
  switch (pressed) {
    case IDOK:
      return kIdOk;
    case IDCANCEL:
      return kIdCancel;
    case IDYES:
      return kIdYes;
    case IDNO:
      return kIdNo;
    default:
      return 0;
  }
}

}  // namespace

int Win32DialogBackend::RunModal(Dialog& dialog) {
  LoadCommonControls();
  const InMemoryDialogTemplate layout(dialog.Template());
  Win32DialogView view(dialog);
  const INT_PTR ended =
      DialogBoxIndirectParamA(GetModuleHandleA(nullptr), static_cast<LPCDLGTEMPLATEA>(layout.Data()), OwnerWindow(),
                              DialogProcedure, reinterpret_cast<LPARAM>(&view));
  if (!dialog.IsOpen()) return -1;  // the window was never made
  // A window taken down by someone else is a cancelled dialog.
  if (ended == -1 || !dialog.HasEnded()) dialog.EndDialog(kIdCancel);
  const int result = dialog.Result();
  dialog.Destroy();
  return result;
}

int Win32DialogBackend::ShowMessageBox(std::string_view text, std::string_view caption, MessageBoxButtons buttons,
                                       MessageBoxIcon icon) {
  HWND owner = OwnerWindow();
  const UINT style = ButtonsStyle(buttons) | IconStyle(icon) | (owner ? 0 : MB_TASKMODAL);
  return Answer(MessageBoxA(owner, std::string(text).c_str(), std::string(caption).c_str(), style));
}

DialogBackend& WindowDialogBackend() {
  static Win32DialogBackend windowBackend;
  return windowBackend;
}

}  // namespace platform
