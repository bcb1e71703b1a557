#include "platform/spooler_port_query.h"

#include <cups/cups.h>

#include <memory>
#include <string_view>

namespace platform {
namespace {

struct IppDeleter {
  void operator()(ipp_t* message) const { ippDelete(message); }
};
using IppMessage = std::unique_ptr<ipp_t, IppDeleter>;

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

}  // namespace

// The device URIs of the local CUPS queues.
std::optional<std::vector<std::string>> QuerySpoolerPorts() {
  IppMessage response = AskForLocalQueues();
  if (!Answered(response.get())) return std::nullopt;
  if (!response) return std::vector<std::string>{};
  return DeviceUris(response.get());
}

}  // namespace platform
