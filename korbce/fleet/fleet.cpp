#include "korbce/fleet/fleet.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/blank_text.h"
#include "common/decimal_text.h"
#include "common/ipv4_text.h"
#include "common/list_text.h"
#include "common/yes_no_text.h"
#include "korbce/fleet/fleet_values.h"
#include "profile/profile.h"
#include "platform/trace.h"

namespace korbce {
namespace {

using common::EqualsIgnoreCase;
using platform::ProfileEntry;
using platform::ProfileSection;

constexpr std::string_view kPrinterSectionPrefix = "Printer ";
constexpr std::string_view kEngineSection = "Engine";
constexpr std::uint32_t kLongestEnumDelayMs = 600000;
// Read by the network printer source.
constexpr std::string_view kSnmpSection = "SNMP";
constexpr std::uint32_t kHighestPrinterId = 65534;
// Answers carry their entry counts in one byte.
constexpr std::size_t kMaxAnswerEntries = 255;
// A location name and its NUL are counted in one byte.
constexpr std::size_t kMaxLocationName = 254;

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// Keys already seen in one section, so that repeated keys are reported. A
// section holds a dozen keys or so: a search of the few seen costs less than
// a copy of each key into a map, which a large fleet would pay for every key.
class SeenKeys {
 public:
  explicit SeenKeys(const ProfileSection& section) { seen_.reserve(section.entries.size()); }
  bool Add(std::string_view key) {
    if (std::ranges::any_of(seen_, [key](std::string_view seen) { return EqualsIgnoreCase(seen, key); })) return false;
    seen_.push_back(key);
    return true;
  }

 private:
  std::vector<std::string_view> seen_;  // into the section's entries
};

class FleetParser {
 public:
  explicit FleetParser(std::string_view fileName) : fileName_(fileName) {}

  Fleet Parse(const platform::ProfileDocument& document) {
    Fleet fleet;
    // Room for every printer at once: grown step by step, the printers would
    // be moved and held twice each time.
    fleet.printers.reserve(static_cast<std::size_t>(std::ranges::count_if(
        document.sections, [](const ProfileSection& section) { return IsPrinterSection(section.name); })));
    // The line of each id taken so far, 0 for a free id: one slot per id.
    std::vector<int> idLines(std::size_t{UINT16_MAX} + 1);
    bool engineSeen = false;
    for (const ProfileSection& section : document.sections) {
      if (IsPrinterSection(section.name)) {
        AddPrinter(section, fleet, idLines);
      } else if (EqualsIgnoreCase(section.name, kEngineSection) && !engineSeen) {
        engineSeen = true;
        ReadEngine(section, fleet.engine);
      } else if (!EqualsIgnoreCase(section.name, kSnmpSection)) {
        Report(section.line, "section [" + section.name + "] ignored: " +
                                 (engineSeen && EqualsIgnoreCase(section.name, kEngineSection)
                                      ? "the section [Engine] is given twice"
                                      : "neither [Engine], [SNMP] nor [Printer <name>]"));
      }
    }
    return fleet;
  }

 private:
  void Report(int line, std::string_view problem) const {
    platform::OutputDebugString("korbce: " + std::string(fileName_) + ":" + std::to_string(line) + ": " +
                                std::string(problem) + "\n");
  }

  void ReportValue(const ProfileEntry& entry, std::string_view expectation) const {
    Report(entry.line, entry.key + " " + Quoted(entry.value) + " is not " + std::string(expectation) +
                           "; value ignored");
  }

  void AddPrinter(const ProfileSection& section, Fleet& fleet, std::vector<int>& idLines) {
    const ProfileEntry* idEntry = section.Find("Id");
    if (idEntry == nullptr) {
      Report(section.line, "printer [" + section.name + "] has no Id; printer skipped");
      return;
    }
    const auto id = common::ParseDecimal(idEntry->value);
    if (!id || *id < 1 || *id > kHighestPrinterId) {
      Report(idEntry->line, "Id " + Quoted(idEntry->value) + " is not a number from 1 to 65534; printer skipped");
      return;
    }
    int& idLine = idLines[*id];
    if (idLine != 0) {
      Report(idEntry->line, "Id " + std::to_string(*id) + " is already used at line " + std::to_string(idLine) +
                                "; printer skipped");
      return;
    }
    idLine = idEntry->line;
    FleetPrinter printer;
    printer.id = static_cast<std::uint16_t>(*id);
    SeenKeys seen(section);
    for (const ProfileEntry& entry : section.entries) {
      if (!seen.Add(entry.key)) {
        Report(entry.line, "key " + entry.key + " is given twice; value ignored");
      } else if (!EqualsIgnoreCase(entry.key, "Id")) {
        ReadPrinterKey(entry, printer);
      }
    }
    fleet.Add(std::move(printer));
  }

  void ReadPrinterKey(const ProfileEntry& entry, FleetPrinter& printer) {
    for (std::size_t bit = 0; bit < kCategoryCount; ++bit) {
      if (EqualsIgnoreCase(entry.key, kCategoryKeys[bit])) return ReadCategory(entry, printer.categories[bit]);
    }
    const std::string_view key = entry.key;
    if (EqualsIgnoreCase(key, "Mac")) return ReadMac(entry, printer.macAddress);
    if (EqualsIgnoreCase(key, "Protocols")) return ReadNumber(entry, 0xFFFFFFFF, printer.protocolFlags);
    if (EqualsIgnoreCase(key, "Adapter")) return ReadNumber(entry, 0xFFFF, printer.adapterType);
    if (EqualsIgnoreCase(key, "PortType")) return ReadNumber(entry, 0xFFFF, printer.portType);
    if (EqualsIgnoreCase(key, "Classes")) return ReadNumber(entry, 0xFFFFFFFF, printer.classes);
    if (EqualsIgnoreCase(key, "Ip")) return ReadIp(entry, printer.ipAddress);
    if (EqualsIgnoreCase(key, "SpoolerPort")) return void(printer.spoolerPort = entry.value);
    if (EqualsIgnoreCase(key, "Class")) return ReadDeviceClass(entry, printer.deviceClass);
    if (EqualsIgnoreCase(key, "Model")) return void(printer.model = entry.value);
    if (EqualsIgnoreCase(key, "Inputs")) return void(printer.inputs = ReadLocations(entry));
    if (EqualsIgnoreCase(key, "Outputs")) return void(printer.outputs = ReadLocations(entry));
    if (EqualsIgnoreCase(key, "Online")) return ReadFlag(entry, printer.online);
    if (EqualsIgnoreCase(key, "Offline")) return ReadFlag(entry, printer.offline);
    Report(entry.line, "unknown key " + entry.key + " ignored");
  }

  template <class Field>
  void ReadNumber(const ProfileEntry& entry, std::uint32_t highest, Field& field) {
    const auto number = common::ParseNumber(entry.value);
    if (!number || *number > highest) {
      return ReportValue(entry, "a number from 0 to " + std::to_string(highest) + " (decimal, or hexadecimal after 0x)");
    }
    field = static_cast<Field>(*number);
  }

  void ReadFlag(const ProfileEntry& entry, bool& flag) {
    const auto value = common::ParseYesNo(entry.value);
    if (!value) return ReportValue(entry, "Yes or No");
    flag = *value;
  }

  void ReadMac(const ProfileEntry& entry, std::array<std::uint8_t, 6>& mac) {
    const auto value = ParseMacAddress(entry.value);
    if (!value) return ReportValue(entry, "12 hexadecimal digits");
    mac = *value;
  }

  void ReadIp(const ProfileEntry& entry, std::string& ip) {
    if (!common::IsDottedQuad(entry.value)) return ReportValue(entry, "a dotted address such as 127.0.0.1");
    ip = entry.value;
  }

  void ReadDeviceClass(const ProfileEntry& entry, std::optional<std::uint8_t>& deviceClass) {
    if (EqualsIgnoreCase(entry.value, "none")) return void(deviceClass.reset());
    const auto value = common::ParseNumber(entry.value);
    if (!value || *value > 255) return ReportValue(entry, "a number from 0 to 255, or none");
    deviceClass = static_cast<std::uint8_t>(*value);
  }

  // "key:name;key:name": a bad pair is reported and left out.
  std::vector<Location> ReadLocations(const ProfileEntry& entry) {
    std::vector<Location> locations;
    const auto pairs = common::SplitList(entry.value, ';');
    for (std::string_view pair : pairs) {
      if (pair.empty()) continue;
      const std::size_t colon = pair.find(':');
      const auto key = common::ParseDecimal(common::TrimBlanks(pair.substr(0, colon)));
      const std::string_view name =
          colon == std::string_view::npos ? std::string_view() : common::TrimBlanks(pair.substr(colon + 1));
      if (colon == std::string_view::npos || !key || *key > 255) {
        Report(entry.line, entry.key + ": " + Quoted(pair) + " is not key:name with a key from 0 to 255; pair ignored");
      } else if (name.size() > kMaxLocationName) {
        Report(entry.line, entry.key + ": the name of key " + std::to_string(*key) + " is longer than " +
                               std::to_string(kMaxLocationName) + " characters; pair ignored");
      } else if (locations.size() == kMaxAnswerEntries) {
        Report(entry.line, entry.key + ": more than 255 pairs; " + Quoted(pair) + " ignored");
      } else {
        locations.push_back(Location{static_cast<std::uint8_t>(*key), std::string(name)});
      }
    }
    return locations;
  }

  // "GG:BBCCDD,BBCCDD": a bad group drops the category, a bad entry itself.
  void ReadCategory(const ProfileEntry& entry, CategoryStatus& status) {
    const std::size_t colon = entry.value.find(':');
    const std::string_view value = entry.value;
    const auto group = ParseHexBytes(common::TrimBlanks(value.substr(0, colon)));
    if (colon == std::string_view::npos || !group || group->size() != 1) {
      return ReportValue(entry, "GG:BBCCDD,... with a group GG of two hexadecimal digits");
    }
    status.group = (*group)[0];
    for (std::string_view text : common::SplitList(value.substr(colon + 1), ',')) {
      if (text.empty()) continue;
      const auto bytes = ParseHexBytes(text);
      if (!bytes || bytes->size() != 3) {
        Report(entry.line, entry.key + ": entry " + Quoted(text) + " is not six hexadecimal digits; entry ignored");
      } else if (status.entries.size() == kMaxAnswerEntries) {
        Report(entry.line, entry.key + ": more than 255 entries; " + Quoted(text) + " ignored");
      } else {
        status.entries.push_back(DetailEntry{(*bytes)[0], (*bytes)[1], (*bytes)[2]});
      }
    }
  }

  void ReadEngine(const ProfileSection& section, EngineBehaviour& engine) {
    SeenKeys seen(section);
    for (const ProfileEntry& entry : section.entries) {
      if (!seen.Add(entry.key)) {
        Report(entry.line, "key " + entry.key + " is given twice; value ignored");
      } else if (EqualsIgnoreCase(entry.key, "NetInfoReplies")) {
        ReadNetInfoReplies(entry, engine.netInfoReplies);
      } else if (EqualsIgnoreCase(entry.key, "NetInfoFails")) {
        ReadFlag(entry, engine.netInfoFails);
      } else if (EqualsIgnoreCase(entry.key, "EnumFails")) {
        ReadFlag(entry, engine.enumFails);
      } else if (EqualsIgnoreCase(entry.key, "RegisterFails")) {
        ReadFlag(entry, engine.registerFails);
      } else if (EqualsIgnoreCase(entry.key, "EnumDelay")) {
        ReadNumber(entry, kLongestEnumDelayMs, engine.enumDelayMs);
      } else {
        Report(entry.line, "unknown key " + entry.key + " ignored");
      }
    }
  }

  void ReadNetInfoReplies(const ProfileEntry& entry, std::vector<std::vector<std::uint8_t>>& replies) {
    for (std::string_view text : common::SplitList(entry.value, ',')) {
      if (text.empty()) continue;
      auto record = ParseHexBytes(text);
      if (!record) {
        Report(entry.line, entry.key + ": record " + Quoted(text) + " is not hexadecimal bytes; record ignored");
      } else {
        replies.push_back(std::move(*record));
      }
    }
  }

  std::string_view fileName_;
};

}  // namespace

bool IsPrinterSection(std::string_view name) {
  return name.size() > kPrinterSectionPrefix.size() &&
         EqualsIgnoreCase(name.substr(0, kPrinterSectionPrefix.size()), kPrinterSectionPrefix);
}

void Fleet::Add(FleetPrinter printer) {
  if (positions_.empty()) positions_.resize(std::size_t{UINT16_MAX} + 1);
  const std::uint16_t id = printer.id;
  printers.push_back(std::move(printer));
  positions_[id] = static_cast<std::uint32_t>(printers.size());
}

const FleetPrinter* Fleet::Find(std::uint16_t id) const {
  if (positions_.empty() || positions_[id] == 0) return nullptr;
  return &printers[positions_[id] - 1];
}

Fleet ParseFleet(const platform::ProfileDocument& document, std::string_view fileName) {
  return FleetParser(fileName).Parse(document);
}

}  // namespace korbce
