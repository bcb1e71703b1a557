#include "vigilix/alert_decoder.h"

#include "common/decimal_text.h"
#include "vigilix/answer_decoders.h"
#include "vigilix/message_catalog.h"
#include "vigilix/printer_database.h"

namespace vigilix {
namespace {

constexpr int kMessageField = 1;
constexpr int kLocationField = 2;
constexpr int kChangeMaskField = 7;
constexpr int kSeverityField = 8;

constexpr std::uint8_t kFirstAlertGroup = 3;
constexpr std::uint8_t kLastAlertGroup = 10;
constexpr std::uint8_t kConfigurationChangeGroup = 9;

constexpr int kChangeInputs = 0x01;
constexpr int kChangeOutputs = 0x02;
constexpr int kChangeAll = 0x40;

constexpr std::int32_t kDefaultSeverity = 3;
constexpr std::int32_t kMaximumSeverity = 100;

int ReadField(std::string_view value, int field) { return common::ReadLeadingInteger(GetField(value, field)); }

std::string LocationText(int kind, std::uint8_t locationByte, std::uint16_t printer,
                         const PrinterStateList& printers) {
  if (kind == kLocationInputSource) return printers.InputName(printer, locationByte);
  if (kind == kLocationOutputBin) return printers.OutputName(printer, locationByte);
  return std::string(LoadText(kLocationTextBase + locationByte));
}

void ApplyConfigurationChange(std::string_view value, const AnsweringPrinter& printer, PrinterStateList& printers) {
  const int change = ReadField(value, kChangeMaskField);
  if (change <= 0) return;
  if (change & (kChangeAll | kChangeInputs)) printers.RefreshInputs(printer.application, printer.printerId);
  if (change & (kChangeAll | kChangeOutputs)) printers.RefreshOutputs(printer.application, printer.printerId);
}

}  // namespace

std::string ComposeMessage(std::string_view value, std::optional<std::uint8_t> locationByte, std::uint16_t printer,
                           const PrinterStateList& printers) {
  const int message = ReadField(value, kMessageField);
  std::string text;
  if (message >= 0 && message <= INT32_MAX - kMessageTextBase) text = LoadText(kMessageTextBase + message);
  const int kind = ReadField(value, kLocationField);
  if (kind < 0 || !locationByte) return text;
  const std::string location = LocationText(kind, *locationByte, printer, printers);
  if (!location.empty()) text += " - " + location;
  return text;
}

std::int32_t ReadSeverity(std::string_view value) {
  const int severity = ReadField(value, kSeverityField);
  return severity < 0 || severity > kMaximumSeverity ? kDefaultSeverity : severity;
}

void DecodeCategoryStatus(std::span<const std::uint8_t> answer, const std::string& dbPath,
                          const AnsweringPrinter& printer, PrinterStateList& printers, AlertReport& report) {
  for (const AlertKey& key : DecodeStatusAnswer(answer)) {
    if (key.group < kFirstAlertGroup || key.group > kLastAlertGroup) continue;
    const AlertLookup found = LookUpAlert(dbPath, key, printer.deviceClass);
    if (found.value.empty()) continue;
    if (key.group == kConfigurationChangeGroup) {
      ApplyConfigurationChange(found.value, printer, printers);
      continue;
    }
    const std::string text = ComposeMessage(found.value, found.locationByte, printer.printerId, printers);
    if (!text.empty()) report.Add(ReadSeverity(found.value), text);
  }
}

}  // namespace vigilix
