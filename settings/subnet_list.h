#pragma once
// The subnet block handed to the printer communication engine: a 32-bit count,
// then per subnet its address, mask and the code 403, then 12 zero bytes; all
// numbers little-endian, addresses with the first dotted part most significant.

#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr std::uint32_t SUBNET_CODE = 403;
inline constexpr std::uint32_t MAX_SUBNETS = 255;

class SubnetList {
 public:
  // A zero-filled block for count entries (1 to MAX_SUBNETS), each with its code.
  explicit SubnetList(std::uint32_t count);

  std::uint32_t Count() const;
  std::uint32_t Address(std::uint32_t entry) const;
  std::uint32_t Mask(std::uint32_t entry) const;
  std::uint32_t Code(std::uint32_t entry) const;
  void SetAddress(std::uint32_t entry, std::uint32_t address);
  void SetMask(std::uint32_t entry, std::uint32_t mask);

  // The block as the engine takes it: 12 * Count() + 16 bytes.
  const std::uint8_t* Data() const { return bytes_.data(); }
  std::size_t Size() const { return bytes_.size(); }

 private:
  static constexpr std::size_t kEntrySize = 12;
  std::size_t FieldOffset(std::uint32_t entry, std::size_t field) const;

  std::vector<std::uint8_t> bytes_;
};
