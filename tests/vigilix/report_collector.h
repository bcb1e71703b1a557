#pragma once
// Collects the reports that the library hands to its callback.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "vigilix/vigilix.h"

namespace report_collector {

struct Alert {
  std::int32_t code;
  std::string text;
  bool operator==(const Alert&) const = default;
};

struct Report {
  std::uint16_t printer;
  std::string model;
  std::vector<Alert> alerts;
};

// The callback to hand to the library. It checks the record's sizes and
// copies the report.
std::uint16_t Callback(_VIGILIX_RETURN* report);

// Forgets the reports received so far.
void Clear();
std::vector<Report> Reports();
// Waits until at least count reports have come, running pump meanwhile when
// given; true when they came within the time-out.
bool WaitForReports(std::size_t count, const std::function<void()>& pump = {},
                    std::chrono::milliseconds timeout = std::chrono::seconds(10));

// While held, the callback waits at its start (to make it slow).
void Hold();
void Release();
// How many callbacks have started since the last Clear.
int CallsStarted();
// How many callbacks ran at the same time, at most, and whether a record's
// sizes ever disagreed with its texts.
int MaxConcurrentCalls();
bool SizesAlwaysMatched();

}  // namespace report_collector
