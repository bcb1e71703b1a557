#include "dialogs/dialog.h"

#include <algorithm>

#include "dialogs/data_exchange.h"
#include "dialogs/dialog_backend.h"

namespace platform {

namespace {
// Width of a list view's border on each side, in pixels.
constexpr int kListBorderPixels = 2;
}  // namespace

bool DialogControl::TakesFocus() const {
  switch (layout.controlClass) {
    case ControlClass::Static:
    case ControlClass::GroupBox:
      return false;
    default:
      return enabled;
  }
}

Dialog::Dialog(DialogTemplate layout) : template_(std::move(layout)) {}

Dialog::~Dialog() = default;

int Dialog::DoModal() { return CurrentDialogBackend().RunModal(*this); }

void Dialog::EndDialog(int result) {
  if (!open_) return;
  result_ = result;
  ended_ = true;
}

void Dialog::BindListView(int id, ListView& list) { boundLists_[id] = &list; }

ListView* Dialog::ListFor(const ControlTemplate& layout) {
  if (layout.controlClass != ControlClass::ListView) return nullptr;
  auto bound = boundLists_.find(layout.id);
  if (bound != boundLists_.end()) return bound->second;
  ownLists_.push_back(std::make_unique<ListView>());
  return ownLists_.back().get();
}

void Dialog::Create(DialogView* view, const DialogBaseUnits& units) {
  Destroy();
  view_ = view;
  units_ = units;
  caption_ = template_.caption;
  result_ = -1;
  ended_ = false;
  controls_.reserve(template_.controls.size());
  for (const ControlTemplate& layout : template_.controls) {
    DialogControl control{layout, layout.text, false, (layout.style & kStyleDisabled) == 0, 0, ListFor(layout)};
    if (control.list) {
      const int clientWidth = std::max(units_.ToPixelsX(layout.rect.width) - 2 * kListBorderPixels, 0);
      control.list->Attach(layout.style, clientWidth, [this, id = layout.id] { Changed(id); });
    }
    controls_.push_back(std::move(control));
  }
  open_ = true;
  if (OnInitDialog() && focusedId_ == kNoControlId) {
    auto first = std::find_if(controls_.begin(), controls_.end(), [](const DialogControl& c) { return c.TakesFocus(); });
    if (first != controls_.end()) SetFocus(first->layout.id);
  }
}

void Dialog::Destroy() {
  for (DialogControl& control : controls_) {
    if (control.list) control.list->Detach();
  }
  controls_.clear();
  ownLists_.clear();
  view_ = nullptr;
  focusedId_ = kNoControlId;
  open_ = false;
}

DialogControl* Dialog::FindControl(int id) {
  if (id == kNoControlId) return nullptr;
  auto found = std::find_if(controls_.begin(), controls_.end(), [id](const DialogControl& c) { return c.layout.id == id; });
  return found == controls_.end() ? nullptr : &*found;
}

const DialogControl* Dialog::Control(int id) const { return const_cast<Dialog*>(this)->FindControl(id); }

void Dialog::Changed(int id) {
  if (view_) view_->ControlChanged(id);
}

void Dialog::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  if (view_) view_->CaptionChanged();
}

std::string Dialog::ItemText(int id) const {
  const DialogControl* control = Control(id);
  return control ? control->text : std::string();
}

void Dialog::SetItemText(int id, std::string text) {
  if (DialogControl* control = FindControl(id)) {
    control->text = std::move(text);
    Changed(id);
  }
}

bool Dialog::IsChecked(int id) const {
  const DialogControl* control = Control(id);
  return control && control->checked;
}

void Dialog::SetChecked(int id, bool checked) {
  if (DialogControl* control = FindControl(id)) {
    control->checked = checked;
    Changed(id);
  }
}

bool Dialog::IsItemEnabled(int id) const {
  const DialogControl* control = Control(id);
  return control && control->enabled;
}

void Dialog::EnableItem(int id, bool enabled) {
  if (DialogControl* control = FindControl(id)) {
    control->enabled = enabled;
    Changed(id);
  }
}

void Dialog::LimitText(int id, std::size_t maxChars) {
  if (DialogControl* control = FindControl(id)) {
    control->textLimit = maxChars;
    Changed(id);
  }
}

void Dialog::SetFocus(int id) {
  if (!FindControl(id)) return;
  focusedId_ = id;
  if (view_) view_->FocusChanged(id);
}

ListView* Dialog::ListViewOf(int id) {
  DialogControl* control = FindControl(id);
  return control ? control->list : nullptr;
}

bool Dialog::UpdateData(bool saveAndValidate) {
  DataExchange exchange(*this, saveAndValidate);
  DoDataExchange(exchange);
  return !exchange.Failed();
}

int Dialog::ShowMessage(std::string_view text, MessageBoxButtons buttons, MessageBoxIcon icon) {
  return MessageBox(text, ApplicationTitle(), buttons, icon);
}

bool Dialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void Dialog::DoDataExchange(DataExchange&) {}

void Dialog::OnCommand(int id) {
  if (id == kIdOk) OnOK();
  if (id == kIdCancel) OnCancel();
}

void Dialog::OnOK() {
  if (UpdateData(true)) EndDialog(kIdOk);
}

void Dialog::OnCancel() { EndDialog(kIdCancel); }

}  // namespace platform
