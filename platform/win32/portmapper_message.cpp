#include "platform/win32/portmapper_message.h"

#include <optional>

#include "common/byte_order.h"

namespace platform {

namespace {

constexpr std::uint32_t kCall = 0;
constexpr std::uint32_t kReply = 1;
constexpr std::uint32_t kRpcVersion = 2;
constexpr std::uint32_t kNullAuthentication = 0;
constexpr std::uint32_t kAccepted = 0;
constexpr std::uint32_t kSuccess = 0;
// An opaque authentication body is at most 400 bytes.
constexpr std::uint32_t kMaxAuthenticationBody = 400;

void Put(std::vector<std::uint8_t>& message, std::uint32_t value) {
  std::uint8_t word[4];
  common::StoreBigEndian32(word, value);
  message.insert(message.end(), word, word + 4);
}

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> data) : data_(data) {}

  std::optional<std::uint32_t> Next() {
    if (data_.size() < 4) return std::nullopt;
    const std::uint32_t value = common::LoadBigEndian32(data_.data());
    data_ = data_.subspan(4);
    return value;
  }

  // Skips an opaque body of length bytes, padded to a multiple of four.
  bool Skip(std::uint32_t length) {
    const std::size_t padded = (std::size_t{length} + 3) / 4 * 4;
    if (data_.size() < padded) return false;
    data_ = data_.subspan(padded);
    return true;
  }

 private:
  std::span<const std::uint8_t> data_;
};

}  // namespace

std::vector<std::uint8_t> EncodePortmapperCall(std::uint32_t transactionId, PortmapperProcedure procedure,
                                               const PortmapperMapping& mapping) {
  std::vector<std::uint8_t> message;
  message.reserve(56);
  for (std::uint32_t word : {transactionId, kCall, kRpcVersion, kPortmapperProgram, kPortmapperVersion,
                             static_cast<std::uint32_t>(procedure),
                             kNullAuthentication, 0u,  // credentials: flavour, length
                             kNullAuthentication, 0u,  // verifier
                             mapping.program, mapping.version, mapping.protocol, mapping.port})
    Put(message, word);
  return message;
}

PortmapperReply DecodePortmapperReply(std::span<const std::uint8_t> datagram, std::uint32_t transactionId) {
  Reader reader(datagram);
  const std::optional<std::uint32_t> id = reader.Next();
  const std::optional<std::uint32_t> type = reader.Next();
  if (id != transactionId || type != kReply) return {};
  const PortmapperReply failed{PortmapperReplyKind::kFailed, 0};
  if (reader.Next() != kAccepted) return failed;
  const std::optional<std::uint32_t> verifierFlavour = reader.Next();
  const std::optional<std::uint32_t> verifierLength = reader.Next();
  if (!verifierFlavour || !verifierLength || *verifierLength > kMaxAuthenticationBody ||
      !reader.Skip(*verifierLength))
    return failed;
  if (reader.Next() != kSuccess) return failed;
  const std::optional<std::uint32_t> result = reader.Next();
  if (!result) return failed;
  return {PortmapperReplyKind::kAnswered, *result};
}

}  // namespace platform
