#pragma once
// The service's side of alert capture: each report of a printer's alert
// situation is compared with the alerts still active for that printer, and
// every change becomes an event at the back of the event queue: one per new
// alert, one "Resolved" per alert gone, one per change of the offline and
// communication state.

#include <cstdint>
#include <list>
#include <string>
#include <string_view>

#include "service/event_queue.h"
#include "service/printer_table.h"
#include "vigilix/vigilix.h"

// The event of the alert key for the printer, with the table's description of
// it; the table's lock may already be held by the caller.
std::string ComposeEvent(const PrinterTable& table, std::uint16_t printerId, std::string_view alertKey, bool resolved);

// Offline, ready, communication lost and restored entries: an event for each
// one that changes the printer's state as it was before the report.
void ProcessStateCodes(PrinterTable& table, const _VIGILIX_RETURN& report, EventQueue& queue);

// The whole report for one record's active alerts; runs with the table's lock
// held.
void ProcessAlertReport(PrinterTable& table, std::list<std::string>& activeAlerts, const _VIGILIX_RETURN& report,
                        EventQueue& queue);

// The callback's work on the given table and queue: the queue's lock, then
// the table's, every record of the printer; then wakes the sender. Returns 0.
std::uint16_t HandleAlertReport(PrinterTable& table, EventQueue& queue, const _VIGILIX_RETURN* report);

// The table and queue that AlertCallback works on; set by the start-up before
// the callback is handed to the alert-capture library.
void BindAlertCallback(PrinterTable* table, EventQueue* queue);

// The callback handed to VXInit. Reports arriving while nothing is bound are
// dropped.
std::uint16_t AlertCallback(_VIGILIX_RETURN* report);
