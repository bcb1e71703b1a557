#include "korbce/snmp/printer_ids.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "common/decimal_text.h"
#include "common/directories.h"
#include "platform/file_io.h"
#include "platform/trace.h"

namespace korbce::snmp {

namespace {

bool IsHardwareKey(const std::string& key) { return key.starts_with("mac:"); }

// A model line: the id, a blank, "model=" and the text.
constexpr std::string_view kModelPrefix = "model=";

// Ids from 1 to kLastNetworkId, the upper ones (from kFirstNetworkId) first.
constexpr std::uint32_t kNetworkIdCount = kLastNetworkId;
constexpr std::uint32_t kUpperIdCount = kLastNetworkId - kFirstNetworkId + 1;

bool IsNetworkId(std::optional<std::uint32_t> id) { return id && *id >= 1 && *id <= kLastNetworkId; }

// The id given at this position in the order new ids are given, and back.
std::uint16_t IdAt(std::uint32_t position) {
  return static_cast<std::uint16_t>(position < kUpperIdCount ? kFirstNetworkId + position : position - kUpperIdCount + 1);
}

std::uint32_t PositionOf(std::uint16_t id) {
  return id >= kFirstNetworkId ? id - kFirstNetworkId : kUpperIdCount + id - 1;
}

}  // namespace

PrinterIds::PrinterIds(std::string path) : path_(std::move(path)) { Load(); }

bool PrinterIds::HasHardwareKey(std::uint16_t id) const {
  const auto [first, last] = keys_.equal_range(id);
  return std::any_of(first, last, [](const auto& entry) { return IsHardwareKey(entry.second); });
}

std::optional<std::uint16_t> PrinterIds::Known(const std::string& key) const {
  const auto found = ids_.find(key);
  if (found == ids_.end()) return std::nullopt;
  return found->second;
}

std::optional<std::string> PrinterIds::HardwareKeyOf(std::uint16_t id) const {
  const auto [first, last] = keys_.equal_range(id);
  const auto found = std::find_if(first, last, [](const auto& entry) { return IsHardwareKey(entry.second); });
  if (found == last) return std::nullopt;
  return found->second;
}

void PrinterIds::SetModel(std::uint16_t id, const std::string& model) {
  std::string text = model;
  std::replace_if(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }, ' ');
  auto [found, added] = models_.try_emplace(id, text);
  if (!added && found->second == text) return;
  found->second = std::move(text);
  changed_ = true;
}

std::optional<std::string> PrinterIds::ModelOf(std::uint16_t id) const {
  const auto found = models_.find(id);
  if (found == models_.end()) return std::nullopt;
  return found->second;
}

void PrinterIds::Bind(const std::string& key, std::uint16_t id) {
  const auto [found, added] = ids_.try_emplace(key, id);
  if (!added) {
    if (found->second == id) return;
    const auto [first, last] = keys_.equal_range(found->second);
    for (auto entry = first; entry != last; ++entry) {
      if (entry->second == key) {
        keys_.erase(entry);
        break;
      }
    }
    if (keys_.count(found->second) == 0) firstUnkeyed_ = std::min(firstUnkeyed_, PositionOf(found->second));
    found->second = id;
  }
  keys_.emplace(id, key);
  changed_ = true;
}

// One printer a line: the id, a blank, the key.
void PrinterIds::Load() {
  const auto text = platform::ReadWholeFile(path_);
  if (!text) return;
  std::istringstream lines(*text);
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    if (line.empty()) continue;
    const std::size_t blank = line.find(' ');
    const auto id = common::ParseDecimal(std::string_view(line).substr(0, blank));
    const std::string key = blank == std::string::npos ? "" : line.substr(blank + 1);
    if (IsNetworkId(id) && key.starts_with(kModelPrefix)) {
      models_[static_cast<std::uint16_t>(*id)] = key.substr(kModelPrefix.size());
      continue;
    }
    if (!IsNetworkId(id) || key.empty() || ids_.count(key) != 0 ||
        (IsHardwareKey(key) && HasHardwareKey(static_cast<std::uint16_t>(*id)))) {
      platform::OutputDebugString("korbce: " + path_ + ":" + std::to_string(number) +
                                  ": not a printer id from 1 to 65534 with a new key; line ignored\n");
      continue;
    }
    ids_.emplace(key, static_cast<std::uint16_t>(*id));
    keys_.emplace(static_cast<std::uint16_t>(*id), key);
  }
}

std::optional<std::string> PrinterIds::TakeChanges() {
  if (!changed_) return std::nullopt;
  changed_ = false;
  std::string text;
  for (const auto& [id, key] : keys_) text += std::to_string(id) + " " + key + "\n";
  for (const auto& [id, model] : models_) {
    if (keys_.count(id) != 0) text += std::to_string(id) + " " + std::string(kModelPrefix) + model + "\n";
  }
  return text;
}

void WriteIdFile(const std::string& path, const std::string& text, std::string& reportedProblem) {
  const std::string directory = std::filesystem::path(path).parent_path().string();
  if (!directory.empty()) common::CreateDirectories(directory);
  const auto result = platform::WriteFileAtomically(path, text);
  const std::string problem = result.ok() ? "" : "cannot write the printer id file " + path + " (error " +
                                                    std::to_string(result.systemError) + ")";
  if (!problem.empty() && problem != reportedProblem) platform::OutputDebugString("korbce: " + problem + "\n");
  reportedProblem = problem;
}

std::optional<std::uint16_t> PrinterIds::IdOf(const std::string& key,
                                              const std::function<bool(std::uint16_t)>& taken) {
  if (const auto found = ids_.find(key); found != ids_.end()) return found->second;
  for (std::uint32_t position = firstUnkeyed_; position < kNetworkIdCount; ++position) {
    const std::uint16_t candidate = IdAt(position);
    const bool keyed = keys_.count(candidate) != 0;
    if (keyed && position == firstUnkeyed_) ++firstUnkeyed_;
    if (keyed || taken(candidate)) continue;
    ids_.emplace(key, candidate);
    keys_.emplace(candidate, key);
    changed_ = true;
    return candidate;
  }
  return std::nullopt;
}

}  // namespace korbce::snmp
