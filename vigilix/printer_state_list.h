#pragma once
// Per-printer state, kept in two lists of the same kind: the pending list of
// notifications the worker has not taken yet, and the list of registered
// printers. Every operation holds the list's own lock for its whole duration.
// A printer has one entry at most, found through an index by its id, so that
// every operation costs the same however many printers the list holds.

#include <cstdint>
#include <deque>
#include <string>

#include "platform/critical_section.h"
#include "vigilix/location_list.h"
#include "vigilix/printer_id_index.h"
#include "vigilix/printer_database.h"

namespace vigilix {

constexpr std::uint32_t kCommLost = 100;
constexpr std::uint32_t kCommRestored = 101;

struct PrinterState {
  std::uint16_t printerId = 0;
  // Registered printers.
  std::uint8_t deviceClass = kNoDeviceClass;
  std::string model;
  LocationList inputSources;
  LocationList outputBins;
  // Pending notifications.
  std::uint32_t alertMask = 0;
  std::uint32_t commState = 0;  // 0, kCommLost or kCommRestored
};

// What the worker takes from the pending list.
struct PendingEntry {
  std::uint16_t printerId = 0;
  std::uint32_t alertMask = 0;
  std::uint32_t commState = 0;
};

// What a report says about its printer.
struct PrinterIdentity {
  std::string model;
  std::uint8_t deviceClass = kNoDeviceClass;
};

class PrinterStateList {
 public:
  // Pending list: the latest mask or communication state replaces the one not
  // yet taken; a printer without an entry gets one at the end.
  void SetMask(std::uint16_t printer, std::uint32_t mask) EXCLUDES(lock_);
  void SetCommState(std::uint16_t printer, std::uint32_t state) EXCLUDES(lock_);
  // Removes the oldest entry into taken; false when the list is empty.
  bool TakeFirst(PendingEntry& taken) EXCLUDES(lock_);

  // Printer list: updates class and model of a registered printer (its
  // location lists stay), or appends it with empty location lists.
  void Register(std::uint16_t printer, std::uint8_t deviceClass, std::string model) EXCLUDES(lock_);
  // Asks a registered printer for its paper sources (or output bins) and adds
  // them to its list; an unknown printer or a failed query changes nothing.
  void RefreshInputs(std::int16_t application, std::uint16_t printer) EXCLUDES(lock_);
  void RefreshOutputs(std::int16_t application, std::uint16_t printer) EXCLUDES(lock_);
  // The name under key; the empty text when the printer or key is unknown.
  std::string InputName(std::uint16_t printer, std::uint8_t key) const EXCLUDES(lock_);
  std::string OutputName(std::uint16_t printer, std::uint8_t key) const EXCLUDES(lock_);
  // Model and class of a registered printer; empty and 255 otherwise.
  PrinterIdentity PrinterFacts(std::uint16_t printer) const EXCLUDES(lock_);

  std::size_t Size() const EXCLUDES(lock_);

 private:
  PrinterState* Find(std::uint16_t printer) REQUIRES(lock_);
  const PrinterState* Find(std::uint16_t printer) const REQUIRES(lock_);
  PrinterState& FindOrAppend(std::uint16_t printer) REQUIRES(lock_);

  // Held while the engine is asked for a printer's sources and bins, so it is
  // taken before any of the engine's locks.
  mutable platform::CriticalSection lock_;
  std::deque<PrinterState> entries_ GUARDED_BY(lock_);  // in order of arrival
  std::uint64_t takenCount_ GUARDED_BY(lock_) = 0;      // entries removed from the front so far
  PrinterIdIndex arrivals_ GUARDED_BY(lock_);
};

}  // namespace vigilix
