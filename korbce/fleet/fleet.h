#pragma once
// The simulated printer fleet, as read from the fleet file.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "korbce/printer_state.h"

namespace platform {
struct ProfileDocument;
}

namespace korbce {

// The fleet file's key of each alert category, by bit.
constexpr std::array<std::string_view, kCategoryCount> kCategoryKeys = {
    "Input",          "Output",           "Paper Jam",            "Printer Supplies", "Operator Intervention Required",
    "Printer Warnings", "Device Needs Service", "Configuration Change"};

// A simulated printer: its state, and how enumerations find it.
struct FleetPrinter : PrinterState {
  std::uint32_t classes = 0;  // the enumeration-mask bits that find it
  std::string spoolerPort;
};

// How the simulated engine answers the calls that concern no printer, from
// the section "Engine": like an engine whose network or driver is down, it may
// refuse registrations and enumerations and fail the network-information query;
// like one whose printers answer slowly, it may take long to enumerate.
struct EngineBehaviour {
  std::vector<std::vector<std::uint8_t>> netInfoReplies;  // the records the query answers
  bool netInfoFails = false;
  bool enumFails = false;
  bool registerFails = false;
  std::uint32_t enumDelayMs = 0;  // how long an enumeration takes
};

struct Fleet {
  std::vector<FleetPrinter> printers;  // in file order, ids unique; grown only by Add
  EngineBehaviour engine;

  // Appends a printer whose id is not in the fleet yet.
  void Add(FleetPrinter printer);
  const FleetPrinter* Find(std::uint16_t id) const;

 private:
  // Position + 1 in printers of each id, 0 for an id not in the fleet: the
  // engine looks printers up at every call and every check, so that a large
  // fleet costs no search. One slot per 16-bit id, allocated at the first Add.
  std::vector<std::uint32_t> positions_;
};

// Whether a section of the fleet file describes a printer: "Printer <name>".
bool IsPrinterSection(std::string_view name);

// Reads the fleet from a parsed fleet file. Every bad value or printer is
// reported on the trace with fileName and its line, and left out.
Fleet ParseFleet(const platform::ProfileDocument& document, std::string_view fileName);

}  // namespace korbce
