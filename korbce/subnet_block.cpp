#include "korbce/subnet_block.h"

#include "bce/bce_records.h"

namespace korbce {
namespace {

constexpr std::size_t kCountSize = 4;
constexpr std::size_t kEntrySize = 12;

}  // namespace

std::vector<Subnet> ParseSubnetBlock(const std::uint8_t* block, std::uint32_t length) {
  std::vector<Subnet> subnets;
  if (block == nullptr || length < kCountSize) return subnets;
  const std::uint32_t count = ReadLe32(block);
  for (std::uint32_t entry = 0; entry < count; ++entry) {
    const std::size_t offset = kCountSize + entry * kEntrySize;
    if (offset + kEntrySize > length) break;
    subnets.push_back({ReadLe32(block + offset), ReadLe32(block + offset + 4)});
  }
  return subnets;
}

std::vector<std::uint32_t> HostsOf(const Subnet& subnet, std::size_t limit) {
  const std::uint32_t network = subnet.address & subnet.mask;
  const std::uint64_t size = static_cast<std::uint64_t>(~subnet.mask) + 1;
  std::uint64_t first = 0;
  std::uint64_t last = size - 1;
  if (size > 2) {
    first = 1;
    last = size - 2;
  }
  std::vector<std::uint32_t> hosts;
  for (std::uint64_t host = first; host <= last && hosts.size() < limit; ++host) {
    hosts.push_back(network + static_cast<std::uint32_t>(host));
  }
  return hosts;
}

}  // namespace korbce
