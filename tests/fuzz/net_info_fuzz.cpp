// The engine's network-information replies and the subnet list of the
// settings file, over arbitrary bytes: a reply is read only within its length
// and rebuilds to the same entry, its block has the stated layout, and the
// subnet block holds exactly the configured pairs.

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "bce/bce_records.h"
#include "common/ipv4_text.h"
#include "fuzz_support.h"
#include "profile/profile.h"
#include "service/net_info_entry.h"
#include "settings/settings_names.h"
#include "settings/settings_readers.h"

namespace {

// The shortest reply the reader takes is 16 bytes, one more than an entry of
// three empty texts needs: zero bytes after the third terminator fill it up.
constexpr std::size_t kShortestReply = 16;

std::vector<std::uint8_t> EncodeReply(const NetInfoEntry& entry) {
  std::vector<std::uint8_t> record(12, 0);
  WriteLe32(record.data() + 4, 1);
  WriteLe32(record.data() + 8, entry.value);
  for (const std::string* text : {&entry.firstText, &entry.secondText, &entry.thirdText}) {
    record.insert(record.end(), text->begin(), text->end());
    record.push_back(0);
  }
  if (record.size() < kShortestReply) record.resize(kShortestReply, 0);
  return record;
}

bool SameEntry(const NetInfoEntry& a, const NetInfoEntry& b) {
  return a.value == b.value && a.firstText == b.firstText && a.secondText == b.secondText &&
         a.thirdText == b.thirdText;
}

void CheckReply(const std::uint8_t* data, std::size_t size) {
  // A copy of exactly the reply's length, so that a read past it is seen.
  const std::vector<std::uint8_t> record(data, data + size);
  const std::optional<NetInfoEntry> entry = ParseNetInfoReply(record.data(), static_cast<std::uint32_t>(size));
  FUZZ_CHECK(entry.has_value() == (size >= 16 && ReadLe32(record.data() + 4) != 0));
  if (!entry) return;
  FUZZ_CHECK(entry->value == ReadLe32(record.data() + 8));
  FUZZ_CHECK(entry->firstText.size() + entry->secondText.size() + entry->thirdText.size() <= size - 12);
  for (const std::string* text : {&entry->firstText, &entry->secondText, &entry->thirdText})
    FUZZ_CHECK(text->find('\0') == std::string::npos);
  const std::vector<std::uint8_t> again = EncodeReply(*entry);
  const std::optional<NetInfoEntry> reparsed = ParseNetInfoReply(again.data(), static_cast<std::uint32_t>(again.size()));
  FUZZ_CHECK(reparsed && SameEntry(*reparsed, *entry));

  const std::vector<std::uint8_t> block = BuildNetInfoBlock(*entry);
  FUZZ_CHECK(block.size() == entry->secondText.size() + entry->thirdText.size() + 12);
  FUZZ_CHECK(ReadLe32(block.data()) == block.size());
  FUZZ_CHECK(ReadLe32(block.data() + 4) == entry->value);
  FUZZ_CHECK(block[8] == 0 && block[9] == 0);
  FUZZ_CHECK(std::memcmp(block.data() + 10, entry->thirdText.data(), entry->thirdText.size()) == 0);
  FUZZ_CHECK(block[10 + entry->thirdText.size()] == 0);
}

// The address the settings give for key: 0 when it is missing or empty.
std::uint32_t ConfiguredAddress(const std::string& path, const std::string& key) {
  const std::string text = platform::ReadProfileString(path, SECTION_ENUMERATION, key, "", SERVICE_VALUE_BUFFER);
  return text.empty() ? 0 : common::ParseIPv4HostOrder(text).value_or(common::kNoIPv4Address);
}

void CheckSubnets(const std::uint8_t* data, std::size_t size) {
  const std::string path = WriteScratchFile("KorEvntS.ini", std::string_view(reinterpret_cast<const char*>(data), size));
  const std::optional<SubnetList> subnets = ReadSubnetList(path);
  if (!subnets) return;
  FUZZ_CHECK(subnets->Count() >= 1 && subnets->Count() <= MAX_SUBNETS);
  FUZZ_CHECK(subnets->Size() == 12 * subnets->Count() + 16);
  FUZZ_CHECK(ReadLe32(subnets->Data()) == subnets->Count());
  for (std::uint32_t entry = 0; entry < subnets->Count(); ++entry) {
    const int number = static_cast<int>(entry) + 1;
    FUZZ_CHECK(subnets->Code(entry) == SUBNET_CODE);
    FUZZ_CHECK(subnets->Address(entry) == ConfiguredAddress(path, SubnetKey(number)));
    FUZZ_CHECK(subnets->Mask(entry) == ConfiguredAddress(path, SubnetMaskKey(number)));
  }
  for (std::size_t at = subnets->Size() - 12; at < subnets->Size(); ++at) FUZZ_CHECK(subnets->Data()[at] == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckReply(data, size);
  CheckSubnets(data, size);
  return 0;
}
