#include "dialogs/data_exchange.h"

#include <limits>

#include "dialogs/dialog.h"
#include "dialogs/string_table.h"

namespace platform {

namespace {
constexpr std::string_view kNotAPositiveInteger = "Please enter a positive integer.";
constexpr std::string_view kIntegerOutOfRange = "Please enter an integer between %1 and %2.";
constexpr std::string_view kTooManyCharacters = "Please enter no more than %1 characters.";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

bool ParseUnsigned(const std::string& text, std::uint32_t& value) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  const std::size_t digitsStart = i;
  std::uint64_t number = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    number = std::min<std::uint64_t>(number * 10 + static_cast<unsigned>(text[i] - '0'),
                                     std::numeric_limits<std::uint32_t>::max());
  }
  if (i == digitsStart) return false;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i != text.size()) return false;
  value = static_cast<std::uint32_t>(number);
  return true;
}

bool DataExchange::Skips(int id) {
  if (failed_) return true;
  lastId_ = id;
  return false;
}

void DataExchange::Fail(const std::string& message) {
  failed_ = true;
  dialog_.ShowMessage(message, MessageBoxButtons::Ok, MessageBoxIcon::Warning);
  dialog_.SetFocus(lastId_);
}

void DataExchange::Text(int id, std::string& value) {
  if (Skips(id)) return;
  if (saveAndValidate_) {
    value = dialog_.ItemText(id);
  } else {
    dialog_.SetItemText(id, value);
  }
}

void DataExchange::Number(int id, std::uint32_t& value) {
  if (Skips(id)) return;
  if (!saveAndValidate_) {
    dialog_.SetItemText(id, std::to_string(value));
  } else if (!ParseUnsigned(dialog_.ItemText(id), value)) {
    Fail(std::string(kNotAPositiveInteger));
  }
}

void DataExchange::Check(int id, int& value) {
  if (Skips(id)) return;
  if (saveAndValidate_) {
    value = dialog_.IsChecked(id) ? 1 : 0;
  } else {
    dialog_.SetChecked(id, value != 0);
  }
}

void DataExchange::MinMax(std::uint32_t value, std::uint32_t min, std::uint32_t max) {
  if (failed_ || !saveAndValidate_) return;
  if (value < min || value > max) {
    Fail(FormatMessageText(kIntegerOutOfRange, {std::to_string(min), std::to_string(max)}));
  }
}

void DataExchange::MaxChars(const std::string& value, std::size_t maxChars) {
  if (failed_) return;
  if (!saveAndValidate_) {
    dialog_.LimitText(lastId_, maxChars);
  } else if (value.size() > maxChars) {
    Fail(FormatMessageText(kTooManyCharacters, {std::to_string(maxChars)}));
  }
}

}  // namespace platform
