#pragma once
// The frame that carries one event to a TEC server: a 36-byte header (the
// magic "<START>>", five zero words, the text's total length and the length
// of its first piece, big-endian) followed by the text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class TecConnection;

constexpr std::string_view FRAME_MAGIC = "<START>>";
constexpr std::size_t FRAME_HEADER_SIZE = 36;
// The first piece of the text goes out with the header; the rest follows.
constexpr std::size_t FRAME_FIRST_PIECE = 2000;

// Writes the header for a text of textLength bytes into header.
void BuildFrameHeader(std::uint32_t textLength, char (&header)[FRAME_HEADER_SIZE]);

// The fields of a received header, or an error text.
struct TecFrameHeader {
  std::uint32_t textLength = 0;
  std::uint32_t firstPieceLength = 0;
  const char* error = nullptr;  // null when the header is well formed
};
TecFrameHeader ParseFrameHeader(const char (&header)[FRAME_HEADER_SIZE]);

// Sends the header with the first piece in one send, the rest in a second.
// 0 when every byte went out, -1 otherwise.
int SendEventFrame(TecConnection& connection, const char* text, std::size_t length);

// Appends the whole frame of text to frames, for a sender that puts several
// frames into one send.
void AppendEventFrame(std::string& frames, std::string_view text);
