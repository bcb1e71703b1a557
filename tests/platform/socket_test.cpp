#include "platform/tcp_socket.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <string>
#include <thread>

#include "common/byte_order.h"
#include "platform/host_lookup.h"
#include "platform/readiness.h"
#include "platform/socket_startup.h"

namespace platform {
namespace {

const std::uint32_t kLoopback = common::HostToNetwork32(0x7F000001);

// Waits until the handle is readable; false after 5 seconds.
bool BecomesReadable(NativeHandle handle) {
  bool readable = false;
  return WaitReadable(std::span<const NativeHandle>(&handle, 1), std::span<bool>(&readable, 1), 5000) == 1 &&
         readable;
}

TEST(SocketTest, StartUpGrantsTheVersionAskedFor) {
  EXPECT_TRUE(StartSockets(1, 1));
  EXPECT_TRUE(StartSockets(2, 2));
}

TEST(SocketTest, ConnectAcceptSendAndReceiveOnLoopback) {
  std::uint16_t port = 0;
  UniqueSocket listener = BindTcp4(kLoopback, 0, true, port);
  ASSERT_TRUE(listener.IsValid());
  ASSERT_NE(port, 0);
  std::uint32_t peerAddress = 0;
  std::uint16_t peerPort = 0;
  EXPECT_FALSE(AcceptTcp(listener.Get(), peerAddress, peerPort).IsValid()) << "nothing pending yet";

  UniqueSocket client = ConnectTcp4(kLoopback, port);
  ASSERT_TRUE(client.IsValid());
  ASSERT_TRUE(BecomesReadable(listener.Get()));
  UniqueSocket server = AcceptTcp(listener.Get(), peerAddress, peerPort);
  ASSERT_TRUE(server.IsValid());
  EXPECT_EQ(peerAddress, kLoopback);
  EXPECT_NE(peerPort, 0);

  std::array<char, 64> buffer{};
  EXPECT_EQ(ReceiveSome(server.Get(), buffer.data(), buffer.size()), -2) << "nothing sent yet";
  const std::string message(100000, 'x');
  std::thread sender([&] { EXPECT_EQ(SendAll(client.Get(), message.data(), message.size()), message.size()); });
  std::string received;
  std::array<char, 4096> block{};
  while (received.size() < message.size() && BecomesReadable(server.Get())) {
    const long count = ReceiveSome(server.Get(), block.data(), block.size());
    if (count <= 0 && count != -2) break;
    if (count > 0) received.append(block.data(), static_cast<std::size_t>(count));
  }
  sender.join();
  EXPECT_EQ(received, message);

  EXPECT_FALSE(PeerHasClosed(client.Get()));
  server.Reset();
  bool closed = false;
  for (int i = 0; i < 500 && !closed; ++i) {
    closed = PeerHasClosed(client.Get());
    if (!closed) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(closed);
  ShutdownBoth(client.Get());
}

TEST(SocketTest, WaitReadableTellsWhichHandleIsReadyAndTimesOut) {
  std::uint16_t port = 0;
  UniqueSocket listener = BindTcp4(kLoopback, 0, true, port);
  UniqueSocket quiet = BindTcp4(kLoopback, 0, true, port);
  UniqueSocket busy = BindTcp4(kLoopback, 0, true, port);
  ASSERT_TRUE(listener.IsValid() && quiet.IsValid() && busy.IsValid());
  const std::array<NativeHandle, 2> handles{quiet.Get(), busy.Get()};
  std::array<bool, 2> readable{true, true};
  EXPECT_EQ(WaitReadable(handles, readable, 20), 0);

  UniqueSocket client = ConnectTcp4(kLoopback, port);  // to busy, bound last
  ASSERT_TRUE(client.IsValid());
  EXPECT_EQ(WaitReadable(handles, readable, 5000), 1);
  EXPECT_FALSE(readable[0]);
  EXPECT_TRUE(readable[1]);
}

TEST(SocketTest, ABoundSocketThatDoesNotListenRefusesConnections) {
  std::uint16_t port = 0;
  UniqueSocket bound = BindTcp4(kLoopback, 0, false, port);
  ASSERT_TRUE(bound.IsValid());
  EXPECT_FALSE(ConnectTcp4(kLoopback, port).IsValid());
}

TEST(HostLookupTest, HostNamesResolve) {
  EXPECT_EQ(ResolveIPv4Address("localhost"), kLoopback);
  EXPECT_EQ(ResolveIPv4Address(""), std::nullopt);
}

TEST(HostLookupTest, TheReverseLookupCanBeReplacedAndRestored) {
  SetReverseLookupForTesting([](std::uint32_t address) -> std::optional<std::string> {
    if (address == common::HostToNetwork32(0x0A000001)) return "printer.example";
    return std::nullopt;
  });
  EXPECT_EQ(ReverseLookup(common::HostToNetwork32(0x0A000001)), "printer.example");
  EXPECT_EQ(ReverseLookup(common::HostToNetwork32(0x0A000002)), std::nullopt);
  SetReverseLookupForTesting(nullptr);
  EXPECT_TRUE(ReverseLookup(kLoopback).has_value()) << "the system's hosts file names the loopback";
}

}  // namespace
}  // namespace platform
