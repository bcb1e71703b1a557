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

namespace korbce::snmp {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kLoopback = 0x7F000001;

// An SNMPv2c trap (printerV2Alert) of community "public", as snmptrap sends it.
std::vector<unsigned char> TrapOfCommunity(const std::string& community) {
  std::vector<unsigned char> trap = {
      0x30, 0x44, 0x02, 0x01, 0x01, 0x04, 0x06, 0x70, 0x75, 0x62, 0x6c, 0x69, 0x63, 0xa7, 0x37, 0x02, 0x04, 0x21,
      0x2d, 0x94, 0x19, 0x02, 0x01, 0x00, 0x02, 0x01, 0x00, 0x30, 0x29, 0x30, 0x0d, 0x06, 0x08, 0x2b, 0x06, 0x01,
      0x02, 0x01, 0x01, 0x03, 0x00, 0x43, 0x01, 0x00, 0x30, 0x18, 0x06, 0x0a, 0x2b, 0x06, 0x01, 0x06, 0x03, 0x01,
      0x01, 0x04, 0x01, 0x00, 0x06, 0x0a, 0x2b, 0x06, 0x01, 0x02, 0x01, 0x2b, 0x12, 0x02, 0x00, 0x01};
  constexpr std::size_t kCommunityAt = 7;
  EXPECT_EQ(community.size(), 6u);  // the encoded lengths stay right
  std::copy(community.begin(), community.end(), trap.begin() + kCommunityAt);
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

}  // namespace
}  // namespace korbce::snmp
