// The spooler's own ports, through EnumPortsA.
#include "platform/spooler_ports.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace platform {
namespace {

bool Holds(const std::vector<std::string>& ports, const std::string& name) {
  return std::find(ports.begin(), ports.end(), name) != ports.end();
}

class SpoolerPortsTest : public ::testing::Test {
 protected:
  void TearDown() override { ClearSpoolerPortsForTesting(); }
};

TEST_F(SpoolerPortsTest, TheSpoolerListsItsLocalPorts) {
  const auto ports = EnumSpoolerPorts();
  ASSERT_TRUE(ports.has_value());
  EXPECT_TRUE(Holds(*ports, "LPT1:"));
  EXPECT_TRUE(Holds(*ports, "COM1:"));
  EXPECT_TRUE(Holds(*ports, "FILE:"));
  for (const std::string& port : *ports) EXPECT_FALSE(port.empty());
}

TEST_F(SpoolerPortsTest, AListTooLongForTheBufferOrAFailureIsNoList) {
  // Each port takes 4 bytes and its name with its terminator.
  std::vector<std::string> ports(kSpoolerPortBufferSize / 100, std::string(95, 'p'));
  SetSpoolerPortsForTesting(ports);
  EXPECT_EQ(EnumSpoolerPorts(), ports) << "exactly full";
  ports.push_back("X");
  SetSpoolerPortsForTesting(ports);
  EXPECT_FALSE(EnumSpoolerPorts().has_value());
  SetSpoolerPortsForTesting(std::nullopt);
  EXPECT_FALSE(EnumSpoolerPorts().has_value());
  ClearSpoolerPortsForTesting();
  const auto asked = EnumSpoolerPorts();
  ASSERT_TRUE(asked.has_value());
  EXPECT_TRUE(Holds(*asked, "LPT1:")) << "the spooler is asked again";
}

}  // namespace
}  // namespace platform
