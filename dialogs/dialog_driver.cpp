#include "dialogs/dialog_driver.h"

#include <algorithm>

#include "dialogs/dialog.h"

namespace platform {

bool DialogDriver::Usable(int id) const {
  const DialogControl* control = dialog_.Control(id);
  return dialog_.IsOpen() && !dialog_.HasEnded() && control && control->enabled;
}

bool DialogDriver::Type(int id, std::string_view text) {
  if (!Usable(id) || dialog_.Control(id)->layout.controlClass != ControlClass::Edit) return false;
  const std::size_t limit = dialog_.Control(id)->textLimit;
  if (limit != 0 && text.size() > limit) text = text.substr(0, limit);
  dialog_.SetFocus(id);
  if (dialog_.ItemText(id) != text) dialog_.SetItemText(id, std::string(text));
  return true;
}

bool DialogDriver::Click(int id) {
  if (!Usable(id)) return false;
  switch (dialog_.Control(id)->layout.controlClass) {
    case ControlClass::CheckBox:
      dialog_.SetChecked(id, !dialog_.IsChecked(id));
      break;
    case ControlClass::PushButton:
    case ControlClass::DefaultPushButton:
      break;
    default:
      return false;
  }
  dialog_.SetFocus(id);
  dialog_.OnCommand(id);
  return true;
}

bool DialogDriver::SelectRows(int id, const std::vector<int>& rows) {
  if (!Usable(id)) return false;
  ListView* list = dialog_.ListViewOf(id);
  if (!list) return false;
  for (int row : rows) {
    if (row < 0 || row >= list->ItemCount()) return false;
  }
  for (int row = 0; row < list->ItemCount(); ++row) {
    const bool wanted = std::find(rows.begin(), rows.end(), row) != rows.end();
    if (list->IsSelected(row) != wanted) list->SetSelected(row, wanted);
  }
  dialog_.SetFocus(id);
  return true;
}

bool DialogDriver::ClickColumnHeader(int id, int column) {
  if (!Usable(id)) return false;
  ListView* list = dialog_.ListViewOf(id);
  if (!list || column < 0 || column >= list->ColumnCount()) return false;
  list->OnColumnClick(column);
  return true;
}

bool DialogDriver::Focus(int id) {
  if (!Usable(id) || !dialog_.Control(id)->TakesFocus()) return false;
  dialog_.SetFocus(id);
  return true;
}

bool DialogDriver::Cancel() {
  if (!dialog_.IsOpen() || dialog_.HasEnded()) return false;
  dialog_.OnCommand(kIdCancel);
  return true;
}

}  // namespace platform
