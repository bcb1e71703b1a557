#pragma once
// IPv4 addresses written as text, both ways, without the operating system.
//
// Addresses are 32-bit numbers in one of two byte orders, named in each
// function: host order has the first part of the text as the most significant
// byte of the number, so that arithmetic on subnets works; network order has
// the first part as the first byte in memory, as sockets take addresses.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace common {

// The Berkeley rule of inet_aton and inet_addr: one to four dot-separated
// parts, each decimal, octal with a leading 0 or hexadecimal with 0x; the last
// part fills the remaining bytes ("127.1" is 127.0.0.1). A blank or NUL and
// anything after it end the address. Nothing when the text does not parse.
std::optional<std::uint32_t> ParseIPv4HostOrder(std::string_view text);
std::optional<std::uint32_t> ParseIPv4NetworkOrder(std::string_view text);

// What inet_addr returns for text that does not parse: the number of
// 255.255.255.255, the same in both orders.
inline constexpr std::uint32_t kNoIPv4Address = 0xFFFFFFFF;

// The strict dotted form: exactly four decimal numbers 0 to 255 of at most
// three digits, separated by dots, with no blanks anywhere.
bool IsDottedQuad(std::string_view text);
std::optional<std::uint32_t> ParseDottedQuadHostOrder(std::string_view text);

// The dotted form "a.b.c.d".
std::string FormatIPv4HostOrder(std::uint32_t address);
std::string FormatIPv4NetworkOrder(std::uint32_t address);

}  // namespace common
