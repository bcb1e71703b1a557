#include "service/printer_event_limit.h"

#include <algorithm>

#include "service/service_trace.h"

PrinterEventLimit::Printer& PrinterEventLimit::PrinterOf(std::uint16_t printerId, std::int64_t nowMs) {
  auto [entry, added] = printers_.try_emplace(printerId);
  if (added) {
    entry->second.creditMs = figures_.burst * figures_.refillMs;
    entry->second.refilledAtMs = nowMs;
  }
  Refill(entry->second, nowMs);
  return entry->second;
}

void PrinterEventLimit::Refill(Printer& printer, std::int64_t nowMs) const {
  const std::int64_t elapsed = std::max<std::int64_t>(0, nowMs - printer.refilledAtMs);
  printer.creditMs = std::min(figures_.burst * figures_.refillMs, printer.creditMs + elapsed);
  printer.refilledAtMs = nowMs;
}

bool PrinterEventLimit::Spend(Printer& printer) const {
  if (printer.creditMs < figures_.refillMs) return false;
  printer.creditMs -= figures_.refillMs;
  return true;
}

void PrinterEventLimit::ReleaseOf(Printer& printer, std::vector<std::string>& pass) {
  while (!printer.held.empty() && Spend(printer)) {
    pass.push_back(std::move(printer.held.front().text));
    printer.held.pop_front();
  }
}

void PrinterEventLimit::Offer(ComposedEvent event, std::int64_t nowMs, std::vector<std::string>& pass) {
  const std::uint16_t printerId = event.printerId;
  Printer& printer = PrinterOf(printerId, nowMs);
  ReleaseOf(printer, pass);
  if (printer.held.empty() && Spend(printer)) {
    pass.push_back(std::move(event.text));
    return;
  }
  Hold(printerId, printer, std::move(event), nowMs);
}

void PrinterEventLimit::Hold(std::uint16_t printerId, Printer& printer, ComposedEvent event, std::int64_t nowMs) {
  if (std::find(holding_.begin(), holding_.end(), printerId) == holding_.end()) holding_.push_back(printerId);
  auto same = std::find_if(printer.held.begin(), printer.held.end(),
                           [&](const ComposedEvent& held) { return held.slot == event.slot; });
  // A held change undone before it was sent: the console already shows the
  // slot as it now stands.
  if (same != printer.held.end()) {
    printer.held.erase(same);
  } else {
    printer.held.push_back(std::move(event));
  }
  ++printer.heldSinceTrace;
  if (!printer.tracedAtMs || nowMs - *printer.tracedAtMs >= figures_.traceEveryMs) {
    Trace("Printer %u is over its budget of events: %lu held back or merged since the last report",
          static_cast<unsigned>(printerId), static_cast<unsigned long>(printer.heldSinceTrace));
    printer.heldSinceTrace = 0;
    printer.tracedAtMs = nowMs;
  }
}

void PrinterEventLimit::Release(std::int64_t nowMs, std::vector<std::string>& pass) {
  std::erase_if(holding_, [&](std::uint16_t printerId) {
    Printer& printer = PrinterOf(printerId, nowMs);
    ReleaseOf(printer, pass);
    return printer.held.empty();
  });
  ForgetIdlePrinters(nowMs);
}

// A printer whose budget is full and which holds nothing is as one never
// seen; forgetting it keeps the table to the printers that send.
void PrinterEventLimit::ForgetIdlePrinters(std::int64_t nowMs) {
  const std::int64_t fullAfterMs = figures_.burst * figures_.refillMs;
  if (nowMs - sweptAtMs_ < fullAfterMs) return;
  sweptAtMs_ = nowMs;
  for (auto entry = printers_.begin(); entry != printers_.end();) {
    Refill(entry->second, nowMs);
    const bool idle = entry->second.held.empty() && entry->second.creditMs >= fullAfterMs;
    entry = idle ? printers_.erase(entry) : std::next(entry);
  }
}

std::optional<std::int64_t> PrinterEventLimit::UntilRelease(std::int64_t nowMs) const {
  std::optional<std::int64_t> soonest;
  for (std::uint16_t printerId : holding_) {
    const Printer& printer = printers_.at(printerId);
    const std::int64_t credit = printer.creditMs + std::max<std::int64_t>(0, nowMs - printer.refilledAtMs);
    const std::int64_t wait = std::max<std::int64_t>(0, figures_.refillMs - credit);
    soonest = soonest ? std::min(*soonest, wait) : wait;
  }
  return soonest;
}

std::size_t PrinterEventLimit::HeldCount() const {
  std::size_t count = 0;
  for (std::uint16_t printerId : holding_) count += printers_.at(printerId).held.size();
  return count;
}
