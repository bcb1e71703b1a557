#include "service/tec_event.h"

#include "service/alert_key.h"
#include "service/severity_names.h"

namespace {

void AppendQuoted(std::string& event, std::string_view name, std::string_view value) {
  event += name;
  event += "='";
  event += QuotedValueText(value);
  event += "';";
}

}  // namespace

std::string QuotedValueText(std::string_view value) {
  std::string text;
  text.reserve(value.size());
  for (char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) continue;
    if (c == '\'') text += '\'';
    text += c;
  }
  return text;
}

std::string ComposeTecEvent(std::string_view alertKey, bool resolved, const EventPrinterFields& printer) {
  const AlertKeyParts parts = SplitAlertKey(alertKey);
  std::string message(parts.message);
  if (resolved) message += "(Resolved)";

  std::string event = "Korvane_Printer_Alert;source=Korvane_Printers;severity=";
  event += SeverityName(parts.severityIndex);
  event += ';';
  AppendQuoted(event, "msg", message);
  AppendQuoted(event, "printer_address", printer.macAddress);
  AppendQuoted(event, "printer_model", printer.model);
  AppendQuoted(event, "origin", printer.ipAddress);
  AppendQuoted(event, "hostname", printer.hostName);
  AppendQuoted(event, "port_attachment", printer.portName);
  AppendQuoted(event, "adapter_product", printer.adapterProduct);
  event += "END\n";
  event += CACHE_RECORD_END;
  return event;
}
