#pragma once
// A kind of printer the engine serves: the simulated fleet, or printers on the
// network. The engine core enumerates through it, and builds its records,
// answers and notifications from the states it tells.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "korbce/printer_state.h"

namespace korbce {

using PrinterList = std::vector<std::shared_ptr<const PrinterState>>;

// Every operation is safe to call from any thread, and none calls back into
// the engine.
class PrinterSource {
 public:
  virtual ~PrinterSource() = default;

  // The printers an enumeration with the mask finds; nothing when the
  // enumeration fails.
  virtual std::optional<PrinterList> Enumerate(std::uint32_t mask) = 0;
  // The printers found on a spooler port: a port name or a device URI.
  virtual PrinterList EnumeratePort(std::string_view port) = 0;
  // The printer as it stands now; null when the source has no such printer.
  virtual std::shared_ptr<const PrinterState> Find(std::uint16_t id) = 0;
  // The printer's alerts are captured: the source keeps its state current,
  // checking at least every checkInterval when one is given (the printer is
  // monitored).
  virtual void Watch(std::uint16_t id, std::optional<std::chrono::seconds> checkInterval) = 0;
};

}  // namespace korbce
