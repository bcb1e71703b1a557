#pragma once
// The subnets the adapter hands over (BceExchangeNetInfo request 24), and the
// host addresses a sweep of them asks.

#include <cstdint>
#include <vector>

namespace korbce {

// Addresses and masks with the first dotted part most significant.
struct Subnet {
  std::uint32_t address = 0;
  std::uint32_t mask = 0;
  bool operator==(const Subnet&) const = default;
};

// A 32-bit count, then per subnet its address, mask and a code, all
// little-endian; entries beyond the block's length are left out.
std::vector<Subnet> ParseSubnetBlock(const std::uint8_t* block, std::uint32_t length);

// Every host address of the subnet, the network and broadcast addresses left
// out (a /31 or /32 is all hosts); at most limit of them.
std::vector<std::uint32_t> HostsOf(const Subnet& subnet, std::size_t limit);

}  // namespace korbce
