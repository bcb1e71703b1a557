#include "platform/portmapper.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "common/byte_order.h"
#include "tests/support/rpcbind_server.h"

namespace platform {
namespace {

const std::uint32_t kLoopback = common::HostToNetwork32(0x7F000001);
// A program number of the range left to users, and not the TEC server's.
constexpr std::uint32_t kProgram = 0x20000457;

TEST(PortmapperTest, RegistrationsAreSetFoundAndRemovedAtTheLocalRpcbind) {
  test_support::RpcbindServer rpcbind;
  std::string why;
  const auto errors = std::filesystem::temp_directory_path() / "portmapper_test_rpcbind.err";
  if (!rpcbind.EnsureRunning(errors.string(), &why)) GTEST_SKIP() << why;

  PortmapperUnset(kProgram, 1);
  PortmapperUnset(kProgram, 2);
  EXPECT_EQ(PortmapperGetPort(kLoopback, kProgram, 1, kProtocolTcp), 0) << "not registered yet";
  ASSERT_TRUE(PortmapperSet(kProgram, 1, kProtocolTcp, common::HostToNetwork16(5529)));
  ASSERT_TRUE(PortmapperSet(kProgram, 1, kProtocolUdp, common::HostToNetwork16(5530)));
  EXPECT_FALSE(PortmapperSet(kProgram, 1, kProtocolTcp, common::HostToNetwork16(6000))) << "taken already";
  EXPECT_EQ(PortmapperGetPort(kLoopback, kProgram, 1, kProtocolTcp), common::HostToNetwork16(5529));
  EXPECT_EQ(PortmapperGetPort(kLoopback, kProgram, 1, kProtocolUdp), common::HostToNetwork16(5530));

  EXPECT_TRUE(PortmapperUnset(kProgram, 1));
  EXPECT_EQ(PortmapperGetPort(kLoopback, kProgram, 1, kProtocolTcp), 0);
  EXPECT_EQ(PortmapperGetPort(kLoopback, kProgram, 1, kProtocolUdp), 0) << "every protocol of the version";

  // (A portmapper answers for any version of a program it knows, so the
  // versions are tried one after the other.)
  ASSERT_TRUE(PortmapperSet(kProgram, 2, kProtocolTcp, common::HostToNetwork16(5531)));
  EXPECT_EQ(PortmapperGetPort(kLoopback, kProgram, 2, kProtocolTcp), common::HostToNetwork16(5531));
  EXPECT_TRUE(PortmapperUnset(kProgram, 2));
  EXPECT_EQ(PortmapperGetPort(kLoopback, kProgram, 2, kProtocolTcp), 0);
  std::filesystem::remove(errors);
}

}  // namespace
}  // namespace platform
