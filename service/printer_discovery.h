#pragma once
// Printer discovery: hands the configured subnets to the engine, runs its
// TCP/IP network-information exchange, then enumerates printers into the
// PrinterTable. One object serves the whole run of the service; two runs never
// overlap.

#include <cstddef>
#include <cstdint>
#include <deque>

#include "service/net_info_entry.h"
#include "service/printer_table.h"
#include "settings/adapter_settings.h"

class PrinterDiscovery {
 public:
  // Reads settingsPath and onlyDefinedPorts of settings at every run.
  PrinterDiscovery(PrinterTable& table, const AdapterSettings& settings) : table_(table), settings_(settings) {}
  PrinterDiscovery(const PrinterDiscovery&) = delete;
  PrinterDiscovery& operator=(const PrinterDiscovery&) = delete;

  // The application id from BceRegisterApp, used for every enumeration.
  void SetApplicationId(std::int16_t appId) { appId_ = appId; }

  // Hands the subnet list of the settings file to the engine and applies the
  // network information it replies. Entries of a failed exchange stay pending
  // and are applied after the next successful one. Does nothing without a
  // subnet list.
  void ConfigureSubnets();

  // Enumerates the printers on the spooler's ports (onlyDefinedPorts) or of the
  // classes in EnumerationMask, then resolves the host names of the TCP/IP
  // printers. False only when the enumeration itself could not run.
  bool DiscoverPrinters(std::uint32_t EnumerationMask);

  std::size_t PendingNetInfoCount() const { return pendingNetInfo_.size(); }

 private:
  class Running;

  // The engine calls these on the thread that called it.
  static std::uint16_t OnPrinterFound(const std::uint8_t* printerRecord);
  static void OnNetInfoReply(const std::uint8_t* record, std::uint32_t length);
  static void IgnoreNetInfoReply(const std::uint8_t* record, std::uint32_t length);

  void ExchangeNetInfo();
  void ApplyPendingNetInfo();

  // The discovery that is calling the engine on this thread.
  static thread_local PrinterDiscovery* running_;

  PrinterTable& table_;
  const AdapterSettings& settings_;
  std::int16_t appId_ = 0;
  std::deque<NetInfoEntry> pendingNetInfo_;
};

// Marks a discovery as the one calling the engine on this thread.
class PrinterDiscovery::Running {
 public:
  explicit Running(PrinterDiscovery& discovery) : previous_(running_) { running_ = &discovery; }
  ~Running() { running_ = previous_; }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;

 private:
  PrinterDiscovery* previous_;
};
