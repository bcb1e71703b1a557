#pragma once
// One entry of the engine's TCP/IP network-information reply, and the block
// that hands it back to the engine.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct NetInfoEntry {
  std::uint32_t value = 0;
  std::string firstText;
  std::string secondText;
  std::string thirdText;
};

// The entry of one reply record: the value at bytes 8-11, then three
// NUL-terminated texts from byte 12. Nothing for a null record, one shorter
// than 16 bytes or one whose word at bytes 4-7 is 0. Reads stay within length:
// a text not terminated inside the record ends at its end.
std::optional<NetInfoEntry> ParseNetInfoReply(const std::uint8_t* record, std::uint32_t length);

// The block for BceSetNetInfo, zero-filled, of length L = second text length +
// third text length + 12: L, the value, two zero bytes, the third text with its
// terminator.
std::vector<std::uint8_t> BuildNetInfoBlock(const NetInfoEntry& entry);
