#pragma once
// The printer description received from the engine, the address block the
// engine fills, and the table's record of one monitored printer.

#include <algorithm>
#include <array>
#include <cstdint>
#include <list>
#include <string>

#include "bce/bce_records.h"

// The engine's 412-byte printer description, kept byte for byte.
struct PrinterEnumRecord {
  std::array<std::uint8_t, PrinterEnumRecordLayout::kSize> bytes{};

  static PrinterEnumRecord FromBytes(const std::uint8_t* source) {
    PrinterEnumRecord record;
    std::copy_n(source, record.bytes.size(), record.bytes.begin());
    return record;
  }

  const std::uint8_t* MacAddress() const { return bytes.data() + PrinterEnumRecordLayout::kMacAddress; }
  std::uint16_t EnumPrinterId() const { return ReadLe16(bytes.data() + PrinterEnumRecordLayout::kEnumPrinterId); }
  std::uint32_t ProtocolFlags() const { return ReadLe32(bytes.data() + PrinterEnumRecordLayout::kProtocolFlags); }
  std::uint16_t AdapterType() const { return ReadLe16(bytes.data() + PrinterEnumRecordLayout::kAdapterType); }
  std::uint16_t PortType() const { return ReadLe16(bytes.data() + PrinterEnumRecordLayout::kPortType); }
  // Reachable over TCP/IP: either of the two protocol bits.
  bool IsTcpIp() const { return (ProtocolFlags() & (PROTOCOL_TCPIP | PROTOCOL_TCPIP_ALT)) != 0; }
};

// The 680-byte block that BceGetPrinterAddrEx fills.
struct PrinterAddressBlock {
  std::array<std::uint8_t, PrinterAddressBlockLayout::kSize> bytes{};

  // The dotted IP address text; it ends at the block's end when the engine
  // left it unterminated.
  std::string IpAddressText() const {
    auto first = bytes.begin() + PrinterAddressBlockLayout::kIpAddressText;
    return std::string(first, std::find(first, bytes.end(), std::uint8_t{0}));
  }
};

// One monitored printer of the PrinterTable.
struct PrinterRecord {
  std::uint16_t printerId = 0;
  PrinterEnumRecord enumInfo;
  PrinterAddressBlock addressInfo;
  std::string hostName;
  std::string printerModel;
  std::list<std::string> activeAlerts;  // alert keys, newest first
  std::int32_t isOffline = 0;
  std::int32_t isCommunicating = 1;
};
