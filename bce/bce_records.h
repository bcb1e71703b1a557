#pragma once
// Buffer layouts of the engine's records and commands. Multi-byte fields are
// little-endian.

#include <cstddef>
#include <cstdint>

// The printer description handed to the enumeration callback.
namespace PrinterEnumRecordLayout {
constexpr std::size_t kSize = 412;
constexpr std::size_t kMacAddress = 0;  // 6 bytes, first byte first
constexpr std::size_t kMacAddressLength = 6;
constexpr std::size_t kEnumPrinterId = 86;  // 16-bit
constexpr std::size_t kProtocolFlags = 92;  // 32-bit
constexpr std::size_t kAdapterType = 96;    // 16-bit
constexpr std::size_t kPortType = 98;       // 16-bit
}  // namespace PrinterEnumRecordLayout

// The address block filled by BceGetPrinterAddrEx.
namespace PrinterAddressBlockLayout {
constexpr std::size_t kSize = 680;
constexpr std::size_t kIpAddressText = 24;  // dotted text, NUL-terminated
}  // namespace PrinterAddressBlockLayout

// protocolFlags bits that make a printer reachable over TCP/IP.
constexpr std::uint32_t PROTOCOL_TCPIP = 0x2;
constexpr std::uint32_t PROTOCOL_TCPIP_ALT = 0x2000000;

// BceSendBidi commands.
constexpr std::uint32_t BIDI_GET_CLASS = 86;
constexpr std::uint32_t BIDI_GET_MODEL = 16;
constexpr std::uint32_t BIDI_GET_INPUTS = 18;
constexpr std::uint32_t BIDI_GET_OUTPUTS = 19;
// Category status commands by category bit 0..7 of the alert mask.
constexpr std::uint32_t kCategoryStatusCommand[8] = {4, 5, 6, 11, 7, 8, 9, 10};

// BceEnumSpecificPort classes: every printer class on the port.
constexpr std::uint32_t ENUM_PORT_ALL_CLASSES = 0xFFF;

// BceGetPrinterAddrEx kind: the dotted IP address text.
constexpr std::uint32_t ADDRESS_KIND_IP = 2;

// BceExchangeNetInfo requests.
constexpr std::uint32_t NETINFO_REQUEST_SUBNETS = 24;
constexpr std::uint32_t NETINFO_REQUEST_QUERY = 27;
// Target, protocol and kind of the network-information calls.
constexpr std::uint32_t NETINFO_TARGET_ALL = 0xFFFF;
constexpr std::uint32_t NETINFO_PROTOCOL_TCPIP = 2;
constexpr std::uint32_t NETINFO_KIND_ENTRY = 2;  // BceSetNetInfo

// Little-endian field access within a byte buffer.
inline std::uint16_t ReadLe16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t ReadLe32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void WriteLe16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void WriteLe32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
