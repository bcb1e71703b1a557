#pragma once
// Network byte order (big endian) of the numbers in addresses and ports.

#include <bit>
#include <cstdint>

namespace platform {

constexpr std::uint16_t HostToNetwork16(std::uint16_t value) {
  if constexpr (std::endian::native == std::endian::big) return value;
  return static_cast<std::uint16_t>(value << 8 | value >> 8);
}

constexpr std::uint32_t HostToNetwork32(std::uint32_t value) {
  if constexpr (std::endian::native == std::endian::big) return value;
  return value << 24 | (value & 0xFF00) << 8 | (value >> 8 & 0xFF00) | value >> 24;
}

// Swapping is its own inverse.
constexpr std::uint16_t NetworkToHost16(std::uint16_t value) { return HostToNetwork16(value); }

}  // namespace platform
