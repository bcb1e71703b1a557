#pragma once
// IPv4 host names to addresses and back, through the system's resolver.
// Addresses are in network byte order; common/ipv4_text.h reads and writes
// their dotted text.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace platform {

// The first IPv4 address that the resolver gives for the host name, or nothing.
std::optional<std::uint32_t> ResolveIPv4Address(const std::string& hostName);

// The official name of the host at an IPv4 address, or nothing when the
// look-up finds none. Thread-safe.
std::optional<std::string> ReverseLookup(std::uint32_t networkOrderAddress);

// Tests replace the reverse resolver: while set, ReverseLookup asks this
// function instead of the system. An empty function restores the system's.
using ReverseLookupFunction = std::function<std::optional<std::string>(std::uint32_t networkOrderAddress)>;
void SetReverseLookupForTesting(ReverseLookupFunction resolver);

}  // namespace platform
