#include "service/net_info_entry.h"

#include <algorithm>
#include <cstring>

#include "bce/bce_records.h"

namespace {

constexpr std::uint32_t kMinimumReplyLength = 16;
constexpr std::size_t kReplyFlag = 4;
constexpr std::size_t kReplyValue = 8;
constexpr std::size_t kReplyTexts = 12;

constexpr std::size_t kBlockLength = 0;
constexpr std::size_t kBlockValue = 4;
constexpr std::size_t kBlockText = 10;
constexpr std::size_t kBlockOverhead = 12;

// Takes the text that starts at position and moves position past its terminator.
std::string TakeText(const std::uint8_t* record, std::size_t length, std::size_t& position) {
  const std::uint8_t* start = record + std::min(position, length);
  const std::uint8_t* end = std::find(start, record + length, std::uint8_t{0});
  position += static_cast<std::size_t>(end - start) + 1;
  return std::string(start, end);
}

}  // namespace

std::optional<NetInfoEntry> ParseNetInfoReply(const std::uint8_t* record, std::uint32_t length) {
  if (record == nullptr || length < kMinimumReplyLength || ReadLe32(record + kReplyFlag) == 0) return std::nullopt;
  NetInfoEntry entry;
  entry.value = ReadLe32(record + kReplyValue);
  std::size_t position = kReplyTexts;
  entry.firstText = TakeText(record, length, position);
  entry.secondText = TakeText(record, length, position);
  entry.thirdText = TakeText(record, length, position);
  return entry;
}

std::vector<std::uint8_t> BuildNetInfoBlock(const NetInfoEntry& entry) {
  std::size_t length = entry.secondText.size() + entry.thirdText.size() + kBlockOverhead;
  std::vector<std::uint8_t> block(length, 0);
  WriteLe32(block.data() + kBlockLength, static_cast<std::uint32_t>(length));
  WriteLe32(block.data() + kBlockValue, entry.value);
  std::memcpy(block.data() + kBlockText, entry.thirdText.data(), entry.thirdText.size());
  return block;
}
