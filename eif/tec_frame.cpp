#include "eif/tec_frame.h"

#include <algorithm>
#include <cstring>

#include "common/byte_order.h"
#include "eif/tec_network.h"

namespace {

constexpr std::size_t kTotalLengthOffset = 28;
constexpr std::size_t kFirstPieceOffset = 32;

void PutBigEndian(char* at, std::uint32_t value) {
  common::StoreBigEndian32(reinterpret_cast<std::uint8_t*>(at), value);
}

std::uint32_t GetBigEndian(const char* at) {
  return common::LoadBigEndian32(reinterpret_cast<const std::uint8_t*>(at));
}

}  // namespace

void BuildFrameHeader(std::uint32_t textLength, char (&header)[FRAME_HEADER_SIZE]) {
  std::memset(header, 0, sizeof header);
  std::memcpy(header, FRAME_MAGIC.data(), FRAME_MAGIC.size());
  PutBigEndian(header + kTotalLengthOffset, textLength);
  PutBigEndian(header + kFirstPieceOffset, std::min<std::uint32_t>(textLength, FRAME_FIRST_PIECE));
}

TecFrameHeader ParseFrameHeader(const char (&header)[FRAME_HEADER_SIZE]) {
  TecFrameHeader fields;
  fields.textLength = GetBigEndian(header + kTotalLengthOffset);
  fields.firstPieceLength = GetBigEndian(header + kFirstPieceOffset);
  if (std::string_view(header, FRAME_MAGIC.size()) != FRAME_MAGIC) {
    fields.error = "bad magic, expected \"<START>>\"";
  } else if (std::any_of(header + FRAME_MAGIC.size(), header + kTotalLengthOffset, [](char c) { return c != 0; })) {
    fields.error = "non-zero bytes where the header holds zero words";
  } else if (fields.firstPieceLength != std::min<std::uint32_t>(fields.textLength, FRAME_FIRST_PIECE)) {
    fields.error = "first piece length does not match the total length";
  }
  return fields;
}

int SendEventFrame(TecConnection& connection, const char* text, std::size_t length) {
  char header[FRAME_HEADER_SIZE];
  BuildFrameHeader(static_cast<std::uint32_t>(length), header);
  char frame[FRAME_HEADER_SIZE + FRAME_FIRST_PIECE];
  std::memcpy(frame, header, FRAME_HEADER_SIZE);
  std::size_t firstPiece = std::min(length, FRAME_FIRST_PIECE);
  std::memcpy(frame + FRAME_HEADER_SIZE, text, firstPiece);
  const std::size_t framed = FRAME_HEADER_SIZE + firstPiece;
  if (connection.SendAll(frame, framed) != framed) return -1;
  if (length > firstPiece && connection.SendAll(text + firstPiece, length - firstPiece) != length - firstPiece) return -1;
  return 0;
}

void AppendEventFrame(std::string& frames, std::string_view text) {
  char header[FRAME_HEADER_SIZE];
  BuildFrameHeader(static_cast<std::uint32_t>(text.size()), header);
  frames.append(header, FRAME_HEADER_SIZE);
  frames.append(text);
}
