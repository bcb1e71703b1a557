// Reading the kernel's neighbour table text.

#include <gtest/gtest.h>

#include "common/ipv4_text.h"
#include "platform/posix/arp_table.h"

namespace platform {
namespace {

std::uint32_t Address(const char* text) { return common::ParseIPv4NetworkOrder(text).value(); }

TEST(ArpTableTest, OnlyCompleteSixByteEntriesOfTheAddressAreTaken) {
  const std::string table =
      "IP address       HW type     Flags       HW address            Mask     Device\n"
      "192.0.2.70       0x1         0x0         00:00:00:00:00:00     *        eth0\n"
      "192.0.2.7        0x1         0x0         00:00:00:00:00:00     *        eth0\n"
      "192.0.2.7        0x1         0x2         00:1b:a9:0C:d4:5e     *        eth1\n"
      "192.0.2.8        0x1         0x6         a0:b1:c2:d3:e4:f5     *        eth0\n"
      "192.0.2.9        0x1         0x2         00:00:00:00:00:00     *        eth0\n"
      "192.0.2.10       0x20        0x2         80:00:00:48:fe:80:00:00:00:00:00:00:00:02:c9:03:00:0a:3b:c1 * ib0\n"
      "192.0.2.11       0x1         0x2         00:1b:a9:0c:d4        *        eth0\n"
      "192.0.2.12       0x1         0x2         zz:1b:a9:0c:d4:5e     *        eth0";
  EXPECT_EQ(FindInArpTable(table, Address("192.0.2.7")), (HardwareAddress{0x00, 0x1B, 0xA9, 0x0C, 0xD4, 0x5E}));
  EXPECT_EQ(FindInArpTable(table, Address("192.0.2.8")), (HardwareAddress{0xA0, 0xB1, 0xC2, 0xD3, 0xE4, 0xF5}));
  for (const char* none : {"192.0.2.70", "192.0.2.9", "192.0.2.10", "192.0.2.11", "192.0.2.12", "192.0.2.99"}) {
    EXPECT_FALSE(FindInArpTable(table, Address(none))) << none;
  }
  // The heading is never an entry, and an empty table holds nothing.
  EXPECT_FALSE(FindInArpTable("192.0.2.7 0x1 0x2 00:1b:a9:0c:d4:5e * eth0\n", Address("192.0.2.7")));
  EXPECT_FALSE(FindInArpTable("", Address("192.0.2.7")));
}

}  // namespace
}  // namespace platform
