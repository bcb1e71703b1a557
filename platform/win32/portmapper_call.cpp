#include "platform/win32/portmapper_call.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>

#include "common/byte_order.h"
#include "platform/udp_socket.h"

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

// The range of reserved ports that the RPC library binds its clients to.
constexpr std::uint16_t kFirstReservedPort = 600;
constexpr std::uint16_t kLastReservedPort = 1023;

std::uint32_t NextTransactionId() {
  static std::atomic<std::uint32_t> next{std::random_device{}()};
  return next++;
}

// A socket from a free reserved port, tried from a random one on; from any
// port when none can be bound (without the privilege to).
UniqueSocket ConnectFromReservedPort(std::uint32_t address, std::uint16_t port) {
  constexpr int kCount = kLastReservedPort - kFirstReservedPort + 1;
  const int start = static_cast<int>(std::random_device{}() % kCount);
  for (int i = 0; i < kCount; ++i) {
    const auto local = static_cast<std::uint16_t>(kFirstReservedPort + (start + i) % kCount);
    UniqueSocket socket = ConnectUdp4(address, port, common::HostToNetwork16(local));
    if (socket.IsValid()) return socket;
  }
  return ConnectUdp4(address, port);
}

int MillisecondsUntil(Clock::time_point time) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(time - Clock::now()).count();
  return static_cast<int>(std::max<long long>(left, 0));
}

}  // namespace

std::optional<std::uint32_t> CallPortmapper(std::uint32_t address, std::uint16_t port,
                                            PortmapperProcedure procedure, const PortmapperMapping& mapping,
                                            bool fromReservedPort, const RetransmitTimes& times) {
  UniqueSocket socket = fromReservedPort ? ConnectFromReservedPort(address, port) : ConnectUdp4(address, port);
  if (!socket.IsValid()) return std::nullopt;
  const std::uint32_t transactionId = NextTransactionId();
  const std::vector<std::uint8_t> call = EncodePortmapperCall(transactionId, procedure, mapping);
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(times.totalMs);
  int waitMs = times.firstWaitMs;
  std::uint8_t reply[400];
  while (SendDatagram(socket.Get(), call.data(), call.size())) {
    const Clock::time_point resend = std::min(deadline, Clock::now() + std::chrono::milliseconds(waitMs));
    for (;;) {
      const long received = ReceiveDatagram(socket.Get(), reply, sizeof reply, MillisecondsUntil(resend));
      if (received == kDatagramTimedOut) break;
      if (received < 0) return std::nullopt;
      const PortmapperReply decoded =
          DecodePortmapperReply(std::span<const std::uint8_t>(reply, static_cast<std::size_t>(received)), transactionId);
      if (decoded.kind == PortmapperReplyKind::kAnswered) return decoded.result;
      if (decoded.kind == PortmapperReplyKind::kFailed) return std::nullopt;
    }
    if (Clock::now() >= deadline) return std::nullopt;
    waitMs = std::min(waitMs * 2, times.longestWaitMs);
  }
  return std::nullopt;
}

}  // namespace platform
