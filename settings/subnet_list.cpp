#include "settings/subnet_list.h"

#include <cassert>

#include "bce/bce_records.h"

namespace {
constexpr std::size_t kAddressField = 4;
constexpr std::size_t kMaskField = 8;
constexpr std::size_t kCodeField = 12;
}  // namespace

SubnetList::SubnetList(std::uint32_t count) : bytes_(kEntrySize * count + 16, 0) {
  WriteLe32(bytes_.data(), count);
  for (std::uint32_t entry = 0; entry < count; ++entry) WriteLe32(&bytes_[FieldOffset(entry, kCodeField)], SUBNET_CODE);
}

std::uint32_t SubnetList::Count() const { return ReadLe32(bytes_.data()); }

std::uint32_t SubnetList::Address(std::uint32_t entry) const {
  return ReadLe32(&bytes_[FieldOffset(entry, kAddressField)]);
}

std::uint32_t SubnetList::Mask(std::uint32_t entry) const { return ReadLe32(&bytes_[FieldOffset(entry, kMaskField)]); }

std::uint32_t SubnetList::Code(std::uint32_t entry) const { return ReadLe32(&bytes_[FieldOffset(entry, kCodeField)]); }

void SubnetList::SetAddress(std::uint32_t entry, std::uint32_t address) {
  WriteLe32(&bytes_[FieldOffset(entry, kAddressField)], address);
}

void SubnetList::SetMask(std::uint32_t entry, std::uint32_t mask) {
  WriteLe32(&bytes_[FieldOffset(entry, kMaskField)], mask);
}

std::size_t SubnetList::FieldOffset(std::uint32_t entry, std::size_t field) const {
  assert(entry < Count());
  return kEntrySize * entry + field;
}
