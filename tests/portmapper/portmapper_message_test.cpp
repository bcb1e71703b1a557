#include "platform/win32/portmapper_message.h"

#include <gtest/gtest.h>

#include <vector>

namespace platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Words(std::initializer_list<std::uint32_t> words) {
  Bytes bytes;
  for (std::uint32_t word : words) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<std::uint8_t>(word >> shift));
  }
  return bytes;
}

TEST(PortmapperMessageTest, ACallCarriesTheHeaderNullAuthenticationAndTheMapping) {
  const Bytes call = EncodePortmapperCall(0x01020304, PortmapperProcedure::kGetPort, {100033057, 1, 6, 0});
  EXPECT_EQ(call, Words({0x01020304, 0 /*call*/, 2 /*RPC version*/, 100000, 2, 3 /*GETPORT*/, 0, 0, 0, 0,
                         100033057, 1, 6, 0}));
  const Bytes set = EncodePortmapperCall(7, PortmapperProcedure::kSet, {100033057, 1, 6, 5529});
  EXPECT_EQ(set.size(), 56u);
  EXPECT_EQ(Bytes(set.begin() + 20, set.begin() + 24), Words({1}));
  EXPECT_EQ(Bytes(set.end() - 4, set.end()), (Bytes{0, 0, 0x15, 0x99}));
  const Bytes unset = EncodePortmapperCall(7, PortmapperProcedure::kUnset, {});
  EXPECT_EQ(Bytes(unset.begin() + 20, unset.begin() + 24), Words({2}));
}

TEST(PortmapperMessageTest, RepliesAreMatchedByTransactionAndTheirResultRead) {
  const Bytes answered = Words({42, 1, 0, 0, 0, 0, 5529});
  EXPECT_EQ(DecodePortmapperReply(answered, 42).kind, PortmapperReplyKind::kAnswered);
  EXPECT_EQ(DecodePortmapperReply(answered, 42).result, 5529u);
  // A verifier with a body is skipped, its padding included.
  const Bytes withVerifier = Words({42, 1, 0, 1, 5, 0x41424344, 0x45000000, 0, 1});
  EXPECT_EQ(DecodePortmapperReply(withVerifier, 42).kind, PortmapperReplyKind::kAnswered);
  EXPECT_EQ(DecodePortmapperReply(withVerifier, 42).result, 1u);

  EXPECT_EQ(DecodePortmapperReply(answered, 43).kind, PortmapperReplyKind::kNotOurs);
  EXPECT_EQ(DecodePortmapperReply(Words({42, 0}), 42).kind, PortmapperReplyKind::kNotOurs) << "a call";
  EXPECT_EQ(DecodePortmapperReply(Bytes{0, 0}, 42).kind, PortmapperReplyKind::kNotOurs);

  const auto failed = [](const Bytes& reply) { return DecodePortmapperReply(reply, 42).kind == PortmapperReplyKind::kFailed; };
  EXPECT_TRUE(failed(Words({42, 1, 1, 1, 0}))) << "denied: authentication error";
  EXPECT_TRUE(failed(Words({42, 1, 0, 0, 0, 1}))) << "program unavailable";
  EXPECT_TRUE(failed(Words({42, 1, 0, 0, 0, 2, 2, 4}))) << "version mismatch";
  EXPECT_TRUE(failed(Words({42, 1, 0, 0, 0, 0}))) << "no result";
  EXPECT_TRUE(failed(Words({42, 1, 0, 0, 0xFFFFFFFF}))) << "verifier longer than the datagram";
}

}  // namespace
}  // namespace platform
