#pragma once
// Network printers over SNMP: the probes of an enumeration, the ids kept in
// the id file, and the polls of captured printers. Every SNMP request goes
// through the transport's one thread; the engine's calls only hand it work
// and read the states the polls left, so that no call waits for the network
// except an enumeration.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "korbce/printer_source.h"
#include "korbce/snmp/printer_ids.h"
#include "korbce/snmp/printer_snapshot.h"
#include "korbce/snmp/snmp_config.h"
#include "korbce/snmp/snmp_request.h"
#include "korbce/snmp/snmp_transport.h"

namespace platform {
struct ProfileDocument;
}

namespace korbce {

class SnmpSource : public PrinterSource {
 public:
  // defaultIdFile: the IdFile when the section names none (empty: under
  // KOREVNTS_ROOT). taken tells the ids other sources use.
  SnmpSource(std::string defaultIdFile, std::function<bool(std::uint16_t)> taken);
  ~SnmpSource() override;

  // Takes the [SNMP] section of the engine's file; cheap while the document
  // stays the same. No section: no network printers.
  void Refresh(EngineFile& file) override;
  // The subnets the adapter hands over, swept by the next enumeration.
  void SetSubnets(std::vector<Subnet> subnets) override;
  // Ends the transport's thread.
  void Stop() override;

  std::optional<PrinterList> Enumerate(std::uint32_t mask) override;
  PrinterList EnumeratePort(std::string_view port) override;
  std::shared_ptr<const PrinterState> Find(std::uint16_t id) override;
  void Watch(std::uint16_t id, std::optional<std::chrono::seconds> checkInterval) override;

 private:
  struct NetworkPrinter;
  struct Probe {
    snmp::SessionSettings settings;
    std::uint32_t address = 0;  // first dotted part most significant
    std::string key;            // the id file's key when the printer has no hardware address
  };

  std::optional<Probe> ProbeOf(const snmp::SnmpTarget& target) const;
  PrinterList ProbeAll(const std::vector<Probe>& probes);
  std::shared_ptr<const PrinterState> Found(const Probe& probe, const snmp::FetchResult& result);
  void Tick();
  void StartPoll(NetworkPrinter& printer, std::chrono::steady_clock::time_point now);
  NetworkPrinter* AnsweringPrinter(std::uint16_t id, const snmp::FetchResult& result);
  void Polled(std::uint16_t id, snmp::FetchResult result);
  void Refreshed(std::uint16_t id, snmp::FetchResult result);
  void Publish(NetworkPrinter& printer, bool configChanged);

  const std::string defaultIdFile_;
  const std::function<bool(std::uint16_t)> taken_;

  std::mutex mutex_;  // guards everything below; never held while the engine is called
  std::shared_ptr<const platform::ProfileDocument> document_;
  std::optional<snmp::SnmpConfig> config_;
  std::unique_ptr<snmp::PrinterIds> ids_;
  std::vector<Subnet> subnets_;
  std::map<std::uint16_t, std::unique_ptr<NetworkPrinter>> printers_;
  bool transportStarted_ = false;

  snmp::SnmpTransport transport_;  // last: its thread ends before the rest goes
};

}  // namespace korbce
