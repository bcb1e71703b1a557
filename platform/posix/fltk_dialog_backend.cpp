#include "platform/posix/fltk_dialog_backend.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Table_Row.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

#include "dialogs/dialog.h"
#include "dialogs/dialog_driver.h"
#include "platform/display.h"

namespace platform {

namespace {

// The dialog font: a Helvetica-like face, whose metrics come close to those of
// the templates' 8-point sans serif font. Fontconfig substitutes when missing.
constexpr Fl_Font kDialogFont = FL_FREE_FONT;
constexpr const char* kDialogFontName = " Helvetica";
constexpr int kTextMargin = 4;

int FontPixels(int points) { return std::max(8, (points * 96 + 36) / 72); }

// Average character width (over the alphabet, rounded) and height of the font.
DialogBaseUnits MeasureBaseUnits(int fontSize) {
  fl_font(kDialogFont, fontSize);
  const double alphabetWidth = fl_width("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const int charWidth = static_cast<int>((alphabetWidth / 26 + 1) / 2);
  return {std::max(1, charWidth), std::max(1, fl_height())};
}

// A frame with its text set into the top line.
class GroupBoxWidget : public Fl_Widget {
 public:
  GroupBoxWidget(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {}

  void draw() override {
    fl_font(labelfont(), labelsize());
    const int textHeight = fl_height();
    const int top = y() + textHeight / 2;
    fl_draw_box(FL_ENGRAVED_FRAME, x(), top, w(), h() - (top - y()), color());
    const char* text = label();
    if (!text || !*text) return;
    const int textWidth = static_cast<int>(fl_width(text));
    fl_color(parent() ? parent()->color() : FL_BACKGROUND_COLOR);
    fl_rectf(x() + kTextMargin, y(), textWidth + kTextMargin, textHeight);
    fl_color(active_r() ? labelcolor() : fl_inactive(labelcolor()));
    fl_draw(text, x() + kTextMargin + 2, y() + textHeight - fl_descent());
  }
};

// Static text from the left edge of its rectangle, wrapped at word breaks, as
// dialog templates place it (FLTK's boxes keep a margin inside).
class StaticWidget : public Fl_Box {
 public:
  StaticWidget(int x, int y, int w, int h) : Fl_Box(x, y, w, h) {
    align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
  }
  void draw() override { draw_label(x(), y(), w(), h(), align()); }
};

// An edit whose text stands centred while it fits the field. The text is drawn
// shifted right, and mouse positions are shifted back by the same amount
// before the input maps them to characters.
class CenteredInput : public Fl_Input {
 public:
  CenteredInput(int x, int y, int w, int h) : Fl_Input(x, y, w, h) {}

  void draw() override {
    const Fl_Boxtype frame = box();
    if (damage() & FL_DAMAGE_ALL) draw_box(frame, color());
    const int shift = Shift();
    drawtext(x() + Fl::box_dx(frame) + shift, y() + Fl::box_dy(frame), w() - Fl::box_dw(frame) - shift,
             h() - Fl::box_dh(frame));
  }

  int handle(int event) override {
    if (event != FL_PUSH && event != FL_DRAG && event != FL_RELEASE) return Fl_Input::handle(event);
    const int shift = Shift();
    Fl::e_x -= shift;
    const int handled = Fl_Input::handle(event);
    Fl::e_x += shift;
    return handled;
  }

 private:
  // Half the room that the text leaves free, or 0 when it does not fit.
  int Shift() {
    fl_font(textfont(), textsize());
    const int room = w() - Fl::box_dw(box()) - 6 - static_cast<int>(fl_width(value()));
    return std::max(0, room / 2);
  }
};

// A report-style list drawn from the dialog's ListView.
class ListViewWidget : public Fl_Table_Row {
 public:
  ListViewWidget(int x, int y, int w, int h, Dialog& dialog, int id)
      : Fl_Table_Row(x, y, w, h), dialog_(dialog), id_(id) {
    end();
    col_header(1);
    row_header(0);
    col_resize(1);
    box(FL_DOWN_FRAME);
    color(FL_BACKGROUND2_COLOR);
    when(FL_WHEN_CHANGED | FL_WHEN_RELEASE);
  }

  void Sync(int fontSize) {
    const ListView* list = dialog_.ListViewOf(id_);
    if (!list) return;
    type(dialog_.Control(id_)->layout.style & kListSingleSelection ? SELECT_SINGLE : SELECT_MULTI);
    fl_font(kDialogFont, fontSize);
    fontSize_ = fontSize;
    col_header_height(fl_height() + 4);
    cols(list->ColumnCount());
    for (int column = 0; column < list->ColumnCount(); ++column) col_width(column, list->ColumnAt(column)->width);
    rows(list->ItemCount());
    row_height_all(fl_height() + 2);
    for (int row = 0; row < list->ItemCount(); ++row) {
      if ((row_selected(row) == 1) != list->IsSelected(row)) select_row(row, list->IsSelected(row) ? 1 : 0);
    }
    redraw();
  }

  std::vector<int> SelectedRows() {
    std::vector<int> selected;
    for (int row = 0; row < rows(); ++row) {
      if (row_selected(row) == 1) selected.push_back(row);
    }
    return selected;
  }

 protected:
  void draw_cell(TableContext context, int row, int column, int x, int y, int w, int h) override {
    const ListView* list = dialog_.ListViewOf(id_);
    if (!list) return;
    switch (context) {
      case CONTEXT_STARTPAGE:
        fl_font(kDialogFont, fontSize_);
        return;
      case CONTEXT_COL_HEADER:
        fl_push_clip(x, y, w, h);
        fl_draw_box(FL_THIN_UP_BOX, x, y, w, h, FL_BACKGROUND_COLOR);
        fl_color(active_r() ? FL_FOREGROUND_COLOR : fl_inactive(FL_FOREGROUND_COLOR));
        fl_draw(list->ColumnAt(column)->heading.c_str(), x + kTextMargin, y, w - 2 * kTextMargin, h, FL_ALIGN_LEFT,
                nullptr, 0);
        fl_pop_clip();
        return;
      case CONTEXT_CELL: {
        const bool selected = row_selected(row) == 1;
        fl_push_clip(x, y, w, h);
        fl_color(selected ? FL_SELECTION_COLOR : FL_BACKGROUND2_COLOR);
        fl_rectf(x, y, w, h);
        fl_color(selected ? FL_WHITE : (active_r() ? FL_FOREGROUND_COLOR : fl_inactive(FL_FOREGROUND_COLOR)));
        fl_draw(list->ItemText(row, column).c_str(), x + kTextMargin, y, w - 2 * kTextMargin, h, FL_ALIGN_LEFT,
                nullptr, 0);
        fl_pop_clip();
        return;
      }
      default:
        return;
    }
  }

 private:
  Dialog& dialog_;
  const int id_;
  int fontSize_ = 11;
};

enum class WidgetKind { Label, Edit, Check, Button, List };

struct BoundWidget {
  Fl_Widget* widget = nullptr;
  WidgetKind kind = WidgetKind::Label;
};

// One open dialog's window: widgets made from the template, kept in step with
// the dialog's controls, and the user's actions handed to a DialogDriver.
class FltkDialogView : public DialogView {
 public:
  FltkDialogView(Dialog& dialog, const DialogBaseUnits& units, int fontSize)
      : dialog_(dialog), driver_(dialog), fontSize_(fontSize) {
    const DialogTemplate& layout = dialog.Template();
    window_ = new Fl_Double_Window(units.ToPixelsX(layout.width), units.ToPixelsY(layout.height));
    window_->copy_label(layout.caption.c_str());
    window_->box(FL_UP_BOX);  // a raised edge, so that a dialog stands out even without window frames
    window_->set_modal();
    window_->callback(&FltkDialogView::WindowClosed, this);
    for (const ControlTemplate& control : layout.controls) AddWidget(control, units.ToPixels(control.rect));
    window_->end();
  }

  ~FltkDialogView() override { delete window_; }

  void SyncAll() {
    for (auto& [id, bound] : widgets_) ControlChanged(id);
    for (const auto& [widget, control] : unnamed_) SyncLabel(widget, control->text);
  }

  // Centred on the screen: without a window manager it would sit in a corner.
  void Show() {
    window_->position((Fl::w() - window_->w()) / 2, (Fl::h() - window_->h()) / 2);
    window_->show();
    FocusChanged(dialog_.FocusedId());
  }
  bool Shown() const { return window_->shown(); }
  void Hide() { window_->hide(); }

  void ControlChanged(int id) override {
    auto found = widgets_.find(id);
    const DialogControl* control = dialog_.Control(id);
    if (found == widgets_.end() || !control) return;
    Fl_Widget* widget = found->second.widget;
    switch (found->second.kind) {
      case WidgetKind::Edit: {
        auto* input = static_cast<Fl_Input*>(widget);
        if (control->text != input->value()) input->value(control->text.c_str());
        input->maximum_size(control->textLimit == 0 ? 32767 : static_cast<int>(control->textLimit));
        break;
      }
      case WidgetKind::Check:
        static_cast<Fl_Button*>(widget)->value(control->checked ? 1 : 0);
        SyncLabel(widget, control->text);
        break;
      case WidgetKind::List:
        static_cast<ListViewWidget*>(widget)->Sync(fontSize_);
        break;
      default:
        SyncLabel(widget, control->text);
        break;
    }
    if (control->enabled) {
      widget->activate();
    } else {
      widget->deactivate();
    }
    window_->redraw();
  }

  void CaptionChanged() override { window_->copy_label(dialog_.Caption().c_str()); }

  void FocusChanged(int id) override {
    auto found = widgets_.find(id);
    if (found == widgets_.end() || !window_->shown() || Fl::focus() == found->second.widget) return;
    found->second.widget->take_focus();
    if (found->second.kind == WidgetKind::Edit) {
      auto* input = static_cast<Fl_Input*>(found->second.widget);
      input->position(input->size(), 0);  // the whole text selected, ready to be typed over
    }
  }

 private:
  static void SyncLabel(Fl_Widget* widget, const std::string& text) {
    if (!widget->label() || text != widget->label()) widget->copy_label(text.c_str());
  }

  void AddWidget(const ControlTemplate& control, const DialogRect& at) {
    Fl_Widget* widget = nullptr;
    WidgetKind kind = WidgetKind::Label;
    switch (control.controlClass) {
      case ControlClass::Static:
        widget = new StaticWidget(at.x, at.y, at.width, at.height);
        break;
      case ControlClass::GroupBox:
        widget = new GroupBoxWidget(at.x, at.y, at.width, at.height);
        break;
      case ControlClass::Edit: {
        Fl_Input* input = control.style & kEditCentered ? new CenteredInput(at.x, at.y, at.width, at.height)
                                                        : new Fl_Input(at.x, at.y, at.width, at.height);
        input->textfont(kDialogFont);
        input->textsize(fontSize_);
        input->when(FL_WHEN_CHANGED);
        widget = input;
        kind = WidgetKind::Edit;
        break;
      }
      case ControlClass::CheckBox: {
        auto* check = new Fl_Check_Button(at.x, at.y, at.width, at.height);
        Fl_Align align = FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP;
        if (control.style & kCheckMultiline) align |= FL_ALIGN_WRAP;
        check->align(align);
        widget = check;
        kind = WidgetKind::Check;
        break;
      }
      case ControlClass::PushButton:
        widget = new Fl_Button(at.x, at.y, at.width, at.height);
        kind = WidgetKind::Button;
        break;
      case ControlClass::DefaultPushButton:
        widget = new Fl_Return_Button(at.x, at.y, at.width, at.height);
        kind = WidgetKind::Button;
        break;
      case ControlClass::ListView:
        widget = new ListViewWidget(at.x, at.y, at.width, at.height, dialog_, control.id);
        kind = WidgetKind::List;
        break;
    }
    widget->labelfont(kDialogFont);
    widget->labelsize(fontSize_);
    widget->copy_label(control.text.c_str());
    if (control.id == kNoControlId) {
      unnamed_.emplace_back(widget, &control);
      return;
    }
    widgets_[control.id] = {widget, kind};
    ids_[widget] = control.id;
    widget->callback(&FltkDialogView::WidgetActivated, this);
  }

  static void WidgetActivated(Fl_Widget* widget, void* data) {
    static_cast<FltkDialogView*>(data)->OnWidget(widget);
  }

  void OnWidget(Fl_Widget* widget) {
    const int id = ids_[widget];
    bool accepted = true;
    switch (widgets_[id].kind) {
      case WidgetKind::Edit:
        accepted = driver_.Type(id, static_cast<Fl_Input*>(widget)->value());
        break;
      case WidgetKind::Check:
      case WidgetKind::Button:
        accepted = driver_.Click(id);
        break;
      case WidgetKind::List:
        accepted = OnList(static_cast<ListViewWidget*>(widget), id);
        break;
      case WidgetKind::Label:
        break;
    }
    if (!accepted && !dialog_.HasEnded()) ControlChanged(id);
  }

  bool OnList(ListViewWidget* table, int id) {
    if (table->callback_context() == Fl_Table::CONTEXT_COL_HEADER) {
      if (Fl::event() == FL_RELEASE && Fl::event_is_click()) return driver_.ClickColumnHeader(id, table->callback_col());
      return true;
    }
    const std::vector<int> selected = table->SelectedRows();
    const ListView* list = dialog_.ListViewOf(id);
    for (int row = 0; list && row < list->ItemCount(); ++row) {
      if (list->IsSelected(row) != (std::find(selected.begin(), selected.end(), row) != selected.end())) {
        return driver_.SelectRows(id, selected);
      }
    }
    return true;
  }

  static void WindowClosed(Fl_Widget*, void* data) { static_cast<FltkDialogView*>(data)->driver_.Cancel(); }

  Dialog& dialog_;
  DialogDriver driver_;
  const int fontSize_;
  Fl_Double_Window* window_ = nullptr;
  std::map<int, BoundWidget> widgets_;
  std::map<Fl_Widget*, int> ids_;
  std::vector<std::pair<Fl_Widget*, const ControlTemplate*>> unnamed_;
};

bool OpenDisplay() {
  if (!HasDisplay()) return false;
  fl_open_display();
  Fl::set_font(kDialogFont, kDialogFontName);
  return true;
}

}  // namespace

int FltkDialogBackend::RunModal(Dialog& dialog) {
  if (!OpenDisplay()) return -1;
  const int fontSize = FontPixels(dialog.Template().fontPointSize);
  const DialogBaseUnits units = MeasureBaseUnits(fontSize);
  // A dialog opened from another gives the focus back to the control that had it.
  Fl_Widget* previousFocus = Fl::focus();
  FltkDialogView view(dialog, units, fontSize);
  dialog.Create(&view, units);
  view.SyncAll();
  if (!dialog.HasEnded()) {
    view.Show();
    while (!dialog.HasEnded() && view.Shown()) Fl::wait();
  }
  if (!dialog.HasEnded()) dialog.EndDialog(kIdCancel);
  view.Hide();
  const int result = dialog.Result();
  dialog.Destroy();
  if (previousFocus && previousFocus->window() && previousFocus->window()->shown()) previousFocus->take_focus();
  return result;
}

int FltkDialogBackend::ShowMessageBox(std::string_view text, std::string_view caption, MessageBoxButtons buttons,
                                      MessageBoxIcon icon) {
  const std::string message(text);
  if (!OpenDisplay()) {
    std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(caption.size()), caption.data(), message.c_str());
    return buttons == MessageBoxButtons::YesNo || buttons == MessageBoxButtons::YesNoCancel ? kIdYes : kIdOk;
  }
  fl_message_title(std::string(caption).c_str());
  fl_close = "OK";
  switch (buttons) {
    case MessageBoxButtons::OkCancel:
      return fl_choice("%s", "Cancel", "OK", nullptr, message.c_str()) == 1 ? kIdOk : kIdCancel;
    case MessageBoxButtons::YesNo:
      return fl_choice("%s", "No", "Yes", nullptr, message.c_str()) == 1 ? kIdYes : kIdNo;
    case MessageBoxButtons::YesNoCancel: {
      const int choice = fl_choice("%s", "Cancel", "Yes", "No", message.c_str());
      return choice == 1 ? kIdYes : choice == 2 ? kIdNo : kIdCancel;
    }
    case MessageBoxButtons::Ok:
      break;
  }
  if (icon == MessageBoxIcon::Warning || icon == MessageBoxIcon::Error) {
    fl_alert("%s", message.c_str());
  } else {
    fl_message("%s", message.c_str());
  }
  return kIdOk;
}

DialogBackend& WindowDialogBackend() {
  static FltkDialogBackend windowBackend;
  return windowBackend;
}

}  // namespace platform
