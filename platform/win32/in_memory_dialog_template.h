#pragma once
// A dialog template as Windows reads it from a resource (DLGTEMPLATEEX with
// its DLGITEMTEMPLATEEX items), built in memory from the framework's
// template, for DialogBoxIndirectParam.

#include <cstdint>
#include <vector>

#include "dialogs/dialog_template.h"

namespace platform {

// The template's bytes, DWORD-aligned as the dialog manager requires.
class InMemoryDialogTemplate {
 public:
  explicit InMemoryDialogTemplate(const DialogTemplate& layout);

  const void* Data() const { return words_.data(); }
  std::size_t Size() const { return words_.size() * sizeof(std::uint16_t); }

 private:
  void AppendWord(std::uint16_t value) { words_.push_back(value); }
  void AppendDword(std::uint32_t value);
  void AppendShort(int value) { AppendWord(static_cast<std::uint16_t>(static_cast<std::int16_t>(value))); }
  void AppendText(const std::string& text);
  void AlignToDword();
  void AppendDialog(const DialogTemplate& layout);
  void AppendControl(const ControlTemplate& control);

  std::vector<std::uint16_t> words_;
};

// The window styles and class of one control, as its template item gives them.
struct Win32ControlStyle {
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  std::uint16_t classAtom = 0;       // predefined class, or 0 for a class by name
  const wchar_t* className = nullptr;
};
Win32ControlStyle StyleOf(const ControlTemplate& control);

}  // namespace platform
