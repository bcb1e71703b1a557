#include "korbce/snmp/own_words.h"

#include <algorithm>

#include "common/blank_text.h"
#include "korbce/snmp/printer_locations.h"

namespace korbce::snmp {
namespace {

constexpr std::uint8_t kHighestKey = 255;

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }
bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

std::uint8_t OwnWords::KeyOf(std::string_view text) {
  std::string words = CleanWords(text);
  if (words.empty()) return 0;
  const auto same = [&](const Location& location) { return location.name == words; };
  if (const auto found = std::ranges::find_if(words_, same); found != words_.end()) return found->key;
  std::uint8_t key = ToldKey(words);
  if (key == 0) key = FreeKey();
  if (key == 0 || !FitsOutputList(outputs_, words.size())) return 0;
  outputs_.push_back({key, words});
  words_.push_back({key, std::move(words)});
  return key;
}

bool OwnWords::Used(std::uint8_t key) const {
  return std::ranges::any_of(outputs_, [key](const Location& output) { return output.key == key; });
}

std::uint8_t OwnWords::ToldKey(const std::string& words) const {
  for (const Location& told : told_) {
    if (told.name == words && !Used(told.key)) return told.key;
  }
  return 0;
}

// Keys from the top down, first those the library holds no name for.
std::uint8_t OwnWords::FreeKey() const {
  const auto toldKey = [this](std::uint8_t key) {
    return std::ranges::any_of(told_, [key](const Location& told) { return told.key == key; });
  };
  std::uint8_t reusable = 0;
  for (std::uint8_t key = kHighestKey; key > 0; --key) {
    if (Used(key)) continue;
    if (!toldKey(key)) return key;
    if (reusable == 0) reusable = key;
  }
  return reusable;
}

bool TellWords(std::vector<Location>& told, const std::vector<Location>& words) {
  bool anyNew = false;
  for (const Location& word : words) {
    const auto known = std::ranges::find(told, word.key, &Location::key);
    if (known != told.end() && known->name == word.name) continue;
    anyNew = true;
    if (known != told.end()) {
      known->name = word.name;
    } else {
      told.push_back(word);
    }
  }
  return anyNew;
}

std::string CleanWords(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::string cleaned;
  for (const char c : text) {
    const bool blank = IsControl(static_cast<unsigned char>(c)) || common::IsBlank(c);
    if (!blank) {
      cleaned += c;
    } else if (!cleaned.empty() && cleaned.back() != ' ') {
      cleaned += ' ';
    }
  }
  if (cleaned.size() > kMaxLocationNameLength) {
    std::size_t cut = kMaxLocationNameLength;
    while (cut > 0 && IsContinuationByte(static_cast<unsigned char>(cleaned[cut]))) --cut;
    cleaned.resize(cut);
  }
  return std::string(common::TrimBlanks(cleaned));
}

}  // namespace korbce::snmp
