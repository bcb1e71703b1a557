#pragma once
// Byte order: network order (big endian) of the numbers in addresses and
// ports, and big-endian numbers in byte buffers.

#include <bit>
#include <cstdint>

namespace common {

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
constexpr std::uint32_t NetworkToHost32(std::uint32_t value) { return HostToNetwork32(value); }

// The four bytes at bytes, most significant first.
constexpr std::uint32_t LoadBigEndian32(const std::uint8_t* bytes) {
  return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 | bytes[3];
}

constexpr void StoreBigEndian32(std::uint8_t* bytes, std::uint32_t value) {
  for (int i = 3; i >= 0; --i, value >>= 8) bytes[i] = static_cast<std::uint8_t>(value & 0xFF);
}

}  // namespace common
