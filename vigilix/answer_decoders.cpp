#include "vigilix/answer_decoders.h"

#include <algorithm>
#include <string>

namespace vigilix {
namespace {

constexpr std::size_t kCountOffset = 1;
constexpr std::size_t kFirstEntryOffset = 2;

// The entry count, or 0 when the answer is too short to hold one.
std::size_t EntryCount(std::span<const std::uint8_t> answer) {
  return answer.size() > kFirstEntryOffset ? answer[kCountOffset] : 0;
}

// The name held in the length bytes from start: up to its NUL, at most length bytes.
std::string NameAt(std::span<const std::uint8_t> answer, std::size_t start, std::size_t length) {
  const auto name = answer.subspan(start, length);
  const auto end = std::ranges::find(name, std::uint8_t{0});
  return std::string(name.begin(), end);
}

}  // namespace

std::vector<Location> DecodeInputSources(std::span<const std::uint8_t> answer) {
  constexpr std::size_t kNameLength = 30;
  constexpr std::size_t kName = 31;
  std::vector<Location> sources;
  std::size_t entry = kFirstEntryOffset;
  for (std::size_t i = 0, n = EntryCount(answer); i < n; ++i) {
    if (entry + kName > answer.size()) break;
    const std::size_t nameLength = answer[entry + kNameLength];
    const std::size_t extraCount = entry + kName + nameLength;
    if (extraCount >= answer.size()) break;
    const std::size_t next = extraCount + 1 + answer[extraCount];
    if (next > answer.size()) break;
    sources.push_back({answer[entry], NameAt(answer, entry + kName, nameLength)});
    entry = next;
  }
  return sources;
}

std::vector<Location> DecodeOutputBins(std::span<const std::uint8_t> answer) {
  constexpr std::size_t kNameLength = 8;
  constexpr std::size_t kName = 9;
  std::vector<Location> bins;
  std::size_t entry = kFirstEntryOffset;
  for (std::size_t i = 0, n = EntryCount(answer); i < n; ++i) {
    if (entry + kName > answer.size()) break;
    const std::size_t nameLength = answer[entry + kNameLength];
    const std::size_t next = entry + kName + nameLength;
    if (next > answer.size()) break;
    bins.push_back({answer[entry], NameAt(answer, entry + kName, nameLength)});
    entry = next;
  }
  return bins;
}

std::vector<AlertKey> DecodeStatusAnswer(std::span<const std::uint8_t> answer) {
  constexpr std::size_t kEntryHeader = 4;
  std::vector<AlertKey> entries;
  std::size_t entry = kFirstEntryOffset;
  for (std::size_t i = 0, n = EntryCount(answer); i < n; ++i) {
    if (entry + kEntryHeader > answer.size()) break;
    const std::size_t next = entry + kEntryHeader + answer[entry + 3];
    if (next > answer.size()) break;
    entries.push_back({answer[0], answer[entry], answer[entry + 1], answer[entry + 2]});
    entry = next;
  }
  return entries;
}

}  // namespace vigilix
