#pragma once
// One capture request: the window that is told about one printer's alerts,
// and what it has been told so far.

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "korbce/printer_state.h"
#include "messages/window.h"

struct ALERTS;

namespace korbce {

// What the window of a capture learns about a printer: its alert mask within
// the asked categories, and the status answers of the masked categories.
struct AlertState {
  std::uint32_t mask = 0;
  std::vector<std::uint8_t> answers;

  bool operator==(const AlertState&) const = default;
};

AlertState ReadAlertState(const PrinterState& printer, std::uint32_t categories);

// The caller's categories, read as they stand now: the caller may rewrite its
// ALERTS record at any time.
std::uint32_t ReadCategories(ALERTS* alerts);

struct Capture {
  std::int16_t application = 0;
  std::uint16_t printer = 0;
  ALERTS* alerts = nullptr;  // owned by the caller
  platform::WindowHandle window = nullptr;
  bool reportDue = true;      // the first report after the request is still to come
  // The first report waits one check interval, as a real engine's first poll
  // does, so that the caller has registered the printer by the time it comes.
  std::chrono::steady_clock::time_point firstReportAt;
  bool communicating = true;  // as last told to the window
  AlertState reported;        // as last told to the window
  // The state of the printer and the categories that the last check read,
  // while the printer answers; a check that finds both the same has nothing
  // to tell.
  std::shared_ptr<const PrinterState> checked;
  std::uint32_t checkedCategories = 0;
};

}  // namespace korbce
