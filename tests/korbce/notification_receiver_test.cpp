// The notification receiver on the transport's thread, fed datagrams by the
// test: which notifications it hands on, and what it says of the others.

#include "korbce/snmp/notification_receiver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/byte_order.h"
#include "korbce/snmp/snmp_transport.h"
#include "platform/trace.h"
#include "platform/udp_socket.h"
#include "tests/support/trap_datagram.h"
#if !defined(_WIN32)
#include "tests/support/passed_socket.h"
#endif

namespace korbce::snmp {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kLoopback = 0x7F000001;

// The test trap with another community of the same length.
std::vector<unsigned char> TrapOfCommunity(const std::string& community) {
  using namespace snmp_test;
  std::vector<unsigned char> trap(std::begin(kPrinterAlertTrap), std::end(kPrinterAlertTrap));
  EXPECT_EQ(community.size(), kTrapCommunityLength);
  std::copy(community.begin(), community.end(), trap.begin() + kTrapCommunityAt);
  return trap;
}

class Trace {
 public:
  Trace() {
    platform::SetDebugOutputSink([this](std::string_view text) {
      std::lock_guard lock(mutex_);
      text_ += text;
    });
  }
  ~Trace() { platform::SetDebugOutputSink({}); }
  std::size_t Count(const std::string& line) const {
    std::lock_guard lock(mutex_);
    std::size_t count = 0;
    for (auto at = text_.find(line); at != std::string::npos; at = text_.find(line, at + 1)) ++count;
    return count;
  }
  std::string Text() const {
    std::lock_guard lock(mutex_);
    return text_;
  }

 private:
  mutable std::mutex mutex_;
  std::string text_;
};

std::uint16_t FreePort() {
  std::uint16_t port = 0;
  platform::BindUdp4(common::HostToNetwork32(kLoopback), 0, port);
  return common::NetworkToHost16(port);
}

template <class Condition>
bool Eventually(Condition condition) {
  for (int i = 0; i < 300 && !condition(); ++i) std::this_thread::sleep_for(10ms);
  return condition();
}

// Notifications of the right community are handed on with their sender; the
// others, and those of an address that is no watched printer's, are dropped
// with one trace line for many. A port already taken is said on the trace.
TEST(NotificationReceiverTest, HandsOnRightNotificationsAndTracesTheDroppedOnce) {
  Trace trace;
  std::atomic<int> notified{0};
  std::atomic<std::uint32_t> sender{0};
  std::atomic<bool> watched{true};
  NotificationReceiver receiver([&](std::uint32_t address) {
    sender = address;
    ++notified;
    return watched.load();
  });
  NotificationReceiver second([](std::uint32_t) { return true; });
  NotificationSettings settings;
  settings.port = FreePort();
  settings.community = "public";
  SnmpTransport transport;
  ASSERT_TRUE(transport.Start([&] {
    receiver.Configure(settings);
    receiver.Read();
    second.Configure(settings);
  }));
  ASSERT_TRUE(Eventually([&] { return trace.Count("listening for SNMP notifications") == 1; })) << trace.Text();
  ASSERT_TRUE(Eventually([&] { return trace.Count("cannot listen for SNMP notifications") == 1; })) << trace.Text();

  std::uint16_t localPort = 0;
  platform::UniqueSocket socket = platform::BindUdp4(common::HostToNetwork32(kLoopback), 0, localPort);
  ASSERT_TRUE(socket.IsValid());
  const auto send = [&](const std::vector<unsigned char>& datagram) {
    ASSERT_TRUE(platform::SendDatagramTo(socket.Get(), datagram.data(), datagram.size(),
                                         common::HostToNetwork32(kLoopback), common::HostToNetwork16(settings.port)));
  };
  send(TrapOfCommunity("public"));
  ASSERT_TRUE(Eventually([&] { return notified == 1; }));
  EXPECT_EQ(sender, kLoopback);

  for (int i = 0; i < 3; ++i) send(TrapOfCommunity("secret"));
  watched = false;
  for (int i = 0; i < 3; ++i) send(TrapOfCommunity("public"));
  ASSERT_TRUE(Eventually([&] { return notified == 4; }));
  std::this_thread::sleep_for(200ms);
  transport.Stop();
  receiver.Close();
  second.Close();
  EXPECT_EQ(notified, 4);
  EXPECT_EQ(trace.Count("SNMP notification from 127.0.0.1: notification with a wrong community; dropped\n"), 1u)
      << trace.Text();
  EXPECT_EQ(trace.Count("SNMP notification from 127.0.0.1: notification from an address that is no watched "
                        "printer's; dropped\n"),
            1u)
      << trace.Text();
}

#if !defined(_WIN32)
// Under systemd the port comes from the service manager: the receiver takes
// the socket passed for its port rather than binding one.
TEST(NotificationReceiverTest, TakesTheSocketPassedForItsPort) {
  Trace trace;
  std::uint16_t boundPort = 0;
  platform::UniqueSocket bound = platform::BindUdp4(common::HostToNetwork32(kLoopback), 0, boundPort);
  ASSERT_TRUE(bound.IsValid());
  test_support::PassedSocket passed(bound.Get());
  ASSERT_TRUE(passed.Ok());
  std::atomic<int> notified{0};
  NotificationReceiver receiver([&](std::uint32_t) {
    ++notified;
    return true;
  });
  NotificationSettings settings;
  settings.port = common::NetworkToHost16(boundPort);
  settings.community = "public";
  SnmpTransport transport;
  ASSERT_TRUE(transport.Start([&] {
    receiver.Configure(settings);
    receiver.Read();
  }));
  ASSERT_TRUE(Eventually([&] { return trace.Count(", passed by the service manager\n") == 1; })) << trace.Text();
  std::uint16_t localPort = 0;
  platform::UniqueSocket socket = platform::BindUdp4(common::HostToNetwork32(kLoopback), 0, localPort);
  const auto trap = TrapOfCommunity("public");
  ASSERT_TRUE(platform::SendDatagramTo(socket.Get(), trap.data(), trap.size(), common::HostToNetwork32(kLoopback),
                                       boundPort));
  EXPECT_TRUE(Eventually([&] { return notified == 1; }));
  transport.Stop();
  receiver.Close();
}
#endif

}  // namespace
}  // namespace korbce::snmp
