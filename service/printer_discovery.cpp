#include "service/printer_discovery.h"

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "bce/bce.h"
#include "platform/spooler_ports.h"

thread_local PrinterDiscovery* PrinterDiscovery::running_ = nullptr;

bool PrinterDiscovery::DiscoverPrinters(std::uint32_t EnumerationMask) {
  Running running(*this);
  if (settings_.onlyDefinedPorts) {
    std::optional<std::vector<std::string>> ports = platform::EnumSpoolerPorts();
    if (!ports) return false;
    for (const std::string& port : *ports)
      BceEnumSpecificPort(appId_, ENUM_PORT_ALL_CLASSES, port.c_str(), OnPrinterFound);
  } else if (BceEnumPrinters(appId_, EnumerationMask, OnPrinterFound) != 0) {
    return false;
  }
  table_.ResolveHostNames();
  return true;
}

std::uint16_t PrinterDiscovery::OnPrinterFound(const std::uint8_t* printerRecord) {
  if (printerRecord == nullptr || running_ == nullptr) return 1;
  try {
    running_->table_.AddOrUpdate(PrinterEnumRecord::FromBytes(printerRecord));
  } catch (const std::exception&) {
    // Out of memory: the printer is found again by the next pass.
  }
  return 1;
}
