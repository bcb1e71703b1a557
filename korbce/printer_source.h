#pragma once
// A kind of printer the engine serves: the simulated fleet, or printers on the
// network. The engine core enumerates through it, and builds its records,
// answers and notifications from the states it tells.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "korbce/printer_state.h"
#include "korbce/subnet_block.h"

namespace platform {
struct ProfileDocument;
}

namespace korbce {

using PrinterList = std::vector<std::shared_ptr<const PrinterState>>;
// The records a network-information query answers, each as its bytes.
using NetInfoRecords = std::vector<std::vector<std::uint8_t>>;

// The engine's file as last read: the sections other than the fleet's
// printers, which sources take their settings from.
struct EngineFile {
  std::shared_ptr<const platform::ProfileDocument> document;  // null: there is no file to read
  std::string path;
};

// The printers whose state Find may tell differently than at the last look.
struct StateChanges {
  bool all = false;  // any printer may have changed
  std::vector<std::uint16_t> ids;
};

// Every operation is safe to call from any thread, and none calls back into
// the engine.
class PrinterSource {
 public:
  virtual ~PrinterSource() = default;

  // Brings the source up to date with the engine's file. The source that
  // reads the file reads it again when it has changed and puts what it read
  // into file; the sources after it take their settings from there.
  virtual void Refresh(EngineFile& file) = 0;

  // The printers an enumeration with the mask finds; nothing when the
  // enumeration fails.
  virtual std::optional<PrinterList> Enumerate(std::uint32_t mask) = 0;
  // The printers found on a spooler port: a port name or a device URI.
  virtual PrinterList EnumeratePort(std::string_view port) = 0;
  // The printer as it stands now; null when the source has no such printer.
  virtual std::shared_ptr<const PrinterState> Find(std::uint16_t id) = 0;
  // The printer's alerts are captured: the source keeps its state current,
  // checking at least every checkInterval when one is given (the printer is
  // monitored). A source whose states need no fetching does nothing.
  virtual void Watch(std::uint16_t /*id*/, std::optional<std::chrono::seconds> /*checkInterval*/) {}

  // What changed since the last call; the engine's check looks again only at
  // the captures of those printers. A source that does not keep count tells
  // that everything may have changed.
  virtual StateChanges TakeStateChanges() { return {.all = true, .ids = {}}; }

  // Whether an application may register now.
  virtual bool AllowsRegistration() { return true; }
  // The source's records of a network-information query; nothing when the
  // query fails.
  virtual std::optional<NetInfoRecords> NetInfoReplies() { return NetInfoRecords(); }
  // The subnets the adapter hands over, for the source to look for printers in.
  virtual void SetSubnets(std::vector<Subnet> /*subnets*/) {}
  // Ends the source's own threads; its calls then find nothing that needs them.
  virtual void Stop() {}
};

}  // namespace korbce
