#include "korbce/snmp/printer_model.h"

#include <algorithm>

namespace korbce::snmp {
namespace {

constexpr std::string_view kBlanks = " \t\r\n";

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// sysDescr often goes on after the model with firmware and options lists.
std::string_view SystemModel(std::string_view sysDescr) {
  return Trimmed(sysDescr.substr(0, sysDescr.find_first_of(";,")));
}

}  // namespace

bool IsGenericDriverName(std::string_view description) {
  constexpr std::string_view kGeneric = "generic";
  description = Trimmed(description);
  if (description.size() < kGeneric.size()) return false;
  const bool startsWithWord = std::equal(kGeneric.begin(), kGeneric.end(), description.begin(),
                                         [](char word, char c) { return word == Lower(c); });
  if (!startsWithWord || description.size() == kGeneric.size()) return startsWithWord;
  const char next = Lower(description[kGeneric.size()]);
  return !(next >= 'a' && next <= 'z');
}

std::string ModelText(const PrinterSnapshot& snapshot, std::size_t maxLength) {
  const std::string_view device = Trimmed(snapshot.deviceDescr);
  std::string_view model = device;
  if (model.empty() || IsGenericDriverName(model)) model = Trimmed(snapshot.generalPrinterName);
  if (model.empty()) model = SystemModel(snapshot.sysDescr);
  if (model.empty()) model = device;
  return std::string(model.substr(0, maxLength));
}

}  // namespace korbce::snmp
