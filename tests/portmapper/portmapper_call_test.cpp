#include "platform/win32/portmapper_call.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "common/byte_order.h"
#include "platform/udp_socket.h"

namespace platform {
namespace {

const std::uint32_t kLoopback = common::HostToNetwork32(0x7F000001);
const RetransmitTimes kShortTimes{100, 400, 3000};

std::vector<std::uint8_t> Reply(std::uint32_t transactionId, std::uint32_t result) {
  std::vector<std::uint8_t> reply;
  for (std::uint32_t word : {transactionId, 1u, 0u, 0u, 0u, 0u, result}) {
    for (int shift = 24; shift >= 0; shift -= 8) reply.push_back(static_cast<std::uint8_t>(word >> shift));
  }
  return reply;
}

// A portmapper on a loopback port that ignores the first call it receives,
// answers the next one first for another transaction, then with the result:
// the call must be sent again and only its own reply taken.
class ForgetfulPortmapper {
 public:
  ForgetfulPortmapper() : socket_(BindUdp4(kLoopback, 0, port_)) {
    server_ = std::thread([this] { Serve(); });
  }
  ~ForgetfulPortmapper() { server_.join(); }
  std::uint16_t Port() const { return port_; }
  int CallsSeen() const { return calls_; }
  std::uint32_t LastProcedure() const { return procedure_; }
  std::uint32_t LastProgram() const { return program_; }

 private:
  void Serve() {
    std::uint8_t call[200];
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    while (calls_ < 2) {
      const long size = ReceiveDatagramFrom(socket_.Get(), call, sizeof call, 5000, address, port);
      if (size < 56) return;
      ++calls_;
      procedure_ = common::LoadBigEndian32(call + 20);
      program_ = common::LoadBigEndian32(call + 40);
      if (calls_ == 1) continue;
      const std::uint32_t id = common::LoadBigEndian32(call);
      for (const auto& reply : {Reply(id + 1, 1111), Reply(id, 2049)})
        SendDatagramTo(socket_.Get(), reply.data(), reply.size(), address, port);
    }
  }

  std::uint16_t port_ = 0;
  UniqueSocket socket_;
  std::thread server_;
  std::atomic<int> calls_{0};
  std::atomic<std::uint32_t> procedure_{0};
  std::atomic<std::uint32_t> program_{0};
};

TEST(PortmapperCallTest, ACallUnansweredIsSentAgainAndOnlyItsOwnReplyCounts) {
  ForgetfulPortmapper portmapper;
  const auto result = CallPortmapper(kLoopback, portmapper.Port(), PortmapperProcedure::kGetPort,
                                     {100003, 3, 17, 0}, false, kShortTimes);
  EXPECT_EQ(result, 2049u);
  EXPECT_EQ(portmapper.CallsSeen(), 2);
  EXPECT_EQ(portmapper.LastProcedure(), 3u);
  EXPECT_EQ(portmapper.LastProgram(), 100003u);
}

TEST(PortmapperCallTest, NoAnswerFailsAfterTheTotalTimeAndAClosedPortAtOnce) {
  std::uint16_t port = 0;
  UniqueSocket silent = BindUdp4(kLoopback, 0, port);
  ASSERT_TRUE(silent.IsValid());
  auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(CallPortmapper(kLoopback, port, PortmapperProcedure::kGetPort, {1, 1, 6, 0}, false, {50, 100, 400}),
            std::nullopt);
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(400));
  std::uint8_t call[100];
  std::uint32_t address = 0;
  std::uint16_t from = 0;
  int received = 0;
  while (ReceiveDatagramFrom(silent.Get(), call, sizeof call, 0, address, from) > 0) ++received;
  EXPECT_GE(received, 3) << "sent at 0, 50 and 150 ms, and at 350 with the longest wait";

  silent.Reset();  // nothing listens there any more
  started = std::chrono::steady_clock::now();
  EXPECT_EQ(CallPortmapper(kLoopback, port, PortmapperProcedure::kGetPort, {1, 1, 6, 0}, false), std::nullopt);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(4)) << "the default waits 60 s";
}

}  // namespace
}  // namespace platform
