// The fleet file parser over arbitrary files: every printer it keeps has a
// unique id from 1 to 65534 that a printer section of the file gives, answers
// stay within what their one-byte counts can carry, and every problem is
// reported as one trace line naming the file.

#include <set>
#include <string>

#include "common/decimal_text.h"
#include "common/ipv4_text.h"
#include "fuzz_support.h"
#include "korbce/fleet/fleet.h"
#include "profile/profile.h"
#include "platform/trace.h"
#include "vigilix/vigilix.h"

namespace {

constexpr std::string_view kFileName = "fleet.ini";

// The ids that the Id keys of the file's printer sections give.
std::set<std::uint32_t> IdsInFile(const platform::ProfileDocument& document) {
  std::set<std::uint32_t> ids;
  for (const platform::ProfileSection& section : document.sections) {
    if (section.name.size() <= 8 || !common::EqualsIgnoreCase(section.name.substr(0, 8), "Printer ")) continue;
    if (const platform::ProfileEntry* id = section.Find("Id")) {
      if (auto number = common::ParseDecimal(id->value)) ids.insert(*number);
    }
  }
  return ids;
}

void CheckLocations(const std::optional<std::vector<korbce::Location>>& locations) {
  if (!locations) return;
  FUZZ_CHECK(locations->size() <= 255);
  for (const korbce::Location& location : *locations) FUZZ_CHECK(location.name.size() <= 254);
}

void CheckPrinter(const korbce::Fleet& fleet, const korbce::FleetPrinter& printer) {
  FUZZ_CHECK(printer.id >= 1 && printer.id <= 65534);
  FUZZ_CHECK(fleet.Find(printer.id) == &printer);
  CheckLocations(printer.inputs);
  CheckLocations(printer.outputs);
  std::uint32_t mask = printer.offline ? ALERT_OFFLINE : 0;
  for (std::size_t bit = 0; bit < korbce::kCategoryCount; ++bit) {
    FUZZ_CHECK(printer.categories[bit].entries.size() <= 255);
    if (!printer.categories[bit].entries.empty()) mask |= 1u << bit;
  }
  FUZZ_CHECK(printer.AlertMask() == mask);
  if (!printer.ipAddress.empty()) FUZZ_CHECK(common::IsDottedQuad(printer.ipAddress));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = WriteScratchFile(std::string(kFileName), std::string_view(reinterpret_cast<const char*>(data), size));
  const auto document = platform::LoadProfile(path);
  FUZZ_CHECK(document != nullptr);

  std::string trace;
  platform::SetDebugOutputSink([&trace](std::string_view text) { trace += text; });
  const korbce::Fleet fleet = korbce::ParseFleet(*document, kFileName);
  platform::SetDebugOutputSink({});

  const std::set<std::uint32_t> ids = IdsInFile(*document);
  std::set<std::uint16_t> seen;
  for (const korbce::FleetPrinter& printer : fleet.printers) {
    FUZZ_CHECK(seen.insert(printer.id).second);
    FUZZ_CHECK(ids.count(printer.id) == 1);
    CheckPrinter(fleet, printer);
  }
  for (std::size_t start = 0; start < trace.size();) {
    const std::size_t end = trace.find('\n', start);
    FUZZ_CHECK(end != std::string::npos);
    FUZZ_CHECK(trace.compare(start, 18, "korbce: fleet.ini:") == 0);
    start = end + 1;
  }
  return 0;
}
