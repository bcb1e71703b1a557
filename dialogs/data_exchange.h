#pragma once
// Dialog data exchange: moves members into a dialog's controls or back, with
// the checks of each field. The first field that fails shows its message,
// gets the focus, and every later exchange of the same transfer is skipped.

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class Dialog;

class DataExchange {
 public:
  DataExchange(Dialog& dialog, bool saveAndValidate) : dialog_(dialog), saveAndValidate_(saveAndValidate) {}

  bool SaveAndValidate() const { return saveAndValidate_; }
  bool Failed() const { return failed_; }

  void Text(int id, std::string& value);
  // An unsigned decimal number with blanks allowed around it.
  void Number(int id, std::uint32_t& value);
  // A check box's state, 0 or 1.
  void Check(int id, int& value);

  // Checks of the field exchanged last; on loading, MaxChars limits the edit.
  void MinMax(std::uint32_t value, std::uint32_t min, std::uint32_t max);
  void MaxChars(const std::string& value, std::size_t maxChars);

 private:
  bool Skips(int id);
  void Fail(const std::string& message);

  Dialog& dialog_;
  const bool saveAndValidate_;
  bool failed_ = false;
  int lastId_ = -1;
};

// Reads an unsigned decimal number: optional blanks, an optional "+", digits,
// optional blanks. Values above the 32-bit range read as its maximum.
bool ParseUnsigned(const std::string& text, std::uint32_t& value);

}  // namespace platform
