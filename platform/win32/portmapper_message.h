#pragma once
// The messages of portmapper version 2 (ONC RPC, null authentication): the
// call that carries a mapping and the reply that carries one number.

#include <cstdint>
#include <span>
#include <vector>

namespace platform {

constexpr std::uint32_t kPortmapperProgram = 100000;
constexpr std::uint32_t kPortmapperVersion = 2;
constexpr std::uint16_t kPortmapperPort = 111;

enum class PortmapperProcedure : std::uint32_t { kSet = 1, kUnset = 2, kGetPort = 3 };

// What every procedure used here takes: a program's version, its protocol
// and port (in host byte order), as the portmapper keeps them.
struct PortmapperMapping {
  std::uint32_t program = 0;
  std::uint32_t version = 0;
  std::uint32_t protocol = 0;
  std::uint32_t port = 0;
};

// The call message, in the external data representation (big endian).
std::vector<std::uint8_t> EncodePortmapperCall(std::uint32_t transactionId, PortmapperProcedure procedure,
                                               const PortmapperMapping& mapping);

enum class PortmapperReplyKind {
  kNotOurs,   // another transaction's reply, or not a reply: to be ignored
  kFailed,    // our reply, but refused, in error or malformed
  kAnswered,  // our reply with its result
};

struct PortmapperReply {
  PortmapperReplyKind kind = PortmapperReplyKind::kNotOurs;
  // The port for GETPORT (0: not registered), 1 or 0 for SET and UNSET.
  std::uint32_t result = 0;
};

PortmapperReply DecodePortmapperReply(std::span<const std::uint8_t> datagram, std::uint32_t transactionId);

}  // namespace platform
