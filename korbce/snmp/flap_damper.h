#pragma once
// Whether a printer's conditions have settled. A printer flaps when its
// conditions change at kFlapPolls polls in a row, each change undoing part of
// the one before (an alert that came goes, or one that went comes back): it is
// reported once as flapping, with the conditions told before, until they stay
// the same for kStablePolls polls in a row; then they are told as they stand.
// Changes that only add to or take from the conditions, as a person's work
// on the printer does, never count as flapping, however quick the polls.

#include <cstddef>
#include <optional>
#include <set>
#include <utility>

#include "korbce/snmp/printer_conditions.h"

namespace korbce::snmp {

constexpr int kFlapPolls = 5;
constexpr int kStablePolls = 3;

class FlapDamper {
 public:
  // Takes what one poll found; whether the printer flaps now.
  bool Take(const PrinterConditions& polled);
  bool Flapping() const { return flapping_; }

 private:
  // Each entry with its category; offline as an entry of its own.
  using Seen = std::set<std::pair<std::size_t, DetailEntry>>;
  struct Change {
    Seen added, removed;
  };

  std::optional<Seen> last_;
  Change lastChange_;
  int flappingPolls_ = 0;  // changes in a row, each undoing the one before
  int samePolls_ = 0;      // in a row
  bool flapping_ = false;
};

}  // namespace korbce::snmp
