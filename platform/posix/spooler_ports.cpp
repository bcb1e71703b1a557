#include "platform/spooler_ports.h"

#include <cups/cups.h>

#include <memory>
#include <mutex>
#include <string_view>

namespace platform {
namespace {

constexpr std::size_t kPortEntrySize = 4;

std::mutex testPortsMutex;
bool useTestPorts = false;
std::optional<std::vector<std::string>> testPorts;

struct IppDeleter {
  void operator()(ipp_t* message) const { ippDelete(message); }
};
using IppMessage = std::unique_ptr<ipp_t, IppDeleter>;

bool FitsPortBuffer(const std::vector<std::string>& ports) {
  std::size_t needed = 0;
  for (const std::string& port : ports) needed += kPortEntrySize + port.size() + 1;
  return needed <= kSpoolerPortBufferSize;
}

// CUPS-Get-Printers for the local queues (no classes, no remote queues).
IppMessage AskForLocalQueues() {
  ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
  static const char* const kAttributes[] = {"printer-name", "printer-type", "device-uri"};
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3, nullptr, kAttributes);
  ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_ENUM, "printer-type", 0);
  ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_ENUM, "printer-type-mask",
                CUPS_PRINTER_CLASS | CUPS_PRINTER_REMOTE);
  return IppMessage(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"));
}

bool Answered(ipp_t* response) {
  ipp_status_t status = response ? ippGetStatusCode(response) : cupsLastError();
  return status <= IPP_STATUS_OK_EVENTS_COMPLETE || status == IPP_STATUS_ERROR_NOT_FOUND;
}

struct QueueAttributes {
  std::string deviceUri;
  int printerType = 0;
};

void TakeQueue(const QueueAttributes& queue, std::vector<std::string>& ports) {
  if (queue.deviceUri.empty() || (queue.printerType & (CUPS_PRINTER_CLASS | CUPS_PRINTER_REMOTE)) != 0) return;
  ports.push_back(queue.deviceUri);
}

std::vector<std::string> DeviceUris(ipp_t* response) {
  std::vector<std::string> ports;
  QueueAttributes queue;
  for (ipp_attribute_t* attribute = ippFirstAttribute(response); attribute; attribute = ippNextAttribute(response)) {
    const char* name = ippGetName(attribute);
    if (name == nullptr) {  // separator between two queues
      TakeQueue(queue, ports);
      queue = {};
    } else if (ippGetGroupTag(attribute) == IPP_TAG_PRINTER) {
      std::string_view attributeName(name);
      if (attributeName == "device-uri" && ippGetString(attribute, 0, nullptr)) {
        queue.deviceUri = ippGetString(attribute, 0, nullptr);
      } else if (attributeName == "printer-type") {
        queue.printerType = ippGetInteger(attribute, 0);
      }
    }
  }
  TakeQueue(queue, ports);
  return ports;
}

std::optional<std::vector<std::string>> AskCups() {
  IppMessage response = AskForLocalQueues();
  if (!Answered(response.get())) return std::nullopt;
  if (!response) return std::vector<std::string>{};
  return DeviceUris(response.get());
}

}  // namespace

std::optional<std::vector<std::string>> EnumSpoolerPorts() {
  std::optional<std::vector<std::string>> ports;
  bool fixedList = false;
  {
    std::lock_guard lock(testPortsMutex);
    fixedList = useTestPorts;
    if (fixedList) ports = testPorts;
  }
  if (!fixedList) ports = AskCups();
  if (ports && !FitsPortBuffer(*ports)) return std::nullopt;
  return ports;
}

void SetSpoolerPortsForTesting(std::optional<std::vector<std::string>> ports) {
  std::lock_guard lock(testPortsMutex);
  useTestPorts = true;
  testPorts = std::move(ports);
}

void ClearSpoolerPortsForTesting() {
  std::lock_guard lock(testPortsMutex);
  useTestPorts = false;
  testPorts.reset();
}

}  // namespace platform
