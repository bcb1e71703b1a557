#pragma once
// IPv4 host names and dotted addresses, both ways. Addresses are in network
// byte order.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace platform {

// The address written in dotted form ("127.0.0.1", also the short forms that
// inet_addr takes), or nothing when the text is not an address.
std::optional<std::uint32_t> ParseIPv4Address(const std::string& text);

// The IPv4 address of a dotted text by the Berkeley rule (one to four parts;
// decimal, octal with a leading 0, hexadecimal with 0x). Text that does not
// parse gives 0xFFFFFFFF, as inet_addr does.
std::uint32_t InetAddr(const std::string& text);

// The first IPv4 address that the resolver gives for the host name, or nothing.
std::optional<std::uint32_t> ResolveIPv4Address(const std::string& hostName);

// Dotted form of an address.
std::string FormatIPv4Address(std::uint32_t address);

// The official name of the host at an IPv4 address, or nothing when the
// look-up finds none. Thread-safe.
std::optional<std::string> ReverseLookup(std::uint32_t networkOrderAddress);

// Tests replace the reverse resolver: while set, ReverseLookup asks this
// function instead of the system. An empty function restores the system's.
using ReverseLookupFunction = std::function<std::optional<std::string>(std::uint32_t networkOrderAddress)>;
void SetReverseLookupForTesting(ReverseLookupFunction resolver);

}  // namespace platform
