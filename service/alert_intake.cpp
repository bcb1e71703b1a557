#include "service/alert_intake.h"

#include <algorithm>
#include <atomic>
#include <span>

#include "service/alert_key.h"
#include "service/tec_event.h"

namespace {

constexpr std::int32_t kStateSeverityWarning = 2;
constexpr std::int32_t kStateSeverityHarmless = 1;

std::atomic<PrinterTable*> boundTable{nullptr};
std::atomic<EventQueue*> boundQueue{nullptr};

bool IsStateCode(std::int32_t code) {
  return code == VX_CODE_OFFLINE || code == VX_CODE_READY || code == VX_CODE_COMM_LOST ||
         code == VX_CODE_COMM_RESTORED;
}

std::string_view TextOf(const ALERT_ENTRY& entry) { return entry.pszText ? entry.pszText : ""; }

std::span<const ALERT_ENTRY> EntriesOf(const _VIGILIX_RETURN& report) {
  if (report.pAlerts == nullptr) return {};
  return {report.pAlerts, report.wAlertCount};
}

// The slots of the printer's states; alert keys hold ";-;", these do not.
constexpr const char* kOfflineSlot = "offline";
constexpr const char* kCommunicationSlot = "communication";

void QueueEvent(const PrinterTable& table, std::uint16_t printerId, const std::string& slot, const std::string& key,
                bool resolved, EventQueue& queue) {
  queue.Offer({printerId, slot, ComposeEvent(table, printerId, key, resolved)});
}

}  // namespace

std::string ComposeEvent(const PrinterTable& table, std::uint16_t printerId, std::string_view alertKey, bool resolved) {
  EventPrinterFields printer;
  printer.macAddress = table.GetMacAddressText(printerId);
  printer.ipAddress = table.GetIpAddressText(printerId);
  printer.hostName = table.GetHostName(printerId);
  printer.model = table.GetPrinterModel(printerId);
  printer.portName = table.GetPortName(printerId);
  printer.adapterProduct = table.GetAdapterProductName(printerId);
  return ComposeTecEvent(alertKey, resolved, printer);
}

void ProcessStateCodes(PrinterTable& table, const _VIGILIX_RETURN& report, EventQueue& queue) {
  const std::uint16_t printerId = report.wPrinter;
  // The state before the report decides for every entry of it.
  const bool wasOffline = table.IsOffline(printerId) != 0;
  const bool wasCommunicating = table.IsCommunicating(printerId) != 0;
  for (const ALERT_ENTRY& entry : EntriesOf(report)) {
    std::int32_t severity;
    const char* slot;
    if ((entry.nCode == VX_CODE_OFFLINE && !wasOffline) || (entry.nCode == VX_CODE_READY && wasOffline)) {
      table.ToggleOffline(printerId);
      severity = kStateSeverityWarning;
      slot = kOfflineSlot;
    } else if ((entry.nCode == VX_CODE_COMM_LOST && wasCommunicating) ||
               (entry.nCode == VX_CODE_COMM_RESTORED && !wasCommunicating)) {
      table.ToggleCommunicating(printerId);
      severity = entry.nCode == VX_CODE_COMM_LOST ? kStateSeverityWarning : kStateSeverityHarmless;
      slot = kCommunicationSlot;
    } else {
      continue;
    }
    QueueEvent(table, printerId, slot, MakeAlertKey(TextOf(entry), severity), false, queue);
  }
}

void ProcessAlertReport(PrinterTable& table, std::list<std::string>& activeAlerts, const _VIGILIX_RETURN& report,
                        EventQueue& queue) {
  ProcessStateCodes(table, report, queue);
  std::list<std::string> leftover = activeAlerts;
  for (const ALERT_ENTRY& entry : EntriesOf(report)) {
    if (IsStateCode(entry.nCode)) continue;
    std::string key = MakeAlertKey(TextOf(entry), entry.nCode);
    if (auto stillActive = std::find(leftover.begin(), leftover.end(), key); stillActive != leftover.end()) {
      leftover.erase(stillActive);
      continue;
    }
    QueueEvent(table, report.wPrinter, key, key, false, queue);
    activeAlerts.push_front(std::move(key));
  }
  for (const std::string& gone : leftover) {
    activeAlerts.erase(std::find(activeAlerts.begin(), activeAlerts.end(), gone));
    QueueEvent(table, report.wPrinter, gone, gone, true, queue);
  }
}

std::uint16_t HandleAlertReport(PrinterTable& table, EventQueue& queue, const _VIGILIX_RETURN* report) {
  if (report != nullptr) {
    platform::ScopedLock<EventQueue::Lock> queueLock(queue.GetLock());
    const std::string model = report->pszModel ? report->pszModel : "";
    table.ForEachRecordOf(report->wPrinter, [&](PrinterRecord& record) {
      record.printerModel = model;
      ProcessAlertReport(table, record.activeAlerts, *report, queue);
    });
  }
  queue.QueueEvent().Set();
  return 0;
}

void BindAlertCallback(PrinterTable* table, EventQueue* queue) {
  boundTable = table;
  boundQueue = queue;
}

std::uint16_t AlertCallback(_VIGILIX_RETURN* report) {
  PrinterTable* table = boundTable.load();
  EventQueue* queue = boundQueue.load();
  if (table == nullptr || queue == nullptr) return 0;
  return HandleAlertReport(*table, *queue, report);
}
