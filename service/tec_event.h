#pragma once
// The TEC event string of one alert of one printer:
//   Korvane_Printer_Alert;source=Korvane_Printers;severity=MINOR;msg='Paper Jam';
//   printer_address='...';printer_model='...';origin='...';hostname='...';
//   port_attachment='...';adapter_product='...';END\n\x01
// (one line), ending with a newline and the cache's record end byte 0x01.

#include <string>
#include <string_view>

inline constexpr char CACHE_RECORD_END = '\x01';

// What the event tells of the printer, as the printer table gives it.
struct EventPrinterFields {
  std::string macAddress;  // 12 upper-case hexadecimal digits, or empty
  std::string model;
  std::string ipAddress;  // dotted, for a TCP/IP printer
  std::string hostName;
  std::string portName;
  std::string adapterProduct;
};

// The event for the alert key; a resolved event's message ends in
// "(Resolved)". Quoted values have their apostrophes doubled and their control
// bytes removed, so that no printer text can end a value, add an attribute or
// break a record.
std::string ComposeTecEvent(std::string_view alertKey, bool resolved, const EventPrinterFields& printer);

// A value as it stands between the apostrophes of a quoted attribute.
std::string QuotedValueText(std::string_view value);
