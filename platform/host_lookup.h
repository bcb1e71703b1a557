#pragma once
// Reverse host look-ups: from a dotted address text to the host's name.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace platform {

// The IPv4 address of a dotted text, in network byte order, by the Berkeley
// rule (one to four parts; decimal, octal with a leading 0, hexadecimal with
// 0x). Text that does not parse gives 0xFFFFFFFF, as inet_addr does.
std::uint32_t InetAddr(const std::string& text);

// The official name of the host at an IPv4 address given in network byte
// order, or nothing when the look-up finds none. Thread-safe.
std::optional<std::string> ReverseLookup(std::uint32_t networkOrderAddress);

// Tests replace the resolver: while set, ReverseLookup asks this function
// instead of the system. An empty function restores the system's resolver.
using ReverseLookupFunction = std::function<std::optional<std::string>(std::uint32_t networkOrderAddress)>;
void SetReverseLookupForTesting(ReverseLookupFunction resolver);

}  // namespace platform
