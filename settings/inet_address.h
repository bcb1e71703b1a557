#pragma once
// The Berkeley address rule of inet_addr, without the operating system.

#include <cstdint>
#include <string_view>

inline constexpr std::uint32_t INVALID_INET_ADDRESS = 0xFFFFFFFF;

// One to four dot-separated parts, each decimal, octal with a leading 0 or
// hexadecimal with 0x; the last part fills the remaining bytes. Blanks and
// anything after them end the address. Returns the address with the first part
// as the most significant byte, or INVALID_INET_ADDRESS when the text does not
// parse.
std::uint32_t ParseInetAddress(std::string_view text);
