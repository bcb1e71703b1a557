#pragma once
// The worker's report on one printer: its alerts as (code, text) pairs in
// order of addition, without two pairs of the same text.

#include <cstdint>
#include <string>
#include <vector>

#include "vigilix/vigilix.h"

namespace vigilix {

struct ReportedAlert {
  std::int32_t code;
  std::string text;
};

class AlertReport {
 public:
  AlertReport(std::uint16_t printer, std::string model) : printer_(printer), model_(std::move(model)) {}

  // Adds the pair unless an earlier pair has the same text, which keeps its code.
  void Add(std::int32_t code, std::string_view text);
  bool IsEmpty() const { return alerts_.empty(); }
  const std::vector<ReportedAlert>& Alerts() const { return alerts_; }

  // Hands the report to the callback as a _VIGILIX_RETURN whose buffers live
  // until the callback returns.
  void Deliver(VX_ALERT_CALLBACK callback) const;

 private:
  std::uint16_t printer_;
  std::string model_;
  std::vector<ReportedAlert> alerts_;
};

}  // namespace vigilix
