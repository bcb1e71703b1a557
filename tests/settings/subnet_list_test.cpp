#include "settings/subnet_list.h"

#include <gtest/gtest.h>

#include <vector>

TEST(SubnetList, TwoSubnetsMakeTheEngineBlockByteForByte) {
  SubnetList list(2);
  list.SetAddress(0, 0x0A010000);
  list.SetMask(0, 0xFFFF0000);
  list.SetAddress(1, 0xC0A80700);
  list.SetMask(1, 0xFFFFFF00);

  const std::vector<std::uint8_t> expected = {
      0x02, 0x00, 0x00, 0x00,                                                  // count
      0x00, 0x00, 0x01, 0x0A, 0x00, 0x00, 0xFF, 0xFF, 0x93, 0x01, 0x00, 0x00,  // 10.1.0.0/255.255.0.0, 403
      0x00, 0x07, 0xA8, 0xC0, 0x00, 0xFF, 0xFF, 0xFF, 0x93, 0x01, 0x00, 0x00,  // 192.168.7.0/255.255.255.0, 403
      0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,     // trailer
  };
  ASSERT_EQ(list.Size(), 40u);
  EXPECT_EQ(std::vector<std::uint8_t>(list.Data(), list.Data() + list.Size()), expected);
  EXPECT_EQ(list.Count(), 2u);
  EXPECT_EQ(list.Address(1), 0xC0A80700u);
  EXPECT_EQ(list.Mask(0), 0xFFFF0000u);
}

TEST(SubnetList, NewListIsZeroFilledWithTheCodeInEveryEntry) {
  SubnetList list(MAX_SUBNETS);
  ASSERT_EQ(list.Size(), 12u * MAX_SUBNETS + 16);
  for (std::uint32_t entry = 0; entry < MAX_SUBNETS; ++entry) {
    EXPECT_EQ(list.Address(entry), 0u);
    EXPECT_EQ(list.Mask(entry), 0u);
    EXPECT_EQ(list.Code(entry), SUBNET_CODE);
  }
  for (std::size_t i = list.Size() - 12; i < list.Size(); ++i) EXPECT_EQ(list.Data()[i], 0) << i;
}
