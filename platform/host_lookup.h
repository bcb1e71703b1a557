#pragma once
// IPv4 host names and dotted addresses. Addresses are in network byte order.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The address written in dotted form ("127.0.0.1", also the short forms that
// inet_addr takes), or nothing when the text is not an address.
std::optional<std::uint32_t> ParseIPv4Address(const std::string& text);

// The first IPv4 address that the resolver gives for the host name, or nothing.
std::optional<std::uint32_t> ResolveIPv4Address(const std::string& hostName);

// Dotted form of an address.
std::string FormatIPv4Address(std::uint32_t address);

}  // namespace platform
