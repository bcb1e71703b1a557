#include "platform/win32/win32_dialog_view.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace platform {

namespace {

HWND AsWindow(void* window) { return static_cast<HWND>(window); }

std::string WindowText(HWND window) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

void SetWindowTextIfChanged(HWND window, const std::string& text) {
  if (WindowText(window) != text) SetWindowTextA(window, text.c_str());
}

int ColumnFormat(ListView::ColumnAlign align) {
  switch (align) {
    case ListView::ColumnAlign::Right:
      return LVCFMT_RIGHT;
    case ListView::ColumnAlign::Center:
      return LVCFMT_CENTER;
    case ListView::ColumnAlign::Left:
      break;
  }
  return LVCFMT_LEFT;
}

bool SameColumns(const std::vector<ListView::Column>& a, const ListView& list) {
  if (static_cast<int>(a.size()) != list.ColumnCount()) return false;
  for (int column = 0; column < list.ColumnCount(); ++column) {
    const ListView::Column& shown = a[column];
    const ListView::Column& wanted = *list.ColumnAt(column);
    if (shown.heading != wanted.heading || shown.width != wanted.width || shown.align != wanted.align) return false;
  }
  return true;
}

void SetCellText(HWND list, int row, int column, const std::string& text) {
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void SetRowSelected(HWND list, int row, bool selected) {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED;
  item.state = selected ? LVIS_SELECTED : 0;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

Win32DialogView::Batch::~Batch() {
  if (--view_.batchDepth_ == 0) view_.FinishBatch();
}

bool Win32DialogView::Initialize(void* window) {
  window_ = window;
  RECT baseUnits{0, 0, 4, 8};
  MapDialogRect(AsWindow(window_), &baseUnits);
  {
    Batch batch(*this);
    dialog_.Create(this, DialogBaseUnits{std::max<int>(1, baseUnits.right), std::max<int>(1, baseUnits.bottom)});
    for (const DialogControl& control : dialog_.Controls()) dirty_.insert(control.layout.id);
    CaptionChanged();
  }
  return dialog_.FocusedId() == kNoControlId;
}

void* Win32DialogView::Item(int id) const {
  return window_ && id != kNoControlId ? GetDlgItem(AsWindow(window_), id) : nullptr;
}

void Win32DialogView::ControlChanged(int id) {
  if (batchDepth_ > 0) {
    dirty_.insert(id);
  } else {
    SyncControl(id);
  }
}

void Win32DialogView::CaptionChanged() {
  if (window_) SetWindowTextIfChanged(AsWindow(window_), dialog_.Caption());
}

void Win32DialogView::FocusChanged(int id) {
  if (batchDepth_ > 0) {
    pendingFocus_ = id;
  } else {
    ApplyFocus(id);
  }
}

void Win32DialogView::ApplyFocus(int id) {
  HWND item = AsWindow(Item(id));
  if (!item || GetFocus() == item) return;
  // As the Tab key would: the default button follows, an edit's text is selected.
  SendMessageA(AsWindow(window_), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
}

void Win32DialogView::FinishBatch() {
  ++batchDepth_;  // what syncing changes is shown by this pass
  while (!dirty_.empty()) {
    const int id = *dirty_.begin();
    dirty_.erase(dirty_.begin());
    SyncControl(id);
  }
  --batchDepth_;
  if (pendingFocus_ != kNoControlId) {
    const int id = std::exchange(pendingFocus_, kNoControlId);
    ApplyFocus(id);
  }
  if (dialog_.HasEnded() && window_) EndDialog(AsWindow(window_), dialog_.Result());
}

void Win32DialogView::SyncControl(int id) {
  const DialogControl* control = dialog_.Control(id);
  HWND item = AsWindow(Item(id));
  if (!control || !item) return;
  ++syncing_;
  switch (control->layout.controlClass) {
    case ControlClass::Edit:
      SetWindowTextIfChanged(item, control->text);
      SendMessageA(item, EM_LIMITTEXT, control->textLimit, 0);
      break;
    case ControlClass::CheckBox:
      SetWindowTextIfChanged(item, control->text);
      if ((IsDlgButtonChecked(AsWindow(window_), id) == BST_CHECKED) != control->checked) {
        CheckDlgButton(AsWindow(window_), id, control->checked ? BST_CHECKED : BST_UNCHECKED);
      }
      break;
    case ControlClass::ListView:
      if (control->list) SyncList(item, *control->list, lists_[id]);
      break;
    default:
      SetWindowTextIfChanged(item, control->text);
      break;
  }
  if ((IsWindowEnabled(item) != FALSE) != control->enabled) EnableWindow(item, control->enabled);
  --syncing_;
}

// Columns are changed in place, added or taken away at the end, so that the
// cells the control already shows stay where they are.
void Win32DialogView::SyncColumns(void* list, const ListView& rows, ListState& shown) {
  HWND control = AsWindow(list);
  if (SameColumns(shown.columns, rows)) return;
  for (int column = 0; column < rows.ColumnCount(); ++column) {
    const ListView::Column& wanted = *rows.ColumnAt(column);
    LVCOLUMNA header{};
    header.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    header.fmt = ColumnFormat(wanted.align);
    header.cx = wanted.width;
    header.pszText = const_cast<char*>(wanted.heading.c_str());
    header.iSubItem = column;
    const bool exists = column < static_cast<int>(shown.columns.size());
    SendMessageA(control, exists ? LVM_SETCOLUMNA : LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&header));
  }
  // Column 0 holds the labels and stays.
  for (int column = static_cast<int>(shown.columns.size()) - 1; column >= std::max(1, rows.ColumnCount()); --column) {
    SendMessageA(control, LVM_DELETECOLUMN, static_cast<WPARAM>(column), 0);
  }
  shown.columns.clear();
  for (int column = 0; column < rows.ColumnCount(); ++column) shown.columns.push_back(*rows.ColumnAt(column));
}

// Brings the control to the list's rows, changing only what differs from what
// it shows.
void Win32DialogView::SyncList(void* list, const ListView& rows, ListState& shown) {
  HWND control = AsWindow(list);
  SyncColumns(list, rows, shown);
  while (static_cast<int>(shown.rows.size()) > rows.ItemCount()) {
    SendMessageA(control, LVM_DELETEITEM, shown.rows.size() - 1, 0);
    shown.rows.pop_back();
  }
  while (static_cast<int>(shown.rows.size()) < rows.ItemCount()) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(shown.rows.size());
    item.pszText = const_cast<char*>("");
    SendMessageA(control, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    shown.rows.push_back(ListView::Row{std::vector<std::string>(1), 0, false});
  }
  const int columns = std::max(1, rows.ColumnCount());
  for (int row = 0; row < rows.ItemCount(); ++row) {
    ListView::Row& shownRow = shown.rows[row];
    shownRow.texts.resize(columns);
    for (int column = 0; column < columns; ++column) {
      const std::string text = rows.ItemText(row, column);
      if (shownRow.texts[column] == text) continue;
      SetCellText(control, row, column, text);
      shownRow.texts[column] = text;
    }
    if (shownRow.selected != rows.IsSelected(row)) {
      SetRowSelected(control, row, rows.IsSelected(row));
      shownRow.selected = rows.IsSelected(row);
    }
  }
}

bool Win32DialogView::HandleCommand(int id, int code) {
  if (syncing_ > 0 || !window_) return false;
  const DialogControl* control = dialog_.Control(id);
  Batch batch(*this);
  if (id == IDCANCEL && code == BN_CLICKED) {
    driver_.Cancel();  // the Cancel button, Escape or the close box
    return true;
  }
  if (!control) return false;
  bool accepted = true;
  switch (control->layout.controlClass) {
    case ControlClass::Edit:
      if (code != EN_CHANGE) return false;
      accepted = driver_.Type(id, WindowText(AsWindow(Item(id))));
      break;
    case ControlClass::CheckBox:
    case ControlClass::PushButton:
    case ControlClass::DefaultPushButton:
      if (code != BN_CLICKED) return false;
      accepted = driver_.Click(id);
      break;
    default:
      return false;
  }
  // The control shows what the dialog holds: what it refused goes back.
  if (!accepted || !dialog_.HasEnded()) dirty_.insert(id);
  return true;
}

bool Win32DialogView::HandleNotify(const void* header, std::intptr_t& result) {
  const auto* notify = static_cast<const NMHDR*>(header);
  const int id = static_cast<int>(notify->idFrom);
  if (syncing_ > 0 || !window_ || !dialog_.ListViewOf(id)) return false;
  Batch batch(*this);
  switch (notify->code) {
    case LVN_COLUMNCLICK:
      driver_.ClickColumnHeader(id, static_cast<const NMLISTVIEW*>(header)->iSubItem);
      result = 0;
      return true;
    case LVN_ITEMCHANGED: {
      const auto* change = static_cast<const NMLISTVIEW*>(header);
      if (!(change->uChanged & LVIF_STATE) || !((change->uOldState ^ change->uNewState) & LVIS_SELECTED)) return false;
      result = 0;
      OnListSelectionChanged(id);
      return true;
    }
    default:
      return false;
  }
}

// The user selected or cleared rows: the list takes the control's selection
// as it now stands.
void Win32DialogView::OnListSelectionChanged(int id) {
  HWND control = AsWindow(Item(id));
  ListState& shown = lists_[id];
  std::vector<int> selected;
  for (int row = 0; row < static_cast<int>(shown.rows.size()); ++row) {
    const bool isSelected = SendMessageA(control, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) != 0;
    shown.rows[row].selected = isSelected;
    if (isSelected) selected.push_back(row);
  }
  driver_.SelectRows(id, selected);
  dirty_.insert(id);
}

}  // namespace platform
