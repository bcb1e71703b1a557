#include "platform/win32/in_memory_dialog_template.h"

#include <windows.h>
#include <commctrl.h>

namespace platform {

namespace {

// Ordinals of the predefined control classes in a dialog template.
constexpr std::uint16_t kButtonClass = 0x0080;
constexpr std::uint16_t kEditClass = 0x0081;
constexpr std::uint16_t kStaticClass = 0x0082;
constexpr std::uint16_t kOrdinalMarker = 0xFFFF;

std::uint32_t DialogStyle(const DialogTemplate& layout) {
  std::uint32_t style = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT | DS_CENTER | DS_3DLOOK;
  if (layout.systemMenu) style |= WS_SYSMENU;
  return style;
}

Win32ControlStyle EditStyle(std::uint32_t style) {
  Win32ControlStyle edit{WS_TABSTOP | ES_LEFT, WS_EX_CLIENTEDGE, kEditClass, nullptr};
  if (style & kEditAutoHScroll) edit.style |= ES_AUTOHSCROLL;
  if (style & kEditCentered) edit.style = (edit.style & ~ES_LEFT) | ES_CENTER;
  return edit;
}

Win32ControlStyle ListViewStyle(std::uint32_t style) {
  // The rows are placed by the framework's list, which keeps them sorted
  // itself; the control shows them in the order it is given.
  Win32ControlStyle list{WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, WC_LISTVIEWW};
  if (style & kListSingleSelection) list.style |= LVS_SINGLESEL;
  if (style & kListBorder) list.exStyle |= WS_EX_CLIENTEDGE;
  return list;
}

}  // namespace

Win32ControlStyle StyleOf(const ControlTemplate& control) {
  Win32ControlStyle result;
  switch (control.controlClass) {
    case ControlClass::Static:
      result = {SS_LEFT | WS_GROUP, 0, kStaticClass, nullptr};
      break;
    case ControlClass::Edit:
      result = EditStyle(control.style);
      break;
    case ControlClass::CheckBox:
      result = {BS_AUTOCHECKBOX | WS_TABSTOP, 0, kButtonClass, nullptr};
      if (control.style & kCheckMultiline) result.style |= BS_MULTILINE;
      break;
    case ControlClass::GroupBox:
      result = {BS_GROUPBOX, 0, kButtonClass, nullptr};
      break;
    case ControlClass::PushButton:
      result = {BS_PUSHBUTTON | WS_TABSTOP, 0, kButtonClass, nullptr};
      break;
    case ControlClass::DefaultPushButton:
      result = {BS_DEFPUSHBUTTON | WS_TABSTOP, 0, kButtonClass, nullptr};
      break;
    case ControlClass::ListView:
      result = ListViewStyle(control.style);
      break;
  }
  result.style |= WS_CHILD | WS_VISIBLE;
  if (control.style & kStyleDisabled) result.style |= WS_DISABLED;
  return result;
}

InMemoryDialogTemplate::InMemoryDialogTemplate(const DialogTemplate& layout) {
  AppendDialog(layout);
  for (const ControlTemplate& control : layout.controls) AppendControl(control);
}

void InMemoryDialogTemplate::AppendDword(std::uint32_t value) {
  AppendWord(static_cast<std::uint16_t>(value & 0xFFFF));
  AppendWord(static_cast<std::uint16_t>(value >> 16));
}

// Texts of the templates are in the system's ANSI code page; a template holds UTF-16.
void InMemoryDialogTemplate::AppendText(const std::string& text) {
  if (!text.empty()) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    for (wchar_t c : wide) AppendWord(static_cast<std::uint16_t>(c));
  }
  AppendWord(0);
}

void InMemoryDialogTemplate::AlignToDword() {
  if (words_.size() % 2 != 0) AppendWord(0);
}

void InMemoryDialogTemplate::AppendDialog(const DialogTemplate& layout) {
  AppendWord(1);       // dlgVer
  AppendWord(0xFFFF);  // signature of the extended template
  AppendDword(0);      // helpID
  AppendDword(0);      // exStyle
  AppendDword(DialogStyle(layout));
  AppendWord(static_cast<std::uint16_t>(layout.controls.size()));
  AppendShort(0);
  AppendShort(0);
  AppendShort(layout.width);
  AppendShort(layout.height);
  AppendWord(0);  // no menu
  AppendWord(0);  // the dialog class
  AppendText(layout.caption);
  AppendWord(static_cast<std::uint16_t>(layout.fontPointSize));
  AppendWord(FW_NORMAL);
  AppendWord(DEFAULT_CHARSET << 8);  // italic 0, then the character set
  AppendText(layout.fontName);
}

void InMemoryDialogTemplate::AppendControl(const ControlTemplate& control) {
  const Win32ControlStyle style = StyleOf(control);
  AlignToDword();
  AppendDword(0);  // helpID
  AppendDword(style.exStyle);
  AppendDword(style.style);
  AppendShort(control.rect.x);
  AppendShort(control.rect.y);
  AppendShort(control.rect.width);
  AppendShort(control.rect.height);
  AppendDword(static_cast<std::uint32_t>(control.id));
  if (style.className) {
    for (const wchar_t* c = style.className; *c; ++c) AppendWord(static_cast<std::uint16_t>(*c));
    AppendWord(0);
  } else {
    AppendWord(kOrdinalMarker);
    AppendWord(style.classAtom);
  }
  AppendText(control.text);
  AppendWord(0);  // no creation data
}

}  // namespace platform
