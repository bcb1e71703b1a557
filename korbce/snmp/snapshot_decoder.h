#pragma once
// Turns the objects one fetch brought back into what the printer reported.
// Every object is checked: one of a wrong type, a wrong shape of index or a
// table beyond its bounds is left out, never trusted.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "korbce/snmp/printer_snapshot.h"
#include "korbce/snmp/var_bind.h"

namespace korbce::snmp {

// Answers carry their entry counts in one byte, and names with their NUL
// count in one byte.
constexpr std::size_t kMaxTableRows = 255;
constexpr std::size_t kMaxTextBytes = 254;

struct DecodedPrinter {
  // The host has a device row of type printer, or any Printer-MIB object.
  bool isPrinter = false;
  std::optional<std::int32_t> deviceIndex;  // hrDeviceIndex of the printer
  std::optional<std::array<std::uint8_t, 6>> macAddress;
  // Filled by the source, not the decoder: what this machine's neighbour
  // table holds for a printer whose answers hold no hardware address.
  std::optional<std::array<std::uint8_t, 6>> neighbourAddress;
  bool tablesCut = false;  // a table had more than kMaxTableRows rows
  PrinterSnapshot snapshot;
};

// polledAddress (first dotted part most significant) picks the interface
// whose hardware address is the printer's. knownDevice is the device index a
// probe found before, used when the objects hold no device table.
DecodedPrinter DecodeObjects(const std::vector<VarBind>& objects, std::uint32_t polledAddress,
                             std::optional<std::int32_t> knownDevice = std::nullopt);

}  // namespace korbce::snmp
