// The UDP socket the service manager passes (socket activation), found as
// sd_listen_fds finds it: from descriptor 3, for this process only.

#include "platform/socket_activation.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "common/byte_order.h"
#include "platform/udp_socket.h"
#include "tests/support/passed_socket.h"

namespace platform {
namespace {

const std::uint32_t kLoopback = common::HostToNetwork32(0x7F000001);

TEST(SocketActivationTest, TheSocketPassedForThePortIsTakenAsACopy) {
  std::uint16_t boundPort = 0;
  UniqueSocket bound = BindUdp4(kLoopback, 0, boundPort);
  ASSERT_TRUE(bound.IsValid());
  const std::uint16_t port = common::NetworkToHost16(boundPort);
  EXPECT_FALSE(ActivatedDatagramSocket(port).IsValid());  // nothing passed

  bool takenForAnotherProcess = true, takenForAnotherPort = true;
  UniqueSocket taken, takenAgain;
  {
    test_support::PassedSocket passed(bound.Get());
    ASSERT_TRUE(passed.Ok());
    takenForAnotherPort = ActivatedDatagramSocket(static_cast<std::uint16_t>(port + 1)).IsValid();
    taken = ActivatedDatagramSocket(port);
    takenAgain = ActivatedDatagramSocket(port);
    setenv("LISTEN_PID", std::to_string(getpid() + 1).c_str(), 1);
    takenForAnotherProcess = ActivatedDatagramSocket(port).IsValid();
  }

  EXPECT_FALSE(takenForAnotherProcess);
  EXPECT_FALSE(takenForAnotherPort);
  ASSERT_TRUE(taken.IsValid());
  EXPECT_TRUE(takenAgain.IsValid());
  EXPECT_NE(taken.Get(), 3);
  std::uint16_t senderPort = 0;
  UniqueSocket sender = BindUdp4(kLoopback, 0, senderPort);
  ASSERT_TRUE(SendDatagramTo(sender.Get(), "alert", 5, kLoopback, common::HostToNetwork16(port)));
  char buffer[16];
  std::uint32_t peer = 0;
  std::uint16_t peerPort = 0;
  EXPECT_EQ(ReceiveDatagramFrom(taken.Get(), buffer, sizeof buffer, 5000, peer, peerPort), 5);
}

}  // namespace
}  // namespace platform
